#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "Source/BufferSource.h"
#include "Unwarp/OutputBuffer.h"
#include "Unwarp/UnwarpTask.h"

// A buffer source of the format holding the picture: channels go to the
// format's components by meaning (R, G, B, A; Y, Cb, Cr take R, G, B, since
// the sampler never looks at what a component means; grey takes R), scaled
// to the component's type (16 bits: a quarter step above v x 257) and in its
// byte order.
KsRef<BufferSource> MakeBufferSource(const TestImage& picture, uint32_t format);
// The buffer's pixels read back the same way, as an RGB picture (grey
// formats give grey in all three); empty without a buffer.
TestImage ReadBuffer(BufferSource& buffer);

// The equirectangular test picture: a colour gradient over longitude and
// latitude, a grid line every 15 degrees, coloured longitude labels along the
// equator and coloured boxes at latitudes 45 north and south, softened by a
// Gaussian blur of that many pixels; it continues across the 360-degree
// seam. Made by ffmpeg; empty when it could not be made.
TestImage MakeEquirectangularFixture(int width, int height, float softness = 1.2f);

// A task with its four parts set.
KsRef<UnwarpTask> MakeTask(const KsRef<PanoSource>& source, const KsRef<PanoProjection>& sourceProjection,
                           const KsRef<OutputBuffer>& output, const KsRef<PanoProjection>& outputProjection);
// An output of the source's format and the given size.
KsRef<OutputBuffer> MakeOutput(const KsRef<PanoSource>& source, int width, int height);
// Unwarps into a new output of that size; the picture read back, empty when
// the unwarp failed.
TestImage UnwarpPicture(const KsRef<BufferSource>& source, const KsRef<PanoProjection>& sourceProjection,
                        const KsRef<PanoProjection>& outputProjection, int width, int height);

// Collects the trace lines written while it lives: every category at the
// verbose level, or only the categories a settings text names.
class TraceCapture {
 public:
  explicit TraceCapture(const std::string& settingsXml = "");
  ~TraceCapture();
  // Lines that contain the text.
  int Count(const std::string& text) const;
  std::vector<std::string> lines;
};
