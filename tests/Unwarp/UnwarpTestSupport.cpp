#include "UnwarpTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "FileTestSupport.h"

namespace {

// The picture channel a component takes; -1 for alpha.
int ChannelOf(uint32_t component) {
  switch (component) {
    case PixelFormatInfo::kCompR:
    case PixelFormatInfo::kCompY:
    case PixelFormatInfo::kCompGrey: return 0;
    case PixelFormatInfo::kCompG:
    case PixelFormatInfo::kCompCb: return 1;
    case PixelFormatInfo::kCompB:
    case PixelFormatInfo::kCompCr: return 2;
    default: return -1;
  }
}

void StoreComponent(uint8_t* at, const PixelFormatInfo& format, uint8_t value) {
  switch (format.bytesPerComponent) {
    case 1: *at = value; break;
    case 2: {
      // Not v x 257, whose two bytes are alike and hide the byte order.
      const uint16_t wide = static_cast<uint16_t>(std::min(65535, value * 257 + 64));
      at[0] = static_cast<uint8_t>(wide >> 8);
      at[1] = static_cast<uint8_t>(wide & 0xff);
      break;
    }
    default: {
      const float real = static_cast<float>(value) / 255.0f;
      std::memcpy(at, &real, sizeof real);
      break;
    }
  }
}

uint8_t LoadComponent(const uint8_t* at, const PixelFormatInfo& format) {
  switch (format.bytesPerComponent) {
    case 1: return *at;
    case 2: return static_cast<uint8_t>(std::lround(static_cast<double>(at[0] << 8 | at[1]) / 257.0));
    default: {
      float real = 0.0f;
      std::memcpy(&real, at, sizeof real);
      const long value = std::lround(real * 255.0f);
      return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
  }
}

}  // namespace

KsRef<BufferSource> MakeBufferSource(const TestImage& picture, uint32_t format) {
  auto source = KsMakeRef<BufferSource>();
  if (AppErrFailed(source->SetPixelFormat(format)) ||
      AppErrFailed(source->CreateBuffer(picture.width, picture.height))) {
    return {};
  }
  const PixelFormatInfo& info = *source->GetPixelFormatInfo();
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* pixel = source->GetBaseAddress() + static_cast<size_t>(y) * source->GetRowBytes();
    for (int x = 0; x < picture.width; ++x, pixel += info.BytesPerPixel()) {
      for (uint32_t k = 0; k < info.componentCount; ++k) {
        const int channel = ChannelOf(info.components[k]);
        const uint8_t alpha = picture.channels == 4 ? picture.At(x, y, 3) : 255;
        const uint8_t value = channel < 0 ? alpha : picture.At(x, y, channel % picture.channels);
        StoreComponent(pixel + k * info.bytesPerComponent, info, value);
      }
    }
  }
  source->FrameReady();
  return source;
}

TestImage ReadBuffer(BufferSource& buffer) {
  const PixelFormatInfo* info = buffer.GetPixelFormatInfo();
  if (!buffer.GetBaseAddress() || !info) return {};
  TestImage picture = TestImage::Blank(buffer.GetWidth(), buffer.GetHeight(), 3);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* pixel = buffer.GetBaseAddress() + static_cast<size_t>(y) * buffer.GetRowBytes();
    for (int x = 0; x < picture.width; ++x, pixel += info->BytesPerPixel()) {
      for (uint32_t k = 0; k < info->componentCount; ++k) {
        const int channel = ChannelOf(info->components[k]);
        if (channel < 0) continue;
        const uint8_t value = LoadComponent(pixel + k * info->bytesPerComponent, *info);
        if (info->components[k] == PixelFormatInfo::kCompGrey) {
          for (int c = 0; c < 3; ++c) picture.At(x, y, c) = value;
        } else {
          picture.At(x, y, channel) = value;
        }
      }
    }
  }
  return picture;
}

