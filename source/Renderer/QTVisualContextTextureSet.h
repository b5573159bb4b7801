#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include "General/WeakRef.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/QTVisualContextTexture.h"

namespace hc::playback {
class VideoTexture;
class VisualContext;
}  // namespace hc::playback

// The texture set of a source whose frames come from a visual context: once
// per display refresh it takes the frame due at the display's next output
// time, optionally holds frames back by a number of refreshes, and hands the
// frame shown to its one texture. A minimal form for the visual-context
// sources; the renderer's full one takes its place.
class QTVisualContextTextureSet : public HcTextureSet {
  HC_CLASS_HEADER(QTVisualContextTextureSet)
 public:
  enum : int32_t { kVisualContextId = 300, kRendererId = 301, kFrameDelayId = 302 };
  static constexpr uint32_t kMaxFrameDelay = 30;

  QTVisualContextTextureSet();
  ~QTVisualContextTextureSet() override;

  eAppErr GetCanCreate() override { return AppErr::kNoErr; }
  // -602 until a frame is shown.
  eAppErr GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) override;
  uint64_t GetUpdateSeed() override;
  uint32_t GetTextureCount() override { return 1; }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override;
  eAppErr UpdateForRenderer(const KsRef<PanoRenderer>& renderer) override;
  eAppErr SetProjection(const KsRef<PanoProjection>& projection) override;

  // The set shares the context with its source, so either may go first.
  eAppErr SetVisualContext(std::shared_ptr<hc::playback::VisualContext> context);
  std::shared_ptr<hc::playback::VisualContext> GetVisualContext() const;
  // The property form.
  void* GetVisualContextPointer() const;
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  KsRef<PanoRenderer> GetRenderer() const;
  uint32_t GetFrameDelay() const;
  // -2 above kMaxFrameDelay.
  eAppErr SetFrameDelay(uint32_t delay);
  KsRef<QTVisualContextTexture> GetTexture() const { return m_texture; }

 private:
  using Frame = std::shared_ptr<hc::playback::VideoTexture>;
  Frame PassThroughDelay(Frame taken);

  WeakRef::Ref m_renderer;
  std::shared_ptr<hc::playback::VisualContext> m_context;
  KsRef<QTVisualContextTexture> m_texture;
  uint32_t m_changeCount = 1;
  uint32_t m_frameCount = 1;
  mutable std::mutex m_lock;
  std::array<Frame, kMaxFrameDelay> m_delayQueue;
  uint32_t m_queueFill = 0;
  uint32_t m_queueWrites = 0;
  uint32_t m_frameDelay = 0;
};
HC_CLASS_OBJECT(QTVisualContextTextureSet, HcTextureSet)
