#include "Time/HcTransition.h"

#include <cmath>

#include "KsTrace.h"
#include "Time/HcClock.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcSmoothFloatTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "Utilities/HcWeakPropertyBinding.h"

namespace {

// The eased tween of a goal, made on the goal's first start: it writes the
// property of the goal's target (or the transition's) through a weak binding.
KsRef<HcSmoothFloatTween> ObtainGoalTween(HcGoal& goal, const KsRef<KsObject>& defaultTarget) {
  if (KsRef<HcSmoothFloatTween> tween = goal.GetTween()) return tween;
  KsRef<KsObject> target = goal.GetTarget() ? goal.GetTarget() : defaultTarget;
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(target);
  binding->SetPropertyName(goal.GetPropertyName());
  auto tween = KsMakeRef<HcSmoothFloatTween>();
  tween->SetBinding(binding);
  goal.SetTween(tween);
  return tween;
}

}  // namespace

HcTransition::HcTransition() : m_goals(KsMakeRef<HcGoalCollection>()) {
  // Stored without attaching: a new transition is evaluated only once started.
  StoreClock(QTSystemClock::GetSharedClock());
}

HcTransition::~HcTransition() = default;

bool HcTransition::IsOver(double t) const {
  const double end = GetEndTime();
  return end >= 0.0 && end < t;
}

eAppErr HcTransition::Go() {
  KsRef<HcClock> clock = GetClock();
  if (!clock) return KS_TRACE_ERR(AppErr::kNotReady, "Go");
  return Start(clock, false);
}

eAppErr HcTransition::Start(const KsRef<HcClock>& clock, bool alreadyOnClock) {
  if (!clock) return KS_TRACE_ERR(AppErr::kBadArgument, "Start");
  const double now = clock->GetTimeNow();
  double duration = GetDuration();
  if (!std::isfinite(duration) || duration < 0.0) duration = 0.0;
  {
    std::lock_guard run(m_runLock);
    ArmGoals(now, duration);
    SetStartTime(now);
    SetEndTime(now + duration);
    m_started.store(true, std::memory_order_relaxed);
  }
  if (!alreadyOnClock) clock->AddTween(ThisRef(), true);
  return AppErr::kNoErr;
}

void HcTransition::ArmGoals(double now, double duration) {
  KsRef<HcGoalCollection> goals = GetGoals();
  if (!goals) return;
  KsRef<KsObject> target = GetTarget();
  for (uint32_t i = 0; i < goals->GetCount(); ++i) {
    KsRef<HcGoal> goal = goals->GetByIndex(i);
    if (!goal) continue;
    KsRef<HcSmoothFloatTween> tween = ObtainGoalTween(*goal, target);
    float current = 0.0f;
    KsRef<HcPropertyBindingBase> binding = tween->GetBinding();
    // A property that can't be read has no start to move from: the goal sits this run out.
    const bool readable = binding && !AppErrFailed(binding->GetValue(&current));
    tween->SetEnabled(readable);
    if (!readable) continue;
    tween->SetStartValue(current);
    tween->SetEndValue(goal->GetValue());
    tween->SetStartTime(now);
    tween->SetEndTime(now + duration);
  }
}

eAppErr HcTransition::Evaluate(double t, const KsRef<HcClock>& clock) {
  if (!IsStarted() && clock) {
    const eAppErr err = Start(clock, true);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Evaluate");
  }
  const double start = GetStartTime();
  if (start >= 0.0 && start > t) return kOutsideWindow;
  return DoEvaluate(t, clock);
}

eAppErr HcTransition::DoEvaluate(double t, const KsRef<HcClock>& clock) {
  std::lock_guard run(m_runLock);
  if (!IsOver(t)) return EvaluateGoals(t, clock);
  // The last tick may have come before the end: the goals are written once
  // more at the end time, where they are reached.
  const eAppErr result = EvaluateGoals(GetEndTime(), clock);
  if (clock) {
    if (KsRef<HcTweenCollection> followUps = m_followUps) {
      for (uint32_t i = 0; i < followUps->GetCount(); ++i) clock->AddTween(followUps->GetByIndex(i));
    }
    TakeOffClock(clock);
  }
  return AppErrFailed(result) ? result : AppErr::kNoErr;
}

eAppErr HcTransition::EvaluateGoals(double t, const KsRef<HcClock>& clock) {
  KsRef<HcGoalCollection> goals = GetGoals();
  eAppErr result = AppErr::kNoErr;
  if (!goals) return result;
  bool wrote = false;
  for (uint32_t i = 0; i < goals->GetCount(); ++i) {
    KsRef<HcGoal> goal = goals->GetByIndex(i);
    // A goal never started has no tween to run yet.
    KsRef<HcSmoothFloatTween> tween = goal ? goal->GetTween() : KsRef<HcSmoothFloatTween>();
    if (!tween) continue;
    const eAppErr status = tween->Evaluate(t, clock);
    if (AppErrFailed(status)) {
      if (!AppErrFailed(result)) result = status;
    } else if (!AppErrFailed(result)) {
      wrote = wrote || status == AppErr::kNoErr;
      result = wrote ? AppErr::kNoErr : status;
    }
  }
  return result;
}

eAppErr HcTransition::TakeOffClock(const KsRef<HcClock>& clock) {
  KsRef<HcTween> self = HcTween::ThisRef();
  if (clock->ContainsTween(self)) return clock->RemoveTween(self);
  return clock->DetachTween(self);
}

eAppErr HcTransition::Reset() {
  KsRef<HcClock> clock = GetClock();
  if (!clock) {
    KS_TRACE(KsTrace::kWarning, "Can't reset without knowing our clock!");
    return AppErr::kNoErr;
  }
  std::lock_guard run(m_runLock);
  if (KsRef<HcTweenCollection> followUps = m_followUps) {
    for (uint32_t i = 0; i < followUps->GetCount(); ++i) {
      KsRef<HcTween> tween = followUps->GetByIndex(i);
      if (clock->ContainsTween(tween)) clock->RemoveTween(tween);
    }
  }
  return TakeOffClock(clock);
}

eAppErr HcTransition::SetDuration(double seconds) {
  m_duration.store(seconds, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

KsRef<KsObject> HcTransition::GetTarget() const {
  std::lock_guard run(m_runLock);
  return m_target;
}

eAppErr HcTransition::SetTarget(const KsRef<KsObject>& target) {
  std::lock_guard run(m_runLock);
  m_target = target;
  return AppErr::kNoErr;
}

KsRef<HcGoalCollection> HcTransition::GetGoals() const {
  std::lock_guard run(m_runLock);
  return m_goals;
}

eAppErr HcTransition::SetGoals(const KsRef<HcGoalCollection>& goals) {
  std::lock_guard run(m_runLock);
  m_goals = goals;
  return AppErr::kNoErr;
}

KsRef<HcTweenCollection> HcTransition::GetTweens() {
  std::lock_guard run(m_runLock);
  if (!m_followUps) m_followUps = KsMakeRef<HcTweenCollection>();
  return m_followUps;
}

eAppErr HcTransition::SetTweens(const KsRef<HcTweenCollection>& tweens) {
  std::lock_guard run(m_runLock);
  m_followUps = tweens;
  return AppErr::kNoErr;
}
