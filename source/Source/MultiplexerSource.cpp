#include "Source/MultiplexerSource.h"

#include "Renderer/PanoRenderer.h"
#include "Source/SourceErr.h"

MultiplexerSource::MultiplexerSource() = default;

MultiplexerSource::~MultiplexerSource() {
  m_activeSource = nullptr;
  m_sourceList = nullptr;
}

// The renderer began a frame: choose again at the next request.
void MultiplexerSource::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>&,
                                              const KsRef<KsObject>&) {
  m_chooseAgain.store(true, std::memory_order_release);
}

KsRef<PanoSource> MultiplexerSource::GetActiveSource() {
  KsRef<PanoSource> dropped;  // released outside the lock
  KsRef<SourceCollection> list;
  {
    KsSpinLockGuard guard(m_lock);
    if (m_chooseAgain.exchange(false, std::memory_order_acq_rel)) dropped = std::move(m_activeSource);
    if (m_activeSource) return m_activeSource;
    list = m_sourceList;
  }
  if (!list) return {};
  for (uint32_t i = list->GetCount(); i-- > 0;) {
    KsRef<PanoSource> member = list->GetByIndex(i);
    if (!member || !member->GetHasData()) continue;
    {
      KsSpinLockGuard guard(m_lock);
      m_activeSource = member;
    }
    m_choices.fetch_add(1, std::memory_order_relaxed);
    return member;
  }
  return {};
}

eAppErr MultiplexerSource::SetActiveSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kActiveSourceId);
  auto list = KsMakeRef<SourceCollection>();
  if (source) list->Add(source);
  KsRef<PanoSource> previous;
  KsRef<SourceCollection> previousList;
  {
    KsSpinLockGuard guard(m_lock);
    previous = std::move(m_activeSource);
    previousList = std::move(m_sourceList);
    m_activeSource = source;
    m_sourceList = list;
    m_chooseAgain.store(false, std::memory_order_release);
  }
  return AppErr::kNoErr;
}

KsRef<SourceCollection> MultiplexerSource::GetSourceList() const {
  KsSpinLockGuard guard(m_lock);
  return m_sourceList;
}

eAppErr MultiplexerSource::SetSourceList(const KsRef<SourceCollection>& list) {
  DidChangeCaller change(this, kSourceListId);
  KsRef<PanoSource> previous;
  KsRef<SourceCollection> previousList;
  {
    KsSpinLockGuard guard(m_lock);
    previous = std::move(m_activeSource);
    previousList = std::move(m_sourceList);
    m_sourceList = list;
  }
  GiveMembersRenderer(list, PanoSource::GetRenderer());
  return AppErr::kNoErr;
}

void MultiplexerSource::GiveMembersRenderer(const KsRef<SourceCollection>& list,
                                            const KsRef<PanoRenderer>& renderer) {
  if (!list) return;
  for (uint32_t i = 0; i < list->GetCount(); ++i) {
    if (KsRef<PanoSource> member = list->GetByIndex(i)) member->SetRenderer(renderer);
  }
}

eAppErr MultiplexerSource::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  if (KsRef<PanoRenderer> old = m_observedRenderer ? m_observedRenderer->GetTargetAs<PanoRenderer>()
                                                   : KsRef<PanoRenderer>()) {
    old->RemoveObserverForId(KsRef<KsObject>(this), PanoRenderer::kUpdateCycleId);
  }
  PanoSource::SetRenderer(renderer);
  m_observedRenderer = WeakRef::GetWeakRef(renderer.Get());
  if (renderer) renderer->AddObserverForId(KsRef<KsObject>(this), PanoRenderer::kUpdateCycleId, 0);
  GiveMembersRenderer(GetSourceList(), renderer);
  return AppErr::kNoErr;
}

KsRef<KsObject> MultiplexerSource::GetClock() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetClock() : KsRef<KsObject>();
}

bool MultiplexerSource::GetHasAlpha() {
  KsRef<PanoSource> active = GetActiveSource();
  return active && active->GetHasAlpha();
}

bool MultiplexerSource::GetHasData() {
  KsRef<PanoSource> active = GetActiveSource();
  return active && active->GetHasData();
}

bool MultiplexerSource::GetHasDimensions() {
  KsRef<PanoSource> active = GetActiveSource();
  return active && active->GetHasDimensions();
}

int32_t MultiplexerSource::GetHeight() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetHeight() : 0;
}

float MultiplexerSource::GetImageAspect() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetImageAspect() : 1.0f;
}

bool MultiplexerSource::GetMapFullFrame() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetMapFullFrame() : true;
}

float MultiplexerSource::GetPixelAspectRatio() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetPixelAspectRatio() : 1.0f;
}

KsRef<PanoProjection> MultiplexerSource::GetProjection() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetProjection() : KsRef<PanoProjection>();
}

int32_t MultiplexerSource::GetWidth() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetWidth() : 0;
}

eAppErr MultiplexerSource::FinishedDrawCycle() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->FinishedDrawCycle() : AppErr::kNoErr;
}

eAppErr MultiplexerSource::TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                                 uint32_t quadrantMask) {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->TextureSetForRenderer(renderer, set, quadrantMask) : kNothingDrawnYet;
}

eAppErr MultiplexerSource::GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->GetDataAtPoint(x, y, component, value) : AppErr::kNoImageYet;
}

eAppErr MultiplexerSource::DoUpdate() {
  KsRef<PanoSource> active = GetActiveSource();
  return active ? active->DoUpdate() : kNothingDrawnYet;
}
