#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "RendererTestSupport.h"

namespace {

constexpr int kYuvWidth = 320;
constexpr int kYuvHeight = 160;

std::vector<uint8_t> ReadPlaneFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GLuint PlaneTexture(GLenum unit, GLenum format, int width, int height, const uint8_t* bytes) {
  GLuint name = 0;
  glActiveTexture(unit);
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // Nearest chroma, as the decoders' own conversion does.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, format == GL_LUMINANCE ? GL_LUMINANCE8 : GL_LUMINANCE8_ALPHA8, width, height, 0,
               format, GL_UNSIGNED_BYTE, bytes);
  glActiveTexture(GL_TEXTURE0);
  return name;
}

// Decoder planes on texture units 0 to 2, drawn through the renderer's program.
class PlanesTexture : public HcTexture {
 public:
  PlanesTexture(OpenGLRenderer& renderer, YuvToRgbProgram::Layout layout) : m_renderer(renderer), m_layout(layout) {}
  ~PlanesTexture() override { glDeleteTextures(static_cast<GLsizei>(planes.size()), planes.data()); }
  eAppErr GetCanCreate() override { return 0; }
  eAppErr Activate() override {
    for (size_t i = 0; i < planes.size(); ++i) {
      glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + i));
      glBindTexture(GL_TEXTURE_2D, planes[i]);
    }
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    YuvToRgbProgram* program = m_renderer.GetYuvProgram(m_layout, GL_TEXTURE_2D);
    if (!program) return -1;
    program->Use(kYuvWidth, kYuvHeight, false, false);
    return 0;
  }
  eAppErr Deactivate() override {
    YuvToRgbProgram::Unuse();
    glDisable(GL_TEXTURE_2D);
    return 0;
  }
  eAppErr GetFullCoordRange(KsPointF* out) override {
    *out = {1, 1};
    return 0;
  }
  eAppErr ImagePointToTexture(const KsPointF& p, KsPointF* out) override {
    *out = p;
    return 0;
  }
  std::vector<GLuint> planes;

 private:
  OpenGLRenderer& m_renderer;
  YuvToRgbProgram::Layout m_layout;
};

// Mean absolute difference of one channel after a 3 x 3 box blur of both.
float BlurredMeanAbsDifference(const std::vector<uint8_t>& argb, const std::vector<uint8_t>& rgb, int channel) {
  auto at = [](const std::vector<uint8_t>& pixels, int stride, int offset, int x, int y) {
    float sum = 0;
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int sx = x + dx;
        const int sy = y + dy;
        if (sx < 0 || sy < 0 || sx >= kYuvWidth || sy >= kYuvHeight) continue;
        sum += pixels[(static_cast<size_t>(sy) * kYuvWidth + sx) * stride + offset];
        ++n;
      }
    }
    return sum / static_cast<float>(n);
  };
  double total = 0;
  for (int y = 0; y < kYuvHeight; ++y) {
    for (int x = 0; x < kYuvWidth; ++x) total += std::fabs(at(argb, 4, 1 + channel, x, y) - at(rgb, 3, channel, x, y));
  }
  return static_cast<float>(total / (kYuvWidth * kYuvHeight));
}

struct Case {
  const char* ffmpegFormat;
  YuvToRgbProgram::Layout layout;
};

class YuvPlanes : public ::testing::TestWithParam<Case> {};

TEST_P(YuvPlanes, DecoderPlanesMatchFfmpegsConversion) {
  const Case& c = GetParam();
  ScratchFolder folder;
  const std::string size = std::to_string(kYuvWidth) + "x" + std::to_string(kYuvHeight);
  const std::string planes = folder / "frame.yuv";
  const std::string reference = folder / "frame.rgb";
  ASSERT_EQ(0, RunTool({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=1",
                        "-frames:v", "1", "-pix_fmt", c.ffmpegFormat, "-f", "rawvideo", "-y", planes}));
  ASSERT_EQ(0, RunTool({"ffmpeg", "-nostdin", "-v", "error", "-f", "rawvideo", "-pix_fmt", c.ffmpegFormat, "-s", size,
                        "-i", planes, "-pix_fmt", "rgb24", "-f", "rawvideo", "-y", reference}));
  const std::vector<uint8_t> bytes = ReadPlaneFile(planes);
  const std::vector<uint8_t> rgb = ReadPlaneFile(reference);
  ASSERT_EQ(static_cast<size_t>(kYuvWidth) * kYuvHeight * 3 / 2, bytes.size());

  DrawingRenderer drawing;
  ASSERT_TRUE(drawing.Make(kYuvWidth, kYuvHeight));
  auto texture = KsMakeRef<PlanesTexture>(*drawing.renderer, c.layout);
  const size_t lumaBytes = static_cast<size_t>(kYuvWidth) * kYuvHeight;
  texture->planes.push_back(PlaneTexture(GL_TEXTURE0, GL_LUMINANCE, kYuvWidth, kYuvHeight, bytes.data()));
  if (c.layout == YuvToRgbProgram::Layout::kPlanar) {
    texture->planes.push_back(PlaneTexture(GL_TEXTURE1, GL_LUMINANCE, kYuvWidth / 2, kYuvHeight / 2, &bytes[lumaBytes]));
    texture->planes.push_back(
        PlaneTexture(GL_TEXTURE2, GL_LUMINANCE, kYuvWidth / 2, kYuvHeight / 2, &bytes[lumaBytes + lumaBytes / 4]));
  } else {
    texture->planes.push_back(
        PlaneTexture(GL_TEXTURE1, GL_LUMINANCE_ALPHA, kYuvWidth / 2, kYuvHeight / 2, &bytes[lumaBytes]));
  }
  ASSERT_EQ(0, drawing.renderer->BeginUpdate());
  ASSERT_EQ(0, DrawTextureFlat(*drawing.renderer, *texture, kYuvWidth, kYuvHeight));
  drawing.renderer->EndUpdate();
  const std::vector<uint8_t> drawn = drawing.ReadARGB();
  for (int channel = 0; channel < 3; ++channel) {
    EXPECT_LE(BlurredMeanAbsDifference(drawn, rgb, channel), 2.0f) << c.ffmpegFormat << " channel " << channel;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, YuvPlanes,
                         ::testing::Values(Case{"yuv420p", YuvToRgbProgram::Layout::kPlanar},
                                           Case{"nv12", YuvToRgbProgram::Layout::kBiPlanar}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.ffmpegFormat); });

}  // namespace
