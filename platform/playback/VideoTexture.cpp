#include "platform/playback/VideoTexture.h"

#include "platform/playback/VideoTexturePool.h"

namespace hc::playback {

VideoTexture::VideoTexture(std::weak_ptr<VideoTexturePool> pool, const Description& description)
    : pool_(std::move(pool)), description_(description) {}

VideoTexture::~VideoTexture() {
  auto pool = pool_.lock();
  if (!pool) return;
  for (int i = 0; i < description_.planeCount; ++i) {
    const Plane& plane = description_.planes[static_cast<size_t>(i)];
    pool->Recycle(plane.name, plane.width, plane.height, plane.format);
  }
}

}  // namespace hc::playback
