#pragma once

// Drawing views of a picture: a buffer source holding an RGB picture with
// its projection, drawn through a view into an off-screen drawable and read
// back.

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

// Mean absolute difference per channel after both images are blurred 3 x 3;
// the largest of the three channels.
double BlurredMeanAbsDifference(const TestImage& a, const TestImage& b);
