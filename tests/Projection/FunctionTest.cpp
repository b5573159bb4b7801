#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>

#include "General/FloatCollection.h"
#include "GoldenTable.h"
#include "Projection/CylindricalFunc.h"
#include "Projection/KestrelFunc.h"
#include "Projection/LinearFunc.h"
#include "Projection/PolynomialFunc.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

KsRef<PolynomialFunc> MakePolynomial(std::initializer_list<float> terms, float domainMin = 0.0f,
                                     float domainMax = 5.0f) {
  auto collection = KsMakeRef<FloatCollection>();
  for (float term : terms) collection->Add(term);
  auto function = KsMakeRef<PolynomialFunc>();
  function->SetPolyTerms(collection);
  function->SetNominalDomain(domainMin, domainMax);
  return function;
}

TEST(LinearFunc, MapsTheDomainOntoTheValuesAndExtrapolates) {
  auto f = KsMakeRef<LinearFunc>();
  f->SetNominalDomain(0.0f, 2.0f);
  float y = 0.0f;
  float x = 0.0f;
  EXPECT_TRUE(f->Evaluate(1.0f, &y));
  EXPECT_FLOAT_EQ(0.5f, y);
  EXPECT_TRUE(f->Inverse(0.5f, &x));
  EXPECT_FLOAT_EQ(1.0f, x);
  EXPECT_TRUE(f->Evaluate(-2.0f, &y));
  EXPECT_FLOAT_EQ(-1.0f, y);

  // Reversed values: the domain's minimum maps to 1.
  f->SetMinValue(1.0f);
  f->SetMaxValue(0.0f);
  EXPECT_TRUE(f->Evaluate(0.0f, &y));
  EXPECT_FLOAT_EQ(1.0f, y);
  EXPECT_TRUE(f->Evaluate(2.0f, &y));
  EXPECT_FLOAT_EQ(0.0f, y);
}

TEST(LinearFunc, DegenerateDomainOrValuesAnswerFalseInsteadOfInfinities) {
  auto f = KsMakeRef<LinearFunc>();
  f->SetNominalDomain(0.3f, 0.3f);
  float y = 7.0f;
  EXPECT_FALSE(f->Evaluate(0.3f, &y));
  EXPECT_FALSE(f->Inverse(0.5f, &y));
  EXPECT_EQ(7.0f, y);

  f->SetNominalDomain(0.0f, 1.0f);
  f->SetMaxValue(0.0f);  // equal values: constant, no inverse
  EXPECT_TRUE(f->Evaluate(0.5f, &y));
  EXPECT_EQ(0.0f, y);
  EXPECT_FALSE(f->Inverse(0.0f, &y));

  f->SetMaxValue(1.0f);
  for (float bad : {kNaN, kInf, -kInf}) {
    EXPECT_FALSE(f->Evaluate(bad, &y));
    EXPECT_FALSE(f->Inverse(bad, &y));
  }
}

