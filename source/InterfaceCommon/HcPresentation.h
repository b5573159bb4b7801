#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsSize.h"
#include "General/KsStringCollection.h"
#include "General/ObjectCollection.h"
#include "InterfaceCommon/KsContextHelper.h"
#include "InterfaceCommon/SourceDescription.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "PWString.h"
#include "Utilities/FileAccessPolicy.h"

class HcClock;
class HcContextHelper;
class HcTweenCollection;

// The document model of one movie: its source descriptions, the HcML of its
// viewsets, initial view and view tweens, the display options the player
// window reads, the idle behaviour and the movie's clock. InitContextFromHcML
// builds the live scene (an HcContextHelper) from them; InitHcMLFromContext
// writes the scene's state back.
//
// The path properties read files under the file-access policy in force when
// the presentation was made.
class HcPresentation : public KsContextHelper {
  HC_CLASS_HEADER(HcPresentation)
 public:
  enum : int32_t {
    kInitContextFromHcMLId = 300,
    kInitialViewHcMLId = 301,
    kInitialViewHcMLPathId = 302,
    kInitHcMLFromContextId = 303,
    kLoadHcMLId = 304,
    kMainSourceId = 305,
    kViewsetNameId = 306,
    kViewsetHcMLId = 307,
    kViewsetHcMLPathId = 308,
    kViewTweensId = 309,
    kViewTweensHcMLId = 310,
    kViewTweensHcMLPathId = 311,
    kHcContextId = 312,
    kDisplaySizeId = 314,
    kOpenFullScreenId = 315,
    kHideControlsId = 316,
    kIdleTweenPathId = 317,
    kUseIdleId = 318,
    kAutoPlayId = 319,
    kSourceListId = 320,
    kLiveClockId = 321,
    kNamedControllerObjectsId = 322,
  };
  // A viewset text that does not load into the scene.
  static constexpr eAppErr kViewsetHcMLNotLoaded = -630;
  // How many builds may run inside one another (a presentation whose texts
  // build presentations); a deeper one fails with -901.
  static constexpr int kMaxNestedBuilds = 8;

  HcPresentation();
  ~HcPresentation() override;

  // Actions: true runs them, false does nothing and answers 0.
  // Builds the scene: sources, viewset, movie clock, initial view, view
  // tweens, idle transition, further HcML, controller objects.
  eAppErr SetInitContextFromHcML(bool build);
  // Writes the scene back: viewset name and text, view tweens, initial view,
  // and the source descriptions (existing ones updated, new sources'
  // appended). -903 without a scene.
  eAppErr SetInitHcMLFromContext(bool write);

  // The first source description, appended when the list is empty.
  virtual eAppErr GetMainSource(KsRef<SourceDescription>* description);
  KsRef<SourceDescription> GetMainSource();
  // Leaves the list holding only this description (none for none).
  virtual eAppErr SetMainSource(const KsRef<SourceDescription>& description);

  PWStringRef GetViewsetName() const { return m_viewsetName; }
  eAppErr SetViewsetName(const PWStringRef& name);
  PWStringRef GetViewsetHcML() const { return m_viewsetHcML; }
  eAppErr SetViewsetHcML(const PWStringRef& hcml);
  PWStringRef GetViewTweensHcML() const { return m_viewTweensHcML; }
  eAppErr SetViewTweensHcML(const PWStringRef& hcml);
  PWStringRef GetInitialViewHcML() const { return m_initialViewHcML; }
  eAppErr SetInitialViewHcML(const PWStringRef& hcml);
  PWStringRef GetIdleTweenPath() const { return m_idleTweenPath; }
  eAppErr SetIdleTweenPath(const PWStringRef& path);
  // Read the whole file into the text; -2 when it can't be read.
  eAppErr SetInitialViewHcMLPath(const PWStringRef& path);
  eAppErr SetViewsetHcMLPath(const PWStringRef& path);
  eAppErr SetViewTweensHcMLPath(const PWStringRef& path);

  KsRef<HcTweenCollection> GetViewTweens() const;
  eAppErr SetViewTweens(const KsRef<HcTweenCollection>& tweens);
  // Made empty on first read.
  KsRef<SourceDescriptionCollection> GetSourceList();
  eAppErr SetSourceList(const KsRef<SourceDescriptionCollection>& list);
  // Made on first read.
  KsRef<HcContextHelper> GetHcContext();
  eAppErr SetHcContext(const KsRef<HcContextHelper>& context);
  KsRef<KsStringCollection> GetLoadHcML() const { return m_loadHcML; }
  eAppErr SetLoadHcML(const KsRef<KsStringCollection>& texts);
  KsRef<HcClock> GetLiveClock() const;
  eAppErr SetLiveClock(const KsRef<HcClock>& clock);
  KsRef<ObjectCollection> GetNamedControllerObjects() const { return m_namedControllerObjects; }
  eAppErr SetNamedControllerObjects(const KsRef<ObjectCollection>& objects);

  KsSizeF GetDisplaySize() const { return m_displaySize; }
  eAppErr SetDisplaySize(KsSizeF size);
  bool GetOpenFullScreen() const { return m_openFullScreen; }
  eAppErr SetOpenFullScreen(bool open);
  bool GetHideControls() const { return m_hideControls; }
  eAppErr SetHideControls(bool hide);
  bool GetUseIdle() const { return m_useIdle; }
  eAppErr SetUseIdle(bool use);
  bool GetAutoPlay() const { return m_autoPlay; }
  eAppErr SetAutoPlay(bool play);

 protected:
  // A new description for an empty list (GetMainSource).
  virtual KsRef<SourceDescription> MakeBlankMainSource();

 private:
  eAppErr ReadTextFile(const PWStringRef& path, PWStringRef* text) const;
  eAppErr BuildSources(const KsRef<HcContextHelper>& context);
  eAppErr ChooseViewset(const KsRef<HcContextHelper>& context);
  void LoadViewTweens(const KsRef<HcContextHelper>& context);
  void InstallIdleTransition(const KsRef<HcContextHelper>& context);
  void LoadFurtherHcML(const KsRef<HcContextHelper>& context);
  void HandOverToControllers(const KsRef<HcContextHelper>& context);
  eAppErr WriteBackSources(const KsRef<HcContextHelper>& context);
  PWStringRef InitialViewOf(const KsRef<HcContextHelper>& context);

  PWStringRef m_viewsetName;
  PWStringRef m_viewsetHcML;
  PWStringRef m_viewTweensHcML;
  PWStringRef m_initialViewHcML;
  PWStringRef m_idleTweenPath;
  KsRef<HcTweenCollection> m_viewTweens;
  KsRef<SourceDescriptionCollection> m_sourceList;
  KsRef<HcContextHelper> m_hcContext;
  KsRef<KsStringCollection> m_loadHcML;
  KsSizeF m_displaySize{640.0f, 480.0f};
  bool m_openFullScreen = false;
  bool m_hideControls = false;
  bool m_useIdle = false;
  bool m_autoPlay = false;
  KsRef<HcClock> m_liveClock;
  KsRef<ObjectCollection> m_namedControllerObjects;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();
};
HC_CLASS_OBJECT(HcPresentation, KsContextHelper)
