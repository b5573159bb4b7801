#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/WeakRef.h"
#include "InterfaceCommon/KsContextHelper.h"
#include "Responder/ResponderContext.h"

class HcClock;
class HcTweenCollection;
class HcView;
class InputDevice;
class KeyboardResponder;
class LayoutRegionPercent;
class LayoutView;
class MouseResponder;
class ObjectCollection;
class PanoRenderer;
class PanoSource;
class ProjectionCollection;
class PropertyProxy;
class SourceCollection;
class Viewset;
class ViewsetCollection;

// The live scene of one open presentation: a root layout view
// "ContextRootView" with the regions "PanoRegion", "PlanarRegion" and
// "OverlayRegion" (in that order), the sources, the three clocks, the
// viewsets and the responders. The current viewset is the one the
// PanoRegion shows; a planar source is shown through the built-in viewset
// "InternalPlanar" in the PlanarRegion; the OverlayRegion shows viewsets
// whose LoadLayer names it.
//
// Once per display refresh IdleClocks advances the scene (movie clock, the
// process-wide real-time clock, the scene's own idle clock, the polled input
// device) and says whether anything has to be drawn.
//
// Threads: everything that changes the scene runs on the main thread; the
// idle step and the getters it uses run on the display-link thread under the
// renderer's draw lock.
class HcContextHelper : public KsContextHelper, public ResponderContext {
  HC_CLASS_HEADER(HcContextHelper)
 public:
  enum : int32_t {
    kIntrinsicSourcesId = 300,
    kMovieClockId = 301,
    kProjectionsId = 302,
    kMouseResponderId = 303,
    kRealtimeClockId = 304,
    kIdleClockId = 305,
    kRendererId = 306,
    kSourceId = 307,
    kSourcesId = 308,
    kViewHelperId = 309,
    kViewProxyId = 310,
    kViewsetId = 311,
    kViewsetImagesId = 312,
    kViewsetIndexId = 313,
    kViewsetNameId = 314,
    kViewsetsId = 315,
    kMainViewId = 316,
    kKeyboardResponderId = 317,
    kTweensId = 318,
    kPlanarSourceId = 319,
    kRootViewId = 320,
    kInputDeviceId = 321,
    kNamedControllerObjectsId = 322,
    kNamedViewsetObjectsId = 323,
  };
  static constexpr eAppErr kNothingToDraw = 2;
  // The text of the built-in planar viewset.
  static const char* const kInternalPlanarHcML;

  HcContextHelper();
  ~HcContextHelper() override;

  // The view helper frees its drawing resources, then the scene lets go of
  // everything it holds from Renderer on (the view helper and the built-in
  // planar viewset stay). The caller has made the OpenGL context current.
  // Always 0.
  eAppErr ClearContext();

  // The per-refresh step: 0 when the frame must be drawn, 2 when nothing
  // happened and the renderer is clean, else the first failure (movie clock,
  // real-time clock, idle clock, input device). Every part runs even when an
  // earlier one failed. A scene without a movie clock counts that clock as
  // idle, so a still picture is not drawn again and again.
  eAppErr IdleClocks();
  // IdleClocks; *isDirty = (result != 2), so a failure reports dirty too.
  eAppErr IdleClocksWithStatus(bool* isDirty);
  // Restarts the idle clock's timer (user activity).
  eAppErr ResetIdle();

  // Sources. SetSources gives every source the renderer and splits them:
  // planar ones become PlanarSource, the others Source (a MultiplexerSource
  // over them when there are several of a kind). An empty argument empties
  // Sources, Source and PlanarSource.
  KsRef<SourceCollection> GetSources() const;
  eAppErr SetSources(const KsRef<SourceCollection>& sources);
  KsRef<PanoSource> GetSource() const;
  // Hands the renderer to the new source.
  eAppErr SetSource(const KsRef<PanoSource>& source);
  KsRef<PanoSource> GetPlanarSource() const;
  // Shows the source through "InternalPlanar" in the PlanarRegion (none
  // empties that region). -3 when the built-in viewset can't be made.
  eAppErr SetPlanarSource(const KsRef<PanoSource>& source);
  // Made empty on first read.
  KsRef<SourceCollection> GetIntrinsicSources();
  eAppErr SetIntrinsicSources(const KsRef<SourceCollection>& sources);
  KsRef<SourceCollection> GetViewsetImages();
  eAppErr SetViewsetImages(const KsRef<SourceCollection>& images);

  // The renderer: setting one sizes the root view to its drawable and hands
  // it to every source of Sources.
  KsRef<PanoRenderer> GetRenderer() override;
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  // The view helper that draws this scene (held strongly; it holds the scene
  // weakly). -2 for an object that is no view helper (ContextViewHelper).
  KsRef<KsObject> GetViewHelper() const;
  eAppErr SetViewHelper(const KsRef<KsObject>& helper);

  // Clocks. MovieClock: the explicit one, else the clock of Source, else of
  // the first of Sources, else none.
  KsRef<HcClock> GetMovieClock();
  eAppErr SetMovieClock(const KsRef<HcClock>& clock);
  KsRef<HcClock> GetRealtimeClock() override;
  KsRef<HcClock> GetIdleClock() override;
  // Not a property: a host that paces time itself (a scripted session on
  // manual clocks) runs the scene on clocks of its own. Each given clock
  // replaces the real-time or the idle clock, the root mouse responder's
  // included; none keeps the current one.
  void UseClocks(const KsRef<HcClock>& realtime, const KsRef<HcClock>& idle);

