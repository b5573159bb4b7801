#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "General/KsSpinLock.h"
#include "General/WeakRef.h"
#include "Renderer/HcTexture.h"

namespace hc::playback {
class VideoTexture;
}
class OpenGLRenderer;

// The one texture of a visual-context texture set: it shows the movie frame
// the set last took in, uploaded by the visual context, and maps image points
// to that frame's clean coordinates. A frame comes as one RGB rectangle
// texture or as the decoder's own planes, which are turned into RGB by the
// renderer's luma/chroma program while the texture is active.
class QTVisualContextTexture : public HcTexture {
  HC_CLASS_HEADER(QTVisualContextTexture)
 public:
  enum : int32_t { kCVOpenGLTextureId = 300 };

  QTVisualContextTexture();
  ~QTVisualContextTexture() override;

  eAppErr GetCanCreate() override { return AppErr::kNoErr; }
  eAppErr Activate() override;
  eAppErr Deactivate() override;
  eAppErr GetFullCoordRange(KsPointF* out) override;
  eAppErr ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) override;

  // Holds the frame (releasing the one before) and takes its coordinates.
  eAppErr SetCVTexture(std::shared_ptr<hc::playback::VideoTexture> frame);
  // Property form: `frame` is a VideoTexture owned by a shared_ptr, or null.
  eAppErr SetCVTexturePointer(void* frame);
  // -903 without a frame.
  eAppErr UpdateTexCoords();
  bool HasTexture() const { return m_hasFrame.load(std::memory_order_acquire); }
  std::shared_ptr<hc::playback::VideoTexture> GetVideoTexture() const;
  // The renderer whose luma/chroma programs draw planar frames.
  void SetRenderer(const KsRef<OpenGLRenderer>& renderer);

 private:
  using Corners = std::array<KsPointF, 4>;  // lower-left, lower-right, upper-right, upper-left

  mutable KsSpinLock m_lock;  // the frame and its coordinates, read by other threads
  bool m_coordsValid = false;
  Corners m_corners{};
  KsPointF m_farCorner{};
  std::shared_ptr<hc::playback::VideoTexture> m_frame;
  std::atomic<bool> m_hasFrame{false};
  // What Activate bound, so that Deactivate undoes exactly that.
  std::shared_ptr<hc::playback::VideoTexture> m_active;
  bool m_programActive = false;
  WeakRef::Ref m_renderer;
};
HC_CLASS_OBJECT(QTVisualContextTexture, HcTexture)
