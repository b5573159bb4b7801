#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/playback/PlaybackErr.h"
#include "platform/playback/VideoTexture.h"

namespace hc::gl {
class GlContext;
}

namespace hc::playback {

// Rectangle textures of one OpenGL context, reused from frame to frame by
// size and texel format. Recycle may be called on any thread; textures are
// made and deleted only in Acquire and the destructor, with the pool's
// context current.
class VideoTexturePool {
 public:
  // Idle textures kept for later frames: two frames of three planes.
  static constexpr size_t kMaxIdle = 6;

  explicit VideoTexturePool(hc::gl::GlContext* context);
  VideoTexturePool(const VideoTexturePool&) = delete;
  VideoTexturePool& operator=(const VideoTexturePool&) = delete;
  // Deletes the idle textures when the pool's context is current; otherwise
  // they are left for the context to free.
  ~VideoTexturePool();

  // A texture with storage for width x height texels of the format, contents
  // undefined, clamped to its edges and filtered linearly.
  PlaybackErr Acquire(int width, int height, VideoPlaneFormat format, unsigned* name);
  // Keeps the texture for a later frame; the oldest idle one makes room.
  void Recycle(unsigned name, int width, int height, VideoPlaneFormat format);
  size_t TexturesMade() const;

 private:
  struct Idle {
    unsigned name;
    int width;
    int height;
    VideoPlaneFormat format;
  };
  void DeleteRetiredLocked();

  hc::gl::GlContext* context_;
  mutable std::mutex mutex_;
  std::vector<Idle> idle_;
  std::vector<unsigned> retired_;  // to delete on the drawing thread
  size_t made_ = 0;
};

}  // namespace hc::playback
