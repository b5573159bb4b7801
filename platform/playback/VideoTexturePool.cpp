#include "platform/playback/VideoTexturePool.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/gl/GlContext.h"

namespace hc::playback {
namespace {

struct TexelLayout {
  GLint internalFormat;
  GLenum format;
};

// Unsized internal formats, so that the driver keeps the rows as they come:
// sized RGBA8 storage makes llvmpipe swizzle every pixel of every BGRA upload.
TexelLayout LayoutOf(VideoPlaneFormat format) {
  switch (format) {
    case VideoPlaneFormat::Luma8: return {GL_LUMINANCE, GL_LUMINANCE};
    case VideoPlaneFormat::LumaAlpha8: return {GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA};
    case VideoPlaneFormat::Rgba32: break;
  }
  return {GL_RGBA, GL_BGRA};
}

}  // namespace

// Room for every texture the pool keeps, so that recycling never allocates.
VideoTexturePool::VideoTexturePool(hc::gl::GlContext* context) : context_(context) {
  idle_.reserve(kMaxIdle);
  retired_.reserve(kMaxIdle + 1);
}

VideoTexturePool::~VideoTexturePool() {
  if (hc::gl::GlContext::Current() != context_ || context_ == nullptr) return;
  std::lock_guard lock(mutex_);
  for (const Idle& idle : idle_) retired_.push_back(idle.name);
  idle_.clear();
  DeleteRetiredLocked();
}

void VideoTexturePool::DeleteRetiredLocked() {
  if (retired_.empty()) return;
  glDeleteTextures(static_cast<GLsizei>(retired_.size()), retired_.data());
  retired_.clear();
}

PlaybackErr VideoTexturePool::Acquire(int width, int height, VideoPlaneFormat format, unsigned* name) {
  if (name == nullptr || width <= 0 || height <= 0) return PlaybackErr::BadArgument;
  if (hc::gl::GlContext::Current() != context_) return PlaybackErr::WrongContext;
  std::lock_guard lock(mutex_);
  DeleteRetiredLocked();
  for (auto it = idle_.begin(); it != idle_.end(); ++it) {
    if (it->width == width && it->height == height && it->format == format) {
      *name = it->name;
      idle_.erase(it);
      return PlaybackErr::Ok;
    }
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &largest);
  if (width > largest || height > largest) return PlaybackErr::SizeLimitExceeded;
  while (glGetError() != GL_NO_ERROR) {
  }
  const TexelLayout layout = LayoutOf(format);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_RECTANGLE, texture);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // A frame's edges repeat its own outermost texels, never a border colour.
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_RECTANGLE, 0, layout.internalFormat, width, height, 0, layout.format, GL_UNSIGNED_BYTE,
               nullptr);
  glBindTexture(GL_TEXTURE_RECTANGLE, 0);
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &texture);
    return PlaybackErr::DeviceError;
  }
  ++made_;
  *name = texture;
  return PlaybackErr::Ok;
}

void VideoTexturePool::Recycle(unsigned name, int width, int height, VideoPlaneFormat format) {
  if (name == 0) return;
  std::lock_guard lock(mutex_);
  // Textures of a size no longer played go first.
  if (idle_.size() >= kMaxIdle) {
    retired_.push_back(idle_.front().name);
    idle_.erase(idle_.begin());
  }
  idle_.push_back({name, width, height, format});
}

size_t VideoTexturePool::TexturesMade() const {
  std::lock_guard lock(mutex_);
  return made_;
}

}  // namespace hc::playback
