#pragma once

#include <atomic>

#include "General/KsSpinLock.h"
#include "Source/PanoSource.h"
#include "Source/SourceCollection.h"

// One source in front of several: it forwards the source interface to its
// active member, the last member of its list that has data. The choice is
// kept until the renderer begins its next frame (its "UpdateCycle"), then
// made again, so the picture follows whichever member's frames are present.
//
// The renderer's notice only raises a flag; the cached choice is dropped by
// the next request, on the thread that asks.
class MultiplexerSource : public PanoSource {
  HC_CLASS_HEADER(MultiplexerSource)
 public:
  enum : int32_t { kSourceListId = 300, kActiveSourceId = 301 };
  // What forwarding answers without an active member.
  static constexpr eAppErr kNothingDrawnYet = 3000;

  MultiplexerSource();
  ~MultiplexerSource() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer) override;

  KsRef<KsObject> GetClock() override;
  bool GetHasAlpha() override;
  bool GetHasData() override;
  bool GetHasDimensions() override;
  int32_t GetHeight() override;
  float GetImageAspect() override;
  bool GetMapFullFrame() override;
  float GetPixelAspectRatio() override;
  KsRef<PanoProjection> GetProjection() override;
  int32_t GetWidth() override;
  eAppErr FinishedDrawCycle() override;
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                uint32_t quadrantMask) override;
  eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) override;
  eAppErr DoUpdate() override;

  virtual KsRef<PanoSource> GetActiveSource();
  // Pins one source: the list becomes a list of just that source.
  eAppErr SetActiveSource(const KsRef<PanoSource>& source);
  KsRef<SourceCollection> GetSourceList() const;
  eAppErr SetSourceList(const KsRef<SourceCollection>& list);
  // Times a member was chosen.
  uint32_t GetChoiceCount() const { return m_choices.load(std::memory_order_relaxed); }

 private:
  void GiveMembersRenderer(const KsRef<SourceCollection>& list, const KsRef<PanoRenderer>& renderer);

  mutable KsSpinLock m_lock;
  KsRef<SourceCollection> m_sourceList;
  KsRef<PanoSource> m_activeSource;
  std::atomic<bool> m_chooseAgain{false};
  std::atomic<uint32_t> m_choices{0};
  WeakRef::Ref m_observedRenderer;
};
HC_CLASS_OBJECT(MultiplexerSource, PanoSource)