TEST(LinearFunc, EditorMovesKeepTheImageRangeWithinTheTiltLimits) {
  auto f = KsMakeRef<LinearFunc>();
  f->SetNominalDomain(-0.5f, 0.5f);
  EXPECT_EQ(-2, f->MoveTiltMinDeg(95.0f, 1.0f));
  EXPECT_EQ(-2, f->MoveTiltMaxDeg(kNaN, 1.0f));
  EXPECT_FLOAT_EQ(-0.5f, f->GetDomainMin());
  EXPECT_FLOAT_EQ(0.5f, f->GetDomainMax());

  EXPECT_EQ(0, f->MoveTiltMinDeg(-30.0f, 1.0f));
  EXPECT_NEAR(-30.0f, f->GetAngleMinDeg(), 1e-4f);
  EXPECT_NEAR(f->GetDomainMin() + 1.0f, f->GetDomainMax(), 1e-6f);
  EXPECT_EQ(0, f->MoveTiltMaxDeg(40.0f, 0.5f));
  EXPECT_NEAR(40.0f, f->GetAngleMaxDeg(), 1e-4f);
  EXPECT_NEAR(f->GetDomainMax() - 0.5f, f->GetDomainMin(), 1e-6f);

  struct Case {
    float horizon;
    float range;
    float min;
    float max;
  };
  const float halfPi = static_cast<float>(std::numbers::pi / 2);
  for (const Case& c : {Case{0.5f, 4.0f, -halfPi, halfPi}, Case{0.5f, 1.0f, -0.5f, 0.5f},
                        Case{0.9f, 2.0f, -halfPi, 2.0f - halfPi}, Case{0.1f, 2.0f, halfPi - 2.0f, halfPi}}) {
    SCOPED_TRACE(c.horizon);
    EXPECT_EQ(0, f->MoveHorizon(c.horizon, c.range));
    EXPECT_NEAR(c.min, f->GetDomainMin(), 1e-6f);
    EXPECT_NEAR(c.max, f->GetDomainMax(), 1e-6f);
  }
}

TEST(PolynomialFunc, EvaluatesAndInvertsByTermCount) {
  float y = 0.0f;
  float x = 0.0f;
  auto quadratic = MakePolynomial({1.0f, 2.0f, 3.0f});
  EXPECT_TRUE(quadratic->Evaluate(2.0f, &y));
  EXPECT_FLOAT_EQ(17.0f, y);
  EXPECT_TRUE(quadratic->Inverse(17.0f, &x));
  EXPECT_FLOAT_EQ(2.0f, x);

  // Roots 1 and 3 of x^2 - 4x + 3: the smaller when both are inside, the
  // one inside, else the one nearer the domain.
  struct Case {
    float min;
    float max;
    float root;
  };
  for (const Case& c : {Case{0, 5, 1}, Case{2, 5, 3}, Case{-1, 2, 1}, Case{3.5f, 9, 3}, Case{-9, 0.5f, 1}}) {
    auto f = MakePolynomial({3.0f, -4.0f, 1.0f}, c.min, c.max);
    EXPECT_TRUE(f->Inverse(0.0f, &x));
    EXPECT_FLOAT_EQ(c.root, x) << c.min << ".." << c.max;
  }

  auto linear = MakePolynomial({1.0f, 2.0f});
  EXPECT_TRUE(linear->Inverse(5.0f, &x));
  EXPECT_FLOAT_EQ(2.0f, x);

  auto quartic = MakePolynomial({1.0f, 0.0f, 0.0f, 0.000001f, 2.0f});
  EXPECT_TRUE(quartic->Evaluate(2.0f, &y));
  EXPECT_FLOAT_EQ(33.0f, y);  // the negligible cubic term is skipped
  EXPECT_FALSE(quartic->Inverse(33.0f, &x));

  quadratic->SetPolyTerms({});
  EXPECT_TRUE(quadratic->Evaluate(3.0f, &y));
  EXPECT_EQ(0.0f, y);
  EXPECT_FALSE(quadratic->Inverse(0.0f, &x));
}

TEST(PolynomialFunc, DegenerateQuadraticsInvertSoundlyOrAnswerFalse) {
  float x = -5.0f;
  // c2 = 0: the linear root, not a made-up 1.0.
  auto flat = MakePolynomial({1.0f, 2.0f, 0.0f});
  EXPECT_TRUE(flat->Inverse(7.0f, &x));
  EXPECT_FLOAT_EQ(3.0f, x);
  // No real root: x^2 + 1 = 0.
  auto noRoot = MakePolynomial({1.0f, 0.0f, 1.0f});
  x = -5.0f;
  EXPECT_FALSE(noRoot->Inverse(0.0f, &x));
  EXPECT_EQ(-5.0f, x);
  // Constant functions have no inverse.
  EXPECT_FALSE(MakePolynomial({1.0f, 0.0f, 0.0f})->Inverse(1.0f, &x));
  EXPECT_FALSE(MakePolynomial({1.0f, 0.0f})->Inverse(1.0f, &x));
  EXPECT_FALSE(flat->Inverse(kNaN, &x));
  EXPECT_FALSE(flat->Evaluate(kInf, &x));
}