TestImage MakeEquirectangularFixture(int width, int height, float softness) {
  static const char* kColours[] = {"red",  "yellow", "lime",   "cyan", "blue", "magenta",
                                   "orange", "white", "pink", "violet", "gold", "springgreen"};
  const std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  const bool haveFont = StatOf(font).st_size > 0;
  // Drawn three times as wide and cut from the middle, so that the picture
  // continues across the 360-degree seam, softening included.
  const std::string W = std::to_string(width);
  std::string graph = "color=c=gray:s=" + std::to_string(3 * width) + "x" + std::to_string(height) +
                      ":d=1,format=gbrp,geq=r='128+90*sin(6*PI*X/W)':g='128+90*cos(6*PI*X/W)':b='30+190*Y/H'"
                      ",drawgrid=w=iw/72:h=ih/12:t=3:c=black";
  for (int k = 0; k < 12 && haveFont; ++k) {
    graph += ",drawtext=fontfile=" + font + ":text=" + std::to_string(k * 30) + ":fontsize=" +
             std::to_string(height / 26) + ":fontcolor=" + kColours[k] +
             ":x=" + std::to_string(width + k * width / 12 + 8) + ":y=" + std::to_string(height / 2 + 8) +
             ":box=1:boxcolor=black@0.6";
  }
  const int boxW = width / 25;
  const int boxH = height / 17;
  for (int k = 0; k < 4; ++k) {
    const int x = width + k * width / 4 + width / 8 - boxW / 2;
    graph += ",drawbox=x=" + std::to_string(x) + ":y=" + std::to_string(height / 4 - boxH / 2) + ":w=" +
             std::to_string(boxW) + ":h=" + std::to_string(boxH) + ":color=" + kColours[k + 4] + ":t=fill";
    graph += ",drawbox=x=" + std::to_string(x) + ":y=" + std::to_string(3 * height / 4 - boxH / 2) + ":w=" +
             std::to_string(boxW) + ":h=" + std::to_string(boxH) + ":color=" + kColours[k + 8] + ":t=fill";
  }
  graph += ",gblur=sigma=" + std::to_string(softness) + ",crop=" + W + ":" + std::to_string(height) + ":" + W + ":0";
  ScratchFolder folder;
  const std::string out = folder / "fixture.ppm";
  if (RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i", graph, "-frames:v", "1", "-pix_fmt",
               "rgb24", out}) != 0) {
    return {};
  }
  return ReadPnm(out);
}

KsRef<UnwarpTask> MakeTask(const KsRef<PanoSource>& source, const KsRef<PanoProjection>& sourceProjection,
                           const KsRef<OutputBuffer>& output, const KsRef<PanoProjection>& outputProjection) {
  auto task = KsMakeRef<UnwarpTask>();
  task->SetSource(source);
  task->SetSourceProjection(sourceProjection);
  task->SetOutput(output);
  task->SetOutputProjection(outputProjection);
  return task;
}

KsRef<OutputBuffer> MakeOutput(const KsRef<PanoSource>& source, int width, int height) {
  auto output = KsMakeRef<OutputBuffer>();
  output->SetPixelFormat(source->GetPixelFormat());
  output->Initialize(width, height);
  return output;
}

TestImage UnwarpPicture(const KsRef<BufferSource>& source, const KsRef<PanoProjection>& sourceProjection,
                        const KsRef<PanoProjection>& outputProjection, int width, int height) {
  KsRef<OutputBuffer> output = MakeOutput(source, width, height);
  if (AppErrFailed(MakeTask(source, sourceProjection, output, outputProjection)->Unwarp())) return {};
  return ReadBuffer(*output);
}

TraceCapture::TraceCapture(const std::string& settingsXml) {
  KsTrace::ResetSettings();
  if (settingsXml.empty()) {
    KsTrace::LoadSettings(PWStringRef(), true);
  } else {
    ScratchFolder folder;
    const std::string path = folder / "sampleTraceSettings.xml";
    WriteText(path, settingsXml);
    KsTrace::LoadSettings(PWStringRef(path), false);
  }
  KsTrace::SetOutputSink([this](const std::string& line) { lines.push_back(line); });
}

TraceCapture::~TraceCapture() {
  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();
}

int TraceCapture::Count(const std::string& text) const {
  int count = 0;
  for (const std::string& line : lines) count += line.find(text) != std::string::npos;
  return count;
}
