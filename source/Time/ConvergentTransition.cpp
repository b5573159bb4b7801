#include "Time/ConvergentTransition.h"

#include <algorithm>

#include "General/AngleNormalization.h"
#include "KsTrace.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Time/HcClock.h"
#include "Time/HcMovieTween.h"
#include "Time/HcTimeScale.h"
#include "Utilities/HcPropertyBindingBase.h"

namespace {

float Blend(float current, float goal, float weight) {
  return static_cast<float>(static_cast<double>(current) * (1.0 - weight) +
                            static_cast<double>(weight) * static_cast<double>(goal));
}

// Moves the bound property toward the goal; a property that can't be read
// is left alone.
void BlendBinding(const KsRef<HcPropertyBindingBase>& binding, float goal, float weight, bool isPan) {
  if (!binding) return;
  float current = 0.0f;
  if (AppErrFailed(binding->GetValue(&current))) return;
  if (isPan) NormalizeDegreesInPlace(current, goal);
  binding->SetValue(Blend(current, goal, weight));
}

}  // namespace

ConvergentTransition::ConvergentTransition() { SetDuration(1.0); }
ConvergentTransition::~ConvergentTransition() = default;

double ConvergentTransition::Weight(double t) const {
  const double duration = GetDuration();
  if (!(duration > 0.0)) return 1.0;
  return std::clamp((t - GetStartTime()) / duration, 0.0, 1.0);
}

eAppErr ConvergentTransition::DoEvaluate(double t, const KsRef<HcClock>& clock) {
  std::lock_guard run(RunLock());
  eAppErr result = HcTransition::DoEvaluate(t, clock);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "DoEvaluate");
  KsRef<HcTween> target = GetTargetTween();
  KsRef<HcClock> targetClock = target ? target->GetClock() : KsRef<HcClock>();
  if (!targetClock) return kNothingDone;
  if (IsOver(t)) {
    target->SetEnabled(true);
    return result;
  }
  const float weight = static_cast<float>(Weight(t));
  const double targetTime = targetClock->GetTimeNow();
  if (auto sequence = target.DynamicCast<FloatSequenceTween>()) {
    result = DoEvaluateSequenceTween(sequence, targetTime, weight);
  } else if (auto movieTween = target.DynamicCast<HcMovieTween>()) {
    BlendMovieTween(movieTween, targetTime, weight);
    result = AppErr::kNoErr;
  }
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "DoEvaluate");
  return result;
}

void ConvergentTransition::BlendMovieTween(const KsRef<HcMovieTween>& movieTween, double targetTime, float weight) {
  KsRef<HcTimeScale> timeScale = movieTween->GetTimeScale();
  // Without a time scale the movie tween shows no direction to blend toward.
  if (!timeScale) return;
  KsRef<LookDirectionValue> direction = movieTween->LookDirectionAtTime(timeScale->SecondsToTimeValue(targetTime));
  if (!direction) return;
  BlendBinding(movieTween->GetPanBinding(), direction->GetPanAngle(), weight, true);
  BlendBinding(movieTween->GetTiltBinding(), direction->GetTiltAngle(), weight, false);
  BlendBinding(movieTween->GetVFOVBinding(), direction->GetVFOV(), weight, false);
}

eAppErr ConvergentTransition::DoEvaluateSequenceTween(const KsRef<FloatSequenceTween>& sequence, double targetTime,
                                                      float weight) {
  if (!sequence) return KS_TRACE_ERR(AppErr::kBadArgument, "DoEvaluateSequenceTween");
  KsRef<FloatBindingTupleCollection> tuples = sequence->GetBindings();
  const uint32_t count = tuples->GetCount();
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<FloatBindingTuple> tuple = tuples->GetByIndex(i);
    KsRef<HcPropertyBindingBase> binding = tuple ? tuple->GetBinding() : KsRef<HcPropertyBindingBase>();
    if (!binding) continue;
    float current = 0.0f;
    eAppErr err = binding->GetValue(&current);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluateSequenceTween");
    float goal = 0.0f;
    err = sequence->GetValueForTime(tuple, targetTime, &goal);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluateSequenceTween");
    if (binding->GetPropertyName() == PWStringRef("PanAngle")) NormalizeDegreesInPlace(current, goal);
    err = binding->SetValue(Blend(current, goal, weight));
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluateSequenceTween");
  }
  return AppErr::kNoErr;
}

eAppErr ConvergentTransition::Reset() {
  if (KsRef<HcTween> target = GetTargetTween()) target->SetEnabled(false);
  return HcTransition::Reset();
}

KsRef<HcTween> ConvergentTransition::GetTargetTween() const {
  std::lock_guard run(RunLock());
  return m_targetTween;
}

eAppErr ConvergentTransition::SetTargetTween(const KsRef<HcTween>& tween) {
  DidChangeCaller change(this, kTargetTweenId);
  std::lock_guard run(RunLock());
  m_targetTween = tween;
  return AppErr::kNoErr;
}
