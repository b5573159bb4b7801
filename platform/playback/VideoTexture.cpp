#include "platform/playback/VideoTexture.h"

#include "platform/playback/VideoTexturePool.h"

namespace hc::playback {

VideoTexture::VideoTexture(std::weak_ptr<VideoTexturePool> pool, unsigned name, int width, int height,
                           const std::array<Point, 4>& cleanCoords, double movieSeconds)
    : pool_(std::move(pool)), name_(name), width_(width), height_(height), clean_(cleanCoords),
      movieSeconds_(movieSeconds) {}

VideoTexture::~VideoTexture() {
  if (auto pool = pool_.lock()) pool->Recycle(name_, width_, height_);
}

}  // namespace hc::playback
