#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsSize.h"
#include "General/KsStringCollection.h"
#include "InterfaceCommon/KsContextHelper.h"
#include "InterfaceCommon/SourceDescription.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "PWString.h"
#include "Time/HcClock.h"

// The per-movie document: its sources and the settings it is shown with.
class HcPresentation : public KsContextHelper {
  HC_CLASS_HEADER(HcPresentation)
 public:
  enum : int32_t {
    kInitialViewHcMLId = 301,
    kLoadHcMLId = 304,
    kMainSourceId = 305,
    kViewsetNameId = 306,
    kViewsetHcMLId = 307,
    kViewTweensHcMLId = 310,
    kDisplaySizeId = 314,
    kOpenFullScreenId = 315,
    kHideControlsId = 316,
    kSourceListId = 320,
    kLiveClockId = 321,
  };

  HcPresentation();
  ~HcPresentation() override;

  KsRef<SourceDescriptionCollection> GetSourceList();
  eAppErr SetSourceList(const KsRef<SourceDescriptionCollection>& list);
  virtual KsRef<SourceDescription> GetMainSource();
  virtual eAppErr SetMainSource(const KsRef<SourceDescription>& source);
  KsRef<HcClock> GetLiveClock() const { return m_liveClock; }
  eAppErr SetLiveClock(const KsRef<HcClock>& clock);
  PWStringRef GetViewsetName() const { return m_viewsetName; }
  eAppErr SetViewsetName(const PWStringRef& name);
  PWStringRef GetViewsetHcML() const { return m_viewsetHcML; }
  eAppErr SetViewsetHcML(const PWStringRef& text);
  PWStringRef GetInitialViewHcML() const { return m_initialViewHcML; }
  eAppErr SetInitialViewHcML(const PWStringRef& text);
  PWStringRef GetViewTweensHcML() const { return m_viewTweensHcML; }
  eAppErr SetViewTweensHcML(const PWStringRef& text);
  KsRef<KsStringCollection> GetLoadHcML() const { return m_loadHcML; }
  eAppErr SetLoadHcML(const KsRef<KsStringCollection>& texts);
  KsSizeF GetDisplaySize() const { return m_displaySize; }
  eAppErr SetDisplaySize(KsSizeF size);
  bool GetOpenFullScreen() const { return m_openFullScreen; }
  eAppErr SetOpenFullScreen(bool open);
  bool GetHideControls() const { return m_hideControls; }
  eAppErr SetHideControls(bool hide);

 private:
  KsRef<SourceDescriptionCollection> m_sourceList;
  KsRef<HcClock> m_liveClock;
  PWStringRef m_viewsetName;
  PWStringRef m_viewsetHcML;
  PWStringRef m_initialViewHcML;
  PWStringRef m_viewTweensHcML;
  KsRef<KsStringCollection> m_loadHcML;
  KsSizeF m_displaySize{640, 480};
  bool m_openFullScreen = false;
  bool m_hideControls = false;
};
HC_CLASS_OBJECT(HcPresentation, KsContextHelper)
