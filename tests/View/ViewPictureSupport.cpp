#include "ViewPictureSupport.h"

#include <algorithm>
#include <cmath>
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
