#pragma once

// Drawing views of a picture: a buffer source holding an RGB picture with
// its projection, drawn through a view into an off-screen drawable and read
// back.

#include <string>

#include "ImageTestSupport.h"
#include "Projection/PanoProjection.h"
#include "RendererTestSupport.h"
#include "Source/BufferSource.h"
#include "View/HcView.h"

struct ViewScene {
  DrawingRenderer drawing;
  KsRef<BufferSource> source;

  // A drawable of the size and a source of the picture.
  bool Make(int width, int height, const TestImage& picture, const KsRef<PanoProjection>& projection);
  // One frame of the view (its frame set to the whole drawable when
  // `setFrame`), read back as RGB, top row first; empty when Draw failed.
  TestImage Draw(const KsRef<HcView>& view, bool setFrame = true, eAppErr* result = nullptr);
};

// A look direction of a test, degrees.
struct Look {
  float pan, tilt, vfov;
};

struct Direction {
  float pan, tilt;
};

// The horizontal field of view of a picture of that aspect (degrees).
double HorizontalFov(double vfovDeg, double aspect);
// v360's yaw for our pan. v360's zero longitude lies at the centre of an
// equirectangular or cylindrical picture, ours (pan 0) at its left edge, and
// both grow to the right: yaw = pan - 180, within -180..180.
double V360Yaw(double panDeg);
// v360's rectilinear ("flat") view of an equirectangular picture for our
// look: its pitch is our tilt (positive looks up); our field of view is the
// vertical one, and v360 takes both, the horizontal following from the
// output's aspect. Linear interpolation.
std::string V360Flat(const Look& look, int width, int height, const std::string& input = "e");

TestImage MirroredLeftRight(const TestImage& image);
// A black equirectangular picture with one soft white dot centred on the
// direction (pixel i covering x from i to i + 1).
TestImage DotPicture(int width, int height, Direction dot);
// The brightness-weighted centre of the picture in the frame's space: y
// upward from the bottom row's lower edge, pixel centres at half steps.
bool BrightCentre(const TestImage& image, KsPointF* centre);

// Mean absolute difference per channel after both images are blurred 3 x 3;
// the largest of the three channels.
double BlurredMeanAbsDifference(const TestImage& a, const TestImage& b);