  // Viewsets. SetViewset shows the viewset in the region its LoadLayer
  // names; in the PanoRegion it becomes the current viewset and its main
  // view takes over the look direction, field of view and tweens of the old
  // one. -2 for none; a LoadLayer naming no region gives the lookup's error.
  KsRef<Viewset> GetViewset() const;
  eAppErr SetViewset(const KsRef<Viewset>& viewset);
  // The current viewset's position in Viewsets; 0 when it is not there.
  uint32_t GetViewsetIndex() const;
  // -2 past the end.
  eAppErr SetViewsetIndex(uint32_t index);
  PWStringRef GetViewsetName() const;
  // -2 for an empty name; the lookup's error when no viewset has it.
  eAppErr SetViewsetName(const PWStringRef& name);
  KsRef<ViewsetCollection> GetViewsets() const;
  eAppErr SetViewsets(const KsRef<ViewsetCollection>& viewsets);
  // A viewset parsed from HcML text held in memory; none when the text
  // yields no Viewset.
  KsRef<Viewset> LoadStaticViewset(const PWStringRef& hcml);
  // "InternalPlanar", parsed on first use and kept.
  KsRef<Viewset> GetInternalPlanarViewset();

  // Views and responders.
  KsRef<HcView> GetRootView() override;
  KsRef<LayoutView> GetRootLayoutView() const;
  // The regions of the root view.
  KsRef<LayoutRegionPercent> GetPanoRegion() const;
  KsRef<LayoutRegionPercent> GetPlanarRegion() const;
  KsRef<LayoutRegionPercent> GetOverlayRegion() const;
  KsRef<HcView> GetMainView() override;
  // The proxy ("hc://ViewProxy") that stands for the main view, resolved in
  // the PanoRegion. Setting accepts only that same proxy (else -2).
  KsRef<PropertyProxy> GetViewProxy() const;
  eAppErr SetViewProxy(const KsRef<PropertyProxy>& proxy);
  KsRef<MouseResponder> GetMouseResponder() const;
  // The explicit responder, else the main view's.
  KsRef<KeyboardResponder> GetKeyboardResponder() override;
  eAppErr SetKeyboardResponder(const KsRef<KeyboardResponder>& responder);

  KsRef<ProjectionCollection> GetProjections() const;
  eAppErr SetProjections(const KsRef<ProjectionCollection>& projections);
  KsRef<HcTweenCollection> GetTweens() const;
  eAppErr SetTweens(const KsRef<HcTweenCollection>& tweens);
  KsRef<ObjectCollection> GetNamedControllerObjects() const;
  eAppErr SetNamedControllerObjects(const KsRef<ObjectCollection>& objects);
  KsRef<ObjectCollection> GetNamedViewsetObjects() const;
  eAppErr SetNamedViewsetObjects(const KsRef<ObjectCollection>& objects);

  // The polled input device, held weakly.
  KsRef<InputDevice> GetInputDevice() override;
  eAppErr SetInputDevice(const KsRef<InputDevice>& device) override;

  // The rest of the responders' face of the scene.
  eAppErr FindViewset(const PWStringRef& name, KsRef<Viewset>* viewset) override;
  eAppErr LoadHcMLAtRoot(const PWStringRef& hcml, const PWStringRef& rootPath) override;
  eAppErr SetViewProxyTargetPath(const PWStringRef& path) override;
  using KsContextHelper::GetFloatAtPath;
  eAppErr GetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float* value) override;
  eAppErr SetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float value) override;

  // A change of the root view's NeedsDisplay marks the renderer dirty.
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

 private:
  void BuildSkeleton();
  void MarkRendererDirty();
  eAppErr ShowInNamedRegion(const KsRef<Viewset>& viewset, const PWStringRef& layer);
  eAppErr ShowInPanoRegion(const KsRef<Viewset>& viewset);

  KsRef<Viewset> m_internalPlanar;
  KsRef<KsObject> m_viewHelper;
  KsRef<PanoRenderer> m_renderer;
  KsRef<PanoSource> m_source;
  KsRef<PanoSource> m_planarSource;
  KsRef<HcClock> m_realtimeClock;
  KsRef<HcClock> m_movieClock;
  KsRef<LayoutView> m_rootView;
  KsRef<SourceCollection> m_viewsetImages;
  KsRef<SourceCollection> m_intrinsicSources;
  KsRef<SourceCollection> m_sources;
  KsRef<PropertyProxy> m_viewProxy;
  KsRef<KeyboardResponder> m_keyboardResponder;
  KsRef<ViewsetCollection> m_viewsets;
  KsRef<ProjectionCollection> m_projections;
  KsRef<LayoutRegionPercent> m_planarRegion;
  KsRef<LayoutRegionPercent> m_panoRegion;
  KsRef<LayoutRegionPercent> m_overlayRegion;
  KsRef<HcTweenCollection> m_tweens;
  KsRef<HcClock> m_idleClock;
  KsRef<MouseResponder> m_mouseResponder;
  WeakRef::Ref m_inputDevice;
  KsRef<ObjectCollection> m_namedControllerObjects;
  KsRef<ObjectCollection> m_namedViewsetObjects;
};
HC_CLASS_OBJECT(HcContextHelper, KsContextHelper)
