#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "General/KsSpinLock.h"
#include "General/WeakRef.h"
#include "PWCriticalRegion.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/QTVisualContextTexture.h"

namespace hc::playback {
class VisualContext;
class VideoTexture;
}  // namespace hc::playback

// The texture set of a source whose frames come from a visual context: once
// a display refresh, before drawing, it takes in the frame due at the
// display's next output time (optionally holding frames back by a number of
// refreshes) and hands it to its single texture. A refresh with no new frame
// does no OpenGL work and allocates nothing.
class QTVisualContextTextureSet : public HcTextureSet {
  HC_CLASS_HEADER(QTVisualContextTextureSet)
 public:
  enum : int32_t { kVisualContextId = 300, kRendererId = 301, kFrameDelayId = 302 };
  static constexpr uint32_t kMaxFrameDelay = 30;

  QTVisualContextTextureSet();
  ~QTVisualContextTextureSet() override;

  eAppErr GetCanCreate() override { return AppErr::kNoErr; }
  // The texture for any mask; -602 until it holds a frame.
  eAppErr GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) override;
  uint64_t GetUpdateSeed() override;
  uint32_t GetTextureCount() override { return 1; }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override;
  eAppErr UpdateForRenderer(const KsRef<PanoRenderer>& renderer) override;
  // Raises the change count when the projection differs from the held one.
  eAppErr SetProjection(const KsRef<PanoProjection>& projection) override;

  eAppErr SetVisualContext(std::shared_ptr<hc::playback::VisualContext> context);
  std::shared_ptr<hc::playback::VisualContext> GetSharedVisualContext() const;
  // Property forms: a VisualContext owned by a shared_ptr, or null.
  void* GetVisualContext() const;
  eAppErr SetVisualContextPointer(void* context);

  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  KsRef<PanoRenderer> GetRenderer() const;

  uint32_t GetFrameDelay() const;
  // -2 above kMaxFrameDelay; a new delay empties the queue.
  eAppErr SetFrameDelay(uint32_t delay);

  KsRef<QTVisualContextTexture> GetTexture() const { return m_texture; }
  uint32_t GetChangeCount() const { return m_changeCount.load(std::memory_order_acquire); }
  uint32_t GetFrameCount() const { return m_frameCount.load(std::memory_order_acquire); }

 private:
  using Frame = std::shared_ptr<hc::playback::VideoTexture>;

  Frame TakeFrame(const KsRef<PanoRenderer>& renderer);
  Frame PassThroughDelay(Frame taken);
  void ClearDelayQueue();

  mutable KsSpinLock m_refsLock;  // the renderer and context, set from other threads
  WeakRef::Ref m_renderer;
  std::shared_ptr<hc::playback::VisualContext> m_visualContext;
  KsRef<QTVisualContextTexture> m_texture;
  std::atomic<uint32_t> m_changeCount{1};
  std::atomic<uint32_t> m_frameCount{1};
  PWCriticalRegion::Ref m_lock;  // held while a frame is taken in
  std::array<Frame, kMaxFrameDelay> m_delayQueue{};
  uint32_t m_queueFill = 0;
  uint32_t m_queueWrites = 0;
  uint32_t m_frameDelay = 0;
};
HC_CLASS_OBJECT(QTVisualContextTextureSet, HcTextureSet)
