#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "General/KsPoint.h"
#include "General/RefTempl.h"

class BufferSource;
struct PixelFormatInfo;

// The pixel engine of the CPU unwarp: walks an output buffer pixel by pixel
// in row order and writes each pixel either as a bilinear sample of the
// source buffer at a normalised source point or as the background value.
// Source and output are buffers of one pixel format. A plain object, deleted
// by its owner; one pass at a time.
class Sampler {
 public:
  using SampleMethod = bool (Sampler::*)(KsPoint<float>);

  // A sampler for two buffers of the same pixel format, or none: for
  // differing formats (traced), for formats whose pixel is not 1, 3 or 4
  // whole components of 1, 2 or 4 bytes (packed and 4:2:2 formats), and for
  // buffers that hold no pixels.
  static std::unique_ptr<Sampler> Create(const KsRef<BufferSource>& source, const KsRef<BufferSource>& output);
  // Whether Create can make a sampler for buffers of this format.
  static bool CanSample(const PixelFormatInfo* format);

  virtual ~Sampler();
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  // Places the write position on an output pixel; false (and no write
  // position) for a pixel outside the output.
  virtual bool SetCursor(KsPoint<int> cursor);
  // One pixel on, to the next row after the last column, to (0, 0) after
  // the last row.
  virtual void StepCursor();
  // Writes the sample at a normalised source point (0 to 1 inclusive) and
  // steps; points outside the image, or not finite, give the background.
  virtual bool SamplePixel(KsPoint<float> point);
  // Writes the background (all components 0) and steps.
  virtual bool BackgroundPixel();
  virtual bool SamplePixelBilinear(KsPoint<float> point);

  // For a source whose columns cover the whole circle of pan: points left or
  // right of the image wrap around, and the right neighbour of the last
  // column is the first column (no seam). Otherwise neighbours beyond the
  // last column or row are the pixels on that edge.
  void SetWrapsHorizontally(bool wraps) { m_wrapsHorizontally = wraps; }
  bool GetWrapsHorizontally() const { return m_wrapsHorizontally; }

  // A buffer whose pixels are not of this sampler's size, or that holds no
  // pixels, is kept but never read or written.
  void SetSource(const KsRef<BufferSource>& source);
  void SetOutput(const KsRef<BufferSource>& output);
  KsPoint<int> GetCursor() const { return m_cursor; }

 protected:
  explicit Sampler(size_t pixelBytes);

  bool Fits(const KsRef<BufferSource>& buffer) const;

  const size_t m_pixelBytes;
  KsRef<BufferSource> m_source;
  KsRef<BufferSource> m_output;
  const uint8_t* m_sourceBase = nullptr;
  size_t m_sourceRowBytes = 0;
  uint8_t* m_outputBase = nullptr;
  size_t m_outputRowBytes = 0;
  int m_sourceWidth = 0;
  int m_sourceHeight = 0;
  int m_outputWidth = 0;
  int m_outputHeight = 0;
  int m_step = 1;
  KsPoint<int> m_cursor;
  SampleMethod m_sampleMethod = nullptr;
  uint8_t* m_writePosition = nullptr;
  bool m_wrapsHorizontally = false;
};
