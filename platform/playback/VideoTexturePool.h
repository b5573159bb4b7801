#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/playback/PlaybackErr.h"

namespace hc::gl {
class GlContext;
}

namespace hc::playback {

// Rectangle textures of one OpenGL context, reused from frame to frame.
// Recycle may be called on any thread; textures are made and deleted only in
// Acquire and the destructor, with the pool's context current.
class VideoTexturePool {
 public:
  static constexpr size_t kMaxIdle = 3;

  explicit VideoTexturePool(hc::gl::GlContext* context) : context_(context) {}
  VideoTexturePool(const VideoTexturePool&) = delete;
  VideoTexturePool& operator=(const VideoTexturePool&) = delete;
  // Deletes the idle textures when the pool's context is current; otherwise
  // they are left for the context to free.
  ~VideoTexturePool();

  // A texture with storage for width x height pixels (RGBA), contents undefined.
  PlaybackErr Acquire(int width, int height, unsigned* name);
  void Recycle(unsigned name, int width, int height);
  size_t TexturesMade() const;

 private:
  struct Idle {
    unsigned name;
    int width;
    int height;
  };
  void DeleteRetiredLocked();

  hc::gl::GlContext* context_;
  mutable std::mutex mutex_;
  std::vector<Idle> idle_;
  std::vector<unsigned> retired_;  // to delete on the drawing thread
  size_t made_ = 0;
};

}  // namespace hc::playback
