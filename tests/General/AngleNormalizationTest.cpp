#include <gtest/gtest.h>

#include "General/AngleNormalization.h"

namespace {

TEST(AngleNormalization, FoldsAnglesIntoTheirRanges) {
  struct Case {
    float in;
    float degrees;
    float signedDegrees;
  };
  const Case cases[] = {
      {360.0f, 0.0f, 0.0f},   {-90.0f, 270.0f, -90.0f}, {180.0f, 180.0f, 180.0f},
      {190.0f, 190.0f, -170.0f}, {725.0f, 5.0f, 5.0f},  {-720.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(c.degrees, NormalizeDegrees(c.in)) << c.in;
    EXPECT_FLOAT_EQ(c.signedDegrees, NormalizeDegreesSigned(c.in)) << c.in;
  }
  EXPECT_NEAR(5.7831855f, NormalizeRadians(-0.5f), 1e-6f);
}

// A tiny negative angle must not come back as the full turn.
TEST(AngleNormalization, NeverAnswersTheFullTurn) {
  for (float tiny : {-0.000001f, -1e-20f, -0.0f}) {
    EXPECT_LT(NormalizeDegrees(tiny), 360.0f);
    EXPECT_GE(NormalizeDegrees(tiny), 0.0f);
    EXPECT_LT(NormalizeRadians(tiny), 6.2831855f);
  }
}

TEST(AngleNormalization, PlacesTheSecondAngleWithinHalfATurn) {
  float a = 10, b = 350;
  NormalizeDegreesInPlace(a, b);
  EXPECT_FLOAT_EQ(10, a);
  EXPECT_FLOAT_EQ(-10, b);
  a = 0, b = 180;
  NormalizeDegreesInPlace(a, b);
  EXPECT_FLOAT_EQ(180, b);  // a tie chooses the upper candidate
  a = 370, b = -5;
  NormalizeDegreesInPlace(a, b);
  EXPECT_FLOAT_EQ(10, a);
  EXPECT_FLOAT_EQ(-5, b);
}

}  // namespace
