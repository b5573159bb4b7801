#include "PerspectiveRing.h"

#include <cmath>
#include <numbers>

HC_DEFINE_CLASS(GnomonicTestFunc, OneVarFunction, "GnomonicTestFunc")

void GnomonicTestFunc::GnomonicTestFuncClass::SetupProperties() {}

namespace {
constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2.0f;
constexpr float kDegToRad = std::numbers::pi_v<float> / 180.0f;
}  // namespace

GnomonicTestFunc::GnomonicTestFunc() {
  SetCanCalcInverse(true);
  SetNominalDomain(-kQuarterTurn, 0.0f);
}

GnomonicTestFunc::~GnomonicTestFunc() = default;

void GnomonicTestFunc::SetVerticalFovDeg(float degrees) {
  m_tanHalfFov = std::tan(0.5f * degrees * kDegToRad);
  BumpFirstSeed();
}

bool GnomonicTestFunc::Evaluate(float tilt, float* radius) {
  const float fromNadir = tilt + kQuarterTurn;
  if (!radius || !std::isfinite(tilt) || fromNadir < 0.0f || fromNadir >= kQuarterTurn) return false;
  *radius = std::tan(fromNadir) / m_tanHalfFov;
  return true;
}

bool GnomonicTestFunc::Inverse(float radius, float* tilt) {
  if (!tilt || !std::isfinite(radius) || radius < 0.0f) return false;
  *tilt = std::atan(radius * m_tanHalfFov) - kQuarterTurn;
  return true;
}

KsRef<RadialFuncProj> MakePerspectiveRing(const PerspectiveView& view) {
  auto function = KsMakeRef<GnomonicTestFunc>();
  function->SetVerticalFovDeg(view.verticalFovDeg);
  auto ring = KsMakeRef<RadialFuncProj>();
  ring->SetRadialFunc(function);
  // Seen from above, pan grows clockwise; looking up it turns the other way.
  ring->SetIsInverted(view.up);
  ring->SetIsMirror(false);
  ring->SetZeroPanOffsetDeg(view.panDeg);
  ring->SetImageAspect(static_cast<float>(view.width) / static_cast<float>(view.height));
  if (view.pixelCentres) {
    ring->SetCenterPoint({0.5f - 0.5f / static_cast<float>(view.width), 0.5f - 0.5f / static_cast<float>(view.height)});
  }
  return ring;
}
