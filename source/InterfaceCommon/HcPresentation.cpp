#include "InterfaceCommon/HcPresentation.h"

HcPresentation::HcPresentation() = default;
HcPresentation::~HcPresentation() = default;

KsRef<SourceDescriptionCollection> HcPresentation::GetSourceList() {
  if (!m_sourceList) m_sourceList = KsMakeRef<SourceDescriptionCollection>();
  return m_sourceList;
}

eAppErr HcPresentation::SetSourceList(const KsRef<SourceDescriptionCollection>& list) {
  DidChangeCaller change(this, kSourceListId);
  m_sourceList = list;
  return AppErr::kNoErr;
}

KsRef<SourceDescription> HcPresentation::GetMainSource() {
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  if (list->GetCount() == 0) {
    KS_TRACE(KsTrace::kWarning, "Creating new source desc in GetMainSource");
    list->Add(KsMakeRef<SourceDescription>());
  }
  KsRef<SourceDescription> main;
  list->GetByIndex(0, &main);
  return main;
}

eAppErr HcPresentation::SetMainSource(const KsRef<SourceDescription>& source) {
  DidChangeCaller change(this, kMainSourceId);
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  if (list->GetCount() == 0) return list->Add(source);
  return list->SetAt(0, source);
}

eAppErr HcPresentation::SetLiveClock(const KsRef<HcClock>& clock) {
  DidChangeCaller change(this, kLiveClockId);
  m_liveClock = clock;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetViewsetName(const PWStringRef& name) {
  DidChangeCaller change(this, kViewsetNameId);
  m_viewsetName = name;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetViewsetHcML(const PWStringRef& text) {
  DidChangeCaller change(this, kViewsetHcMLId);
  m_viewsetHcML = text;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetInitialViewHcML(const PWStringRef& text) {
  DidChangeCaller change(this, kInitialViewHcMLId);
  m_initialViewHcML = text;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetViewTweensHcML(const PWStringRef& text) {
  DidChangeCaller change(this, kViewTweensHcMLId);
  m_viewTweensHcML = text;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetLoadHcML(const KsRef<KsStringCollection>& texts) {
  DidChangeCaller change(this, kLoadHcMLId);
  m_loadHcML = texts;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetDisplaySize(KsSizeF size) {
  DidChangeCaller change(this, kDisplaySizeId);
  m_displaySize = size;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetOpenFullScreen(bool open) {
  DidChangeCaller change(this, kOpenFullScreenId);
  m_openFullScreen = open;
  return AppErr::kNoErr;
}

eAppErr HcPresentation::SetHideControls(bool hide) {
  DidChangeCaller change(this, kHideControlsId);
  m_hideControls = hide;
  return AppErr::kNoErr;
}
