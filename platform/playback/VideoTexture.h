#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace hc::playback {

class VideoTexturePool;

// One movie frame uploaded into an OpenGL rectangle texture, handed out
// counted (shared_ptr). When the last holder lets go the texture goes back to
// its pool for the next frame; OpenGL objects are freed only on the drawing
// thread. Rectangle textures are addressed in pixels.
class VideoTexture {
 public:
  struct Point {
    float x = 0.0f;
    float y = 0.0f;
  };
  static constexpr unsigned kTargetRectangle = 0x84F5;  // GL_TEXTURE_RECTANGLE

  VideoTexture(std::weak_ptr<VideoTexturePool> pool, unsigned name, int width, int height,
               const std::array<Point, 4>& cleanCoords, double movieSeconds);
  VideoTexture(const VideoTexture&) = delete;
  VideoTexture& operator=(const VideoTexture&) = delete;
  ~VideoTexture();

  unsigned Name() const { return name_; }
  unsigned Target() const { return kTargetRectangle; }
  // Rows are stored top row first, so the picture's top is at y = 0.
  bool IsFlipped() const { return true; }
  // The clean picture's corners: lower-left, lower-right, upper-right, upper-left.
  const std::array<Point, 4>& CleanTexCoords() const { return clean_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Where the frame starts in movie time.
  double MovieSeconds() const { return movieSeconds_; }

 private:
  std::weak_ptr<VideoTexturePool> pool_;
  unsigned name_;
  int width_;
  int height_;
  std::array<Point, 4> clean_;
  double movieSeconds_;
};

}  // namespace hc::playback
