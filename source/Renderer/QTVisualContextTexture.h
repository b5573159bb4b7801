#pragma once

#include <array>
#include <memory>

#include "Renderer/HcTexture.h"

namespace hc::playback {
class VideoTexture;
}

// The one texture of a visual-context texture set: the movie frame that the
// visual context uploaded, addressed through the frame's clean corners.
// A minimal form for the visual-context sources; the renderer's full one
// (with the luma/chroma fast path) takes its place.
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

  eAppErr SetCVTexture(std::shared_ptr<hc::playback::VideoTexture> frame);
  // The property form: *frame is a std::shared_ptr<hc::playback::VideoTexture>.
  eAppErr SetCVTexturePointer(void* frame);
  bool HasTexture() const { return static_cast<bool>(m_texture); }
  std::shared_ptr<hc::playback::VideoTexture> GetFrame() const { return m_texture; }
  eAppErr UpdateTexCoords();

 private:
  bool m_coordsValid = false;
  // Lower-left, lower-right, upper-right, upper-left.
  std::array<KsPointF, 4> m_corners{};
  std::shared_ptr<hc::playback::VideoTexture> m_texture;
};
HC_CLASS_OBJECT(QTVisualContextTexture, HcTexture)
