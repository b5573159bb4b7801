// A planar source drawn through the scene: the built-in viewset shows the
// whole picture at its own aspect in the planar region.

#include <gtest/gtest.h>

#include <string>

#include "EquirectangularGrid.h"
#include "FileTestSupport.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "Projection/PlanarProjection.h"
#include "RegisterAllClasses.h"
#include "Source/SourceCollection.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kPlanarWidth = 640;
constexpr int kPlanarHeight = 480;

// The picture scaled by ffmpeg (bilinear) to the width, centred on black.
TestImage Letterboxed(const TestImage& picture) {
  const int bandHeight = kPlanarWidth * picture.height / picture.width;
  ScratchFolder folder;
  const std::string in = folder / "in.ppm";
  const std::string out = folder / "out.raw";
  if (!WritePnm(in, picture)) return {};
  if (RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", in, "-vf",
               "scale=" + std::to_string(kPlanarWidth) + ":" + std::to_string(bandHeight) + ":flags=bilinear", "-f",
               "rawvideo", "-pix_fmt", "rgb24", out}) != 0) {
    return {};
  }
  const TestImage band = ReadRaw(out, kPlanarWidth, bandHeight, 3);
  TestImage framed = TestImage::Blank(kPlanarWidth, kPlanarHeight, 3);
  const int top = (kPlanarHeight - bandHeight) / 2;
  for (int y = 0; y < bandHeight; ++y) {
    for (int x = 0; x < kPlanarWidth; ++x) {
      for (int c = 0; c < 3; ++c) framed.At(x, top + y, c) = band.At(x, y, c);
    }
  }
  return framed;
}

TEST(PlanarScene, APlanarSourceShowsWholeAtItsAspect) {
  RegisterAllClasses();
  const TestImage picture = MakeEquirectangularGrid(512, 256);
  ViewScene scene;
  ASSERT_TRUE(scene.Make(kPlanarWidth, kPlanarHeight, picture, KsMakeRef<PlanarProjection>()));
  auto context = KsMakeRef<HcContextHelper>();
  context->SetRenderer(scene.drawing.renderer);
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(scene.source);
  ASSERT_EQ(0, context->SetSources(sources));
  ASSERT_EQ(scene.source.Get(), context->GetPlanarSource().Get());

  const TestImage ours = scene.Draw(context->GetRootView());
  ASSERT_FALSE(ours.Empty());
  const TestImage theirs = Letterboxed(picture);
  ASSERT_FALSE(theirs.Empty());
  EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0);
  EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0);
}

}  // namespace
