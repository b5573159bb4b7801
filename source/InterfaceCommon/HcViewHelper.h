#pragma once

#include <cstddef>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsRect.h"
#include "General/WeakRef.h"
#include "InterfaceCommon/ContextViewHelper.h"
#include "Renderer/HcSharedGraphicsContext.h"
#include "Renderer/PanoRenderer.h"
#include "Source/SourceCollection.h"

class HcContextHelper;

// A caller's picture buffer that an off-screen helper copies its drawn frame
// into: four bytes a pixel (B, G, R, A), top row first, rows rowBytes apart,
// bufferSize bytes in all.
struct HcRenderPort {
  void* baseAddress = nullptr;
  size_t bufferSize = 0;
  size_t rowBytes = 0;
};

// Binds one live scene (held weakly) to one drawing surface. The shell makes
// one per OpenGL view, gives it the context, makes the default renderer and
// activates it; from then on the display-link thread calls Draw and
// PostFlight once per refresh (with the surface's OpenGL context current)
// while the main thread passes mouse, scroll and key events and resizes.
// The helper takes no lock of its own: the shell's view lock keeps view
// swaps away from a running draw.
class HcViewHelper : public KsObject, public ContextViewHelper {
  HC_CLASS_HEADER(HcViewHelper)
 public:
  enum : int32_t {
    kActiveId = 200,
    kContextId = 201,
    kFrameId = 202,
    kRendererId = 203,
    kSharedGraphicsContextId = 204,
    kSourceCollectionId = 205,
  };
  // Draw without a renderer or a context.
  static constexpr eAppErr kNoSurface = -3;
  // The class name the default renderer is made by.
  static constexpr const char* kDefaultRendererName = "oglrenderer";

  HcViewHelper();
  ~HcViewHelper() override;

  bool GetActive() const { return m_active; }
  // Activation makes the default renderer when there is none (and applies
  // the stored frame to it), then hands the renderer to the context.
  // Deactivation is refused with -102.
  virtual eAppErr SetActive(bool active);

  // The context while it lives, else none.
  KsRef<HcContextHelper> GetContext() const;
  // Held weakly; a context that already has a renderer gives it to the helper.
  eAppErr SetContext(const KsRef<HcContextHelper>& context);

  // The drawing area in view coordinates, as last given to SetFrame or Resize.
  KsRectF GetFrame() const { return m_frame; }
  // Rounds the rectangle outward to whole pixels and resizes to that. -2 (and
  // nothing changes) for a frame that is not finite, has a negative side or
  // is larger than any drawing surface.
  eAppErr SetFrame(const KsRectF& frame);
  // The whole-pixel frame of the last resize.
  KsRect<int32_t> GetPixelFrame() const { return m_pixelFrame; }

  KsRef<PanoRenderer> GetRenderer() const { return m_renderer; }
  // Stores the renderer; while active, hands it to the context as well.
  virtual eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  virtual KsRef<HcSharedGraphicsContext> GetSharedGraphicsContext() const;
  virtual eAppErr SetSharedGraphicsContext(const KsRef<HcSharedGraphicsContext>& context);
  // The sources of the last draw, each once.
  KsRef<SourceCollection> GetSourceCollection() const { return m_sources; }
  eAppErr SetSourceCollection(const KsRef<SourceCollection>& sources);

  // Makes a renderer by the class name "oglrenderer" and sets it.
  eAppErr MakeDefaultRenderer();

  // One frame: gathers and prepares the sources shown, then draws the
  // context's root view between the renderer's begin- and end-update.
  virtual eAppErr Draw();
  virtual eAppErr Resize(int32_t x, int32_t y, int32_t width, int32_t height);
  // Lets go of the source collection and the renderer (with the surface's
  // OpenGL context current, so their OpenGL objects go with them).
  void ReleaseGLResources() override;
  // Copies the last drawn frame into the port; only off-screen helpers can.
  virtual bool CopyFrameBufferToRenderPort(const HcRenderPort& port);

  // Updates every source of the collection after a frame was drawn.
  eAppErr PostFlight(const KsRef<SourceCollection>& sources);
  // The renderer's drawable size; -903 (and 0 x 0) without a renderer.
  eAppErr GetSize(int32_t* width, int32_t* height);

  // Events in view coordinates, passed to the context's responders; without
  // a context each answers false (0). The cursor out-parameter receives the
  // responder's cursor code.
  bool MouseMoved(const KsPointF& point, uint32_t* cursor);
  bool MouseDown(const KsPointF& point, uint32_t* cursor);
  // Always 0, whether a responder handled the release or not.
  int32_t MouseUp(const KsPointF& point, uint32_t* cursor);
  bool MouseScrolled(float amount, const KsPointF& point);
  bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode);
  bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode);

 private:
  eAppErr GatherSources();

  bool m_active = false;
  WeakRef::Ref m_context;
  KsRectF m_frame;
  KsRect<int32_t> m_pixelFrame;
  KsRef<PanoRenderer> m_renderer;
  KsRef<HcSharedGraphicsContext> m_sharedGraphicsContext;
  KsRef<SourceCollection> m_sources;
};
HC_CLASS_OBJECT(HcViewHelper, KsObject)