TEST(PolynomialFunc, CopiesItsTermsAndComparesThem) {
  auto terms = KsMakeRef<FloatCollection>();
  terms->Add(1.0f);
  terms->Add(2.0f);
  auto f = KsMakeRef<PolynomialFunc>();
  const UpdateSeed before = f->GetUpdateSeed();
  f->SetPolyTerms(terms);
  EXPECT_EQ(before.first + 1, f->GetUpdateSeed().first);
  terms->Add(3.0f);  // not seen until PolyTerms is set again
  EXPECT_EQ(2u, f->GetCoefficients().size());

  auto same = MakePolynomial({1.0f, 2.0f}, -3.0f, 3.0f);
  EXPECT_TRUE(f->Compare(same));  // the domain is not compared
  EXPECT_FALSE(f->Compare(MakePolynomial({1.0f, 2.5f})));
  EXPECT_FALSE(f->Compare(KsMakeRef<LinearFunc>()));
}

TEST(CylindricalFunc, FollowsTheTangentAndRefusesTiltsOutsideItsDomain) {
  auto f = KsMakeRef<CylindricalFunc>();
  float y = 0.0f;
  EXPECT_TRUE(f->Evaluate(0.0f, &y));  // usable as constructed
  EXPECT_FLOAT_EQ(0.5f, y);

  f->SetNominalDomain(-0.5f, 0.5f);
  EXPECT_TRUE(f->Evaluate(0.5f, &y));
  EXPECT_NEAR(0.0f, y, 1e-6f);
  EXPECT_TRUE(f->Evaluate(-0.5f, &y));
  EXPECT_NEAR(1.0f, y, 1e-6f);
  EXPECT_FALSE(f->Evaluate(0.6f, &y));
  EXPECT_NEAR(0.5f - std::tan(0.6f) / (2.0f * std::tan(0.5f)), y, 1e-6f);

  float x = 0.0f;
  EXPECT_TRUE(f->Inverse(0.25f, &x));
  EXPECT_NEAR(std::atan(0.5f * std::tan(0.5f)), x, 1e-6f);
  EXPECT_FALSE(f->Inverse(-0.5f, &x));
  EXPECT_NEAR(2.0f * std::tan(0.5f), f->GetRelativeImageRange(), 1e-6f);

  EXPECT_FALSE(f->Compare(KsMakeRef<LinearFunc>()));
  auto other = KsMakeRef<CylindricalFunc>();
  other->SetNominalDomain(-0.5f, 0.5f);
  EXPECT_TRUE(f->Compare(other));
}

TEST(CylindricalFunc, EqualTangentsAnswerFalseInsteadOfInfinities) {
  auto f = KsMakeRef<CylindricalFunc>();
  f->SetNominalDomain(0.2f, 0.2f);
  float y = 3.0f;
  EXPECT_FALSE(f->Evaluate(0.2f, &y));
  EXPECT_FALSE(f->Inverse(0.5f, &y));
  EXPECT_EQ(3.0f, y);
}

