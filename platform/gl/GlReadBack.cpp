#include "platform/gl/GlReadBack.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace hc::gl {

namespace {

constexpr size_t kBytesPerPixel = 4;

// Saves the pack state a read-back changes and puts it back afterwards, so
// that a caller's own pack buffer or row length stays in force.
class PackStateScope {
 public:
  PackStateScope() {
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer_);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength_);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment_);
    glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows_);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels_);
    glGetIntegerv(GL_PACK_SWAP_BYTES, &swapBytes_);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  }
  ~PackStateScope() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer_));
    glPixelStorei(GL_PACK_ROW_LENGTH, rowLength_);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment_);
    glPixelStorei(GL_PACK_SKIP_ROWS, skipRows_);
    glPixelStorei(GL_PACK_SKIP_PIXELS, skipPixels_);
    glPixelStorei(GL_PACK_SWAP_BYTES, swapBytes_);
  }
  PackStateScope(const PackStateScope&) = delete;
  PackStateScope& operator=(const PackStateScope&) = delete;

 private:
  GLint packBuffer_ = 0;
  GLint rowLength_ = 0;
  GLint alignment_ = 4;
  GLint skipRows_ = 0;
  GLint skipPixels_ = 0;
  GLint swapBytes_ = 0;
};

// The packed 32-bit types name components from the most significant byte, so
// the byte order in memory depends on the machine's.
GLenum PixelType(GlReadBack::ByteOrder order) {
  if (order == GlReadBack::ByteOrder::BGRA) return GL_UNSIGNED_BYTE;
  return std::endian::native == std::endian::little ? GL_UNSIGNED_INT_8_8_8_8
                                                    : GL_UNSIGNED_INT_8_8_8_8_REV;
}

// OpenGL hands rows bottom first; turn them over in place.
void FlipRows(unsigned char* pixels, int height, size_t rowBytes, size_t usedBytes) {
  std::vector<unsigned char> spare(usedBytes);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    unsigned char* upper = pixels + static_cast<size_t>(top) * rowBytes;
    unsigned char* lower = pixels + static_cast<size_t>(bottom) * rowBytes;
    std::memcpy(spare.data(), upper, usedBytes);
    std::memcpy(upper, lower, usedBytes);
    std::memcpy(lower, spare.data(), usedBytes);
  }
}

}  // namespace

GlError GlReadBack::CheckBuffer(int width, int height, const void* buffer, size_t bufferSize,
                                size_t rowBytes) {
  if (buffer == nullptr || width <= 0 || height <= 0) return GlError::BadArgument;
  const size_t usedBytes = static_cast<size_t>(width) * kBytesPerPixel;
  if (rowBytes < usedBytes) return GlError::BadArgument;
  const size_t rowsBefore = static_cast<size_t>(height) - 1;
  if (rowsBefore != 0 && rowBytes > (std::numeric_limits<size_t>::max() - usedBytes) / rowsBefore) {
    return GlError::BufferTooSmall;
  }
  return rowBytes * rowsBefore + usedBytes <= bufferSize ? GlError::None : GlError::BufferTooSmall;
}

GlError GlReadBack::ReadFramebuffer(int width, int height, ByteOrder order, void* buffer,
                                    size_t bufferSize, size_t rowBytes) {
  if (GlError error = CheckBuffer(width, height, buffer, bufferSize, rowBytes);
      error != GlError::None) {
    return error;
  }
  if (glGetString(GL_VERSION) == nullptr) return GlError::NoCurrentContext;
  if (glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    return GlError::FramebufferIncomplete;
  }
  PackStateScope packState;
  const size_t usedBytes = static_cast<size_t>(width) * kBytesPerPixel;
  auto* pixels = static_cast<unsigned char*>(buffer);
  if (rowBytes % kBytesPerPixel == 0 &&
      rowBytes / kBytesPerPixel <= static_cast<size_t>(std::numeric_limits<GLint>::max())) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(rowBytes / kBytesPerPixel));
    glReadPixels(0, 0, width, height, GL_BGRA, PixelType(order), pixels);
    FlipRows(pixels, height, rowBytes, usedBytes);
    return GlError::None;
  }
  // Rows that are not a whole number of pixels apart go through a packed copy.
  std::vector<unsigned char> packed(usedBytes * static_cast<size_t>(height));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(0, 0, width, height, GL_BGRA, PixelType(order), packed.data());
  for (int row = 0; row < height; ++row) {
    std::memcpy(pixels + static_cast<size_t>(row) * rowBytes,
                packed.data() + static_cast<size_t>(height - 1 - row) * usedBytes, usedBytes);
  }
  return GlError::None;
}

}  // namespace hc::gl
