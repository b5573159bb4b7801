#include "ViewPictureSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Renderer/PanoRenderer.h"
#include "Source/PixelFormatInfo.h"

bool ViewScene::Make(int width, int height, const TestImage& picture, const KsRef<PanoProjection>& projection) {
  if (!drawing.Make(width, height) || picture.channels != 3) return false;
  source = KsMakeRef<BufferSource>();
  if (source->SetPixelFormat(PixelFormatInfo::k24RGB) != 0) return false;
  source->SetProjection(projection);
  source->SetRenderer(drawing.renderer);
  if (source->CreateBuffer(picture.width, picture.height) != 0) return false;
  if (source->GetBufferSize() != picture.pixels.size()) return false;
  std::memcpy(source->GetBaseAddress(), picture.pixels.data(), picture.pixels.size());
  source->FrameReady();
  return true;
}

TestImage ViewScene::Draw(const KsRef<HcView>& view, bool setFrame, eAppErr* result) {
  const int width = drawing.drawable->Width();
  const int height = drawing.drawable->Height();
  if (setFrame) view->SetFrame(KsRectF(0, 0, static_cast<float>(width), static_cast<float>(height)));
  if (drawing.renderer->BeginUpdate() != 0) return {};
  const eAppErr drawn = view->Draw(drawing.renderer);
  drawing.renderer->EndUpdate();
  if (result) *result = drawn;
  if (drawn != 0) return {};
  const std::vector<uint8_t> argb = drawing.ReadARGB();
  TestImage image = TestImage::Blank(width, height, 3);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = argb[i * 4 + 1 + c];
  }
  return image;
}

double BlurredMeanAbsDifference(const TestImage& a, const TestImage& b) {
  if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.Empty()) return 1e9;
  const TestImage ba = BoxBlur3(a);
  const TestImage bb = BoxBlur3(b);
  double worst = 0.0;
  for (int c = 0; c < a.channels; ++c) {
    double total = 0.0;
    for (size_t i = c; i < ba.pixels.size(); i += a.channels) total += std::abs(ba.pixels[i] - bb.pixels[i]);
    worst = std::max(worst, total / (static_cast<double>(ba.pixels.size()) / a.channels));
  }
  return worst;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

double HorizontalFov(double vfovDeg, double aspect) {
  return 2.0 * std::atan(std::tan(vfovDeg * kPi / 360.0) * aspect) * 180.0 / kPi;
}

double V360Yaw(double panDeg) {
  double yaw = std::fmod(panDeg - 180.0, 360.0);
  if (yaw > 180.0) yaw -= 360.0;
  if (yaw < -180.0) yaw += 360.0;
  return yaw;
}

std::string V360Flat(const Look& look, int width, int height, const std::string& input) {
  char text[200];
  std::snprintf(text, sizeof text, "v360=input=%s:output=flat:yaw=%.4f:pitch=%.4f:v_fov=%.4f:h_fov=%.4f:interp=linear",
                input.c_str(), V360Yaw(look.pan), look.tilt, look.vfov,
                HorizontalFov(look.vfov, static_cast<double>(width) / height));
  return text;
}

TestImage MirroredLeftRight(const TestImage& image) {
  TestImage mirrored = image;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      for (int c = 0; c < image.channels; ++c) mirrored.At(x, y, c) = image.At(image.width - 1 - x, y, c);
    }
  }
  return mirrored;
}

TestImage DotPicture(int width, int height, Direction dot) {
  TestImage image = TestImage::Blank(width, height, 3);
  const double cx = dot.pan / 360.0 * width;
  const double cy = (90.0 - dot.tilt) / 180.0 * height;
  for (int y = static_cast<int>(cy) - 8; y <= static_cast<int>(cy) + 8; ++y) {
    if (y < 0 || y >= height) continue;
    for (int x = static_cast<int>(cx) - 8; x <= static_cast<int>(cx) + 8; ++x) {
      const double d2 = (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy);
      const auto value = static_cast<uint8_t>(std::lround(255.0 * std::exp(-d2 / (2.0 * 1.5 * 1.5))));
      for (int c = 0; c < 3; ++c) image.At((x % width + width) % width, y, c) = value;
    }
  }
  return image;
}

bool BrightCentre(const TestImage& image, KsPointF* centre) {
  double sum = 0.0;
  double sx = 0.0;
  double sy = 0.0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const double value = image.At(x, y, 1);
      if (value < 8) continue;
      sum += value;
      sx += value * (x + 0.5);
      sy += value * (image.height - y - 0.5);
    }
  }
  if (sum <= 0.0) return false;
  *centre = {static_cast<float>(sx / sum), static_cast<float>(sy / sum)};
  return true;
}