TEST(CylindricalFunc, EditorMovesKeepTheTangentSpan) {
  auto f = KsMakeRef<CylindricalFunc>();
  EXPECT_EQ(0, f->MoveTiltMinDeg(-20.0f, 1.5f));
  EXPECT_NEAR(-20.0f, f->GetAngleMinDeg(), 1e-4f);
  EXPECT_NEAR(1.5f, f->GetRelativeImageRange(), 1e-5f);
  EXPECT_EQ(0, f->MoveTiltMaxDeg(10.0f, 0.8f));
  EXPECT_NEAR(0.8f, f->GetRelativeImageRange(), 1e-5f);
  EXPECT_EQ(0, f->MoveHorizon(0.25f, 2.0f));
  EXPECT_NEAR(std::atan(-0.5f), f->GetDomainMin(), 1e-6f);
  EXPECT_NEAR(std::atan(1.5f), f->GetDomainMax(), 1e-6f);
  float y = 0.0f;
  f->Evaluate(0.0f, &y);
  EXPECT_NEAR(0.75f, y, 1e-6f);  // a quarter of the height below the horizon
}

TEST(OneVarFunction, SetNominalRangeInvertsOrRefusesWithoutChange) {
  auto f = KsMakeRef<CylindricalFunc>();
  EXPECT_EQ(0, f->SetNominalRange(1.0f, 0.0f));
  EXPECT_NEAR(-0.87266463f, f->GetDomainMin(), 1e-6f);
  EXPECT_EQ(OneVarFunction::kRangeNotInvertible, f->SetNominalRange(5.0f, 0.0f));
  EXPECT_NEAR(0.87266463f, f->GetDomainMax(), 1e-6f);
}

TEST(KestrelFunc, BuildsTheOpticCurveFromTheApexDistance) {
  auto f = KsMakeRef<KestrelFunc>();
  EXPECT_FLOAT_EQ(170.0f, f->GetApexDistance());
  EXPECT_NEAR(-80.0f, f->GetAngleCenterDeg(), 1e-4f);
  EXPECT_NEAR(52.27f, f->GetAngleEdgeDeg(), 0.01f);
  float r = 0.0f;
  EXPECT_TRUE(f->Evaluate(Radians(-80.0f), &r));
  EXPECT_NEAR(0.0014f, r, 0.0001f);
  float tilt = 0.0f;
  EXPECT_TRUE(f->Inverse(1.0f, &tilt));
  EXPECT_NEAR(0.9122f, tilt, 1e-4f);
  float min = 0.0f;
  float max = 0.0f;
  f->GetNominalRange(&min, &max);
  EXPECT_EQ(0.0f, min);
  EXPECT_EQ(1.0f, max);

  struct Case {
    float apex;
    float edgeDeg;
  };
  for (const Case& c : {Case{100.0f, 55.9f}, Case{300.0f, 46.9f}, Case{10.0f, 0.0f}}) {
    const UpdateSeed before = f->GetUpdateSeed();
    EXPECT_EQ(0, f->SetApexDistance(c.apex));
    EXPECT_NE(before, f->GetUpdateSeed());
    if (c.edgeDeg != 0.0f) {
      EXPECT_NEAR(c.edgeDeg, f->GetAngleEdgeDeg(), 0.05f);
    }
  }
  const UpdateSeed before = f->GetUpdateSeed();
  EXPECT_EQ(-2, f->SetApexDistance(9.99f));
  EXPECT_EQ(-2, f->SetApexDistance(kNaN));
  EXPECT_EQ(10.0f, f->GetApexDistance());
  EXPECT_EQ(before, f->GetUpdateSeed());
}

TEST(KestrelFunc, ComparesByApexDistanceOnly) {
  auto a = KsMakeRef<KestrelFunc>();
  auto b = KsMakeRef<KestrelFunc>();
  EXPECT_TRUE(a->Compare(b));
  b->SetApexDistance(171.0f);
  EXPECT_FALSE(a->Compare(b));
  // A plain polynomial of the same curve is not an optic.
  const float theta = std::atan2(1.0f, 17.0f);
  auto curve = MakePolynomial({0.616057f - 0.523966f * theta + 3.65368f * theta * theta,
                               0.522739f - 2.11769f * theta + 10.7556f * theta * theta,
                               0.0655371f - 1.39624f * theta + 6.48261f * theta * theta});
  EXPECT_FALSE(a->Compare(curve));
}

}  // namespace
