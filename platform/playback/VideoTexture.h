#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace hc::playback {

class VideoTexturePool;

// How a frame's texels are kept on the card.
enum class VideoPlaneFormat : uint32_t {
  Rgba32,      // one texel a pixel, four bytes (the converted layouts)
  Luma8,       // one byte a texel (Y, Cb or Cr plane)
  LumaAlpha8,  // two bytes a texel (interleaved Cb Cr)
};

// How a frame's planes make up its picture.
enum class VideoFrameLayout : uint32_t {
  Packed,    // one RGB(A) texture
  Planar,    // Y, Cb and Cr textures
  BiPlanar,  // Y and interleaved Cb Cr textures
};

// Which Y'CbCr-to-RGB matrix a frame's planes need.
enum class VideoMatrix : uint32_t { BT601, BT709 };

// One movie frame on the card, handed out counted (shared_ptr): one RGB
// rectangle texture, or the decoder's own planes, one rectangle texture each
// (luma at the picture's size, chroma at its subsampled size). When the last
// holder lets go, the textures go back to their pool for a later frame;
// OpenGL objects are freed only on the drawing thread. Rectangle textures are
// addressed in texels.
class VideoTexture : public std::enable_shared_from_this<VideoTexture> {
 public:
  struct Point {
    float x = 0.0f;
    float y = 0.0f;
  };
  struct Plane {
    unsigned name = 0;
    int width = 0;
    int height = 0;
    VideoPlaneFormat format = VideoPlaneFormat::Rgba32;
  };
  static constexpr unsigned kTargetRectangle = 0x84F5;  // GL_TEXTURE_RECTANGLE
  static constexpr int kMaxPlanes = 3;

  struct Description {
    VideoFrameLayout layout = VideoFrameLayout::Packed;
    std::array<Plane, kMaxPlanes> planes{};
    int planeCount = 0;
    VideoMatrix matrix = VideoMatrix::BT601;
    bool fullRange = false;
    std::array<Point, 4> cleanCoords{};
    double movieSeconds = 0.0;
  };

  VideoTexture(std::weak_ptr<VideoTexturePool> pool, const Description& description);
  VideoTexture(const VideoTexture&) = delete;
  VideoTexture& operator=(const VideoTexture&) = delete;
  ~VideoTexture();

  // The first plane's texture (the whole picture for a packed frame, luma otherwise).
  unsigned Name() const { return description_.planes[0].name; }
  unsigned Target() const { return kTargetRectangle; }
  VideoFrameLayout Layout() const { return description_.layout; }
  int PlaneCount() const { return description_.planeCount; }
  const Plane& PlaneAt(int index) const { return description_.planes[static_cast<size_t>(index)]; }
  VideoMatrix Matrix() const { return description_.matrix; }
  // Luma and chroma span 0..255 rather than 16..235 and 16..240.
  bool FullRange() const { return description_.fullRange; }
  // Rows are stored top row first, so the picture's top is at y = 0.
  bool IsFlipped() const { return true; }
  // The clean picture's corners: lower-left, lower-right, upper-right, upper-left.
  const std::array<Point, 4>& CleanTexCoords() const { return description_.cleanCoords; }
  // The picture's size in pixels (the first plane's).
  int Width() const { return description_.planes[0].width; }
  int Height() const { return description_.planes[0].height; }
  // Where the frame starts in movie time.
  double MovieSeconds() const { return description_.movieSeconds; }

 private:
  std::weak_ptr<VideoTexturePool> pool_;
  Description description_;
};

}  // namespace hc::playback
