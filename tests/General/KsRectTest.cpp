#include <gtest/gtest.h>

#include <cmath>

#include "General/KsColor.h"
#include "General/KsPoint.h"
#include "General/KsRect.h"
#include "General/KsSize.h"

namespace {

using RectF = KsRect<float>;
using RectI = KsRect<int>;

// The extent is never normalised: disjoint intersections and unordered points
// give zero or negative extents, and no operation treats them specially.
TEST(KsRectTest, RectangleOperationsFollowTheirEdges) {
  struct Case {
    const char* what;
    RectF result;
    RectF expected;
  };
  const Case cases[] = {
      {"intersection of overlapping", RectF::IntersectRect({0, 0, 10, 10}, {5, 5, 10, 10}), {5, 5, 5, 5}},
      {"intersection of disjoint", RectF::IntersectRect({0, 0, 10, 10}, {20, 0, 10, 10}), {20, 0, -10, 10}},
      {"intersection with itself", RectF::IntersectRect({1, 2, 3, 4}, {1, 2, 3, 4}), {1, 2, 3, 4}},
      {"intersection of nested", RectF::IntersectRect({0, 0, 10, 10}, {2, 3, 1, 1}), {2, 3, 1, 1}},
      {"union", RectF::Union({0, 0, 1, 1}, {5, 5, 1, 1}), {0, 0, 6, 6}},
      {"union reaches the origin of a zero rectangle", RectF::Union({5, 5, 1, 1}, RectF()), {0, 0, 6, 6}},
      {"union with a negative extent", RectF::Union({0, 0, 10, 10}, {20, 0, -10, 10}), {0, 0, 10, 10}},
      {"scale", RectF::ScaleRect({1, 2, 3, 4}, {10, 100}), {10, 200, 30, 400}},
      {"two unordered points", RectF::RectFrom2Points({5, 5}, {1, 1}), {5, 5, -4, -4}},
      {"origin and size", RectF(KsPointF{1, 2}, KsSizeF{3, 4}), {1, 2, 3, 4}},
      {"default", RectF(), {0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.result) << c.what;

  EXPECT_EQ(RectI(5, 5, 5, 5), RectI::IntersectRect({0, 0, 10, 10}, {5, 5, 10, 10}));
  EXPECT_EQ(RectI(20, 0, -10, 10), RectI::IntersectRect({0, 0, 10, 10}, {20, 0, 10, 10}));
  EXPECT_EQ(RectI(5, 5, -4, -4), RectI::RectFrom2Points({5, 5}, {1, 1}));
  EXPECT_FALSE(RectI(1, 2, 3, 4) == RectI(1, 2, 3, 5));
}

TEST(KsRectTest, ContainsEveryEdgeAndNothingBeyond) {
  const RectF square(0, 0, 10, 10);
  struct Case {
    KsPointF point;
    bool inside;
  };
  const Case cases[] = {
      {{0, 0}, true},      {{10, 10}, true},     {{10, 0}, true},     {{0, 10}, true},     {{5, 5}, true},
      {{10.001f, 5}, false}, {{-0.001f, 5}, false}, {{5, 10.001f}, false}, {{5, -0.001f}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.inside, square.Contains(c.point)) << c.point.x << ", " << c.point.y;
  // A negative extent contains nothing, not even its origin.
  EXPECT_FALSE(RectF(20, 0, -10, 10).Contains({20, 5}));
}

TEST(KsRectTest, PercentFromPointIsAFractionOfTheExtent) {
  EXPECT_EQ((KsPointF{0.5f, 0.5f}), RectF(10, 10, 20, 40).PercentFromPoint({20, 30}));
  EXPECT_EQ((KsPointF{0, 1}), RectF(10, 10, 20, 40).PercentFromPoint({10, 50}));
  const KsPointF flat = RectF(0, 0, 0, 10).PercentFromPoint({1, 5});
  EXPECT_TRUE(std::isinf(flat.x));
  EXPECT_TRUE(std::isnan(RectF(0, 0, 0, 10).PercentFromPoint({0, 5}).x));
}

TEST(KsRectTest, RecordsCompareFieldByFieldUnderIEEERules) {
  EXPECT_EQ(RectF(0.0f, 1, 2, 3), RectF(-0.0f, 1, 2, 3));
  EXPECT_FALSE(RectF(NAN, 0, 0, 0) == RectF(NAN, 0, 0, 0));
  EXPECT_FALSE(RectF(0, 0, 0, 1) == RectF(0, 0, 1, 0));
  EXPECT_EQ((KsColorF{0.1f, 0.2f, 0.3f, 0.4f}), (KsColorF{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_FALSE((KsColorF{0, 0, 0, 1}) == (KsColorF{0, 0, 1, 0}));
  EXPECT_EQ((KsPointF{}), (KsPointF{0, 0}));
  EXPECT_EQ((KsSizeF{}), (KsSizeF{0, 0}));
}

}  // namespace
