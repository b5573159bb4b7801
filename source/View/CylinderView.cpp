#include "View/CylinderView.h"

#include <cmath>

#include "General/AngleNormalization.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "Source/PanoSource.h"
#include "View/ViewMath.h"

namespace {

constexpr float kTwoPi = 6.2831855f;

}  // namespace

CylinderView::CylinderView() = default;
CylinderView::~CylinderView() = default;

KsRef<MouseResponder> CylinderView::CreateDefaultMouseResponder() { return KsMakeRef<MouseVelocityResponder>(); }

KsRef<KeyboardResponder> CylinderView::CreateDefaultKeyboardResponder() {
  return KsMakeRef<KeyboardVelocityResponder>();
}

uint32_t CylinderView::GetNumberOfImages() { return 3; }

eAppErr CylinderView::UpdateGeometry() { return AppErr::kNoErr; }

float CylinderView::GetNaturalAspectRatio() {
  KsRef<PanoSource> source = GetSource();
  KsRef<PanoProjection> projection = source ? source->GetProjection() : KsRef<PanoProjection>();
  if (!projection) return 1.0f;
  float panMin = 0.0f;
  float panMax = 360.0f;
  float tiltMin = 0.0f;
  float tiltMax = 0.0f;
  projection->GetPanRange(&panMin, &panMax);
  projection->GetTiltRange(&tiltMin, &tiltMax);
  const float height = std::tan(DegToRad(tiltMax)) - std::tan(DegToRad(tiltMin));
  const float ratio = (DegToRad(panMax) - DegToRad(panMin)) / height;
  return std::isfinite(ratio) && ratio > 0.0f ? ratio : 1.0f;
}

eAppErr CylinderView::DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) {
  if (!pan || !tilt) return KS_TRACE_ERR(AppErr::kBadArgument, "DirectionAtPointDeg");
  const KsRectF frame = GetFrame();
  const float drawnPan = GetDrawnPan();
  *pan = ((point.x - frame.x) / frame.w) * 360.0f + (drawnPan - 180.0f);
  *tilt = RadToDeg(std::atan(((point.y - frame.y) - frame.h * 0.5f) / (frame.w / kTwoPi)));
  return AllFinite(*pan, *tilt) ? AppErr::kNoErr : kOutsideImage;
}

eAppErr CylinderView::PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) {
  if (image > 2 || !point) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  const KsRectF frame = GetFrame();
  float r = pan - (GetDrawnPan() - 180.0f);
  if (image < 0) {
    r = NormalizeDegrees(r);
  } else {
    r = static_cast<float>(image - 1) * 360.0f + r;
  }
  point->x = (r / 360.0f) * frame.w + frame.x;
  point->y = (frame.w / kTwoPi) * std::tan(DegToRad(tilt)) + (frame.y + frame.h * 0.5f);
  return AppErr::kNoErr;
}
