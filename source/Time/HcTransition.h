#pragma once

#include <atomic>
#include <mutex>

#include "Time/HcTween.h"

class HcGoalCollection;
class HcTweenCollection;

// Moves properties smoothly from their current values to goals over
// Duration seconds. Starting it (Go, or a clock's idle rule) makes one eased
// tween per goal, from the property's value now to the goal's value, and puts
// the transition on its clock (the shared real-time clock unless set
// otherwise), which then evaluates it every tick. The first tick past the end
// writes the goals' final values, hands the clock the follow-up tweens and
// takes the transition off the clock.
//
// A goal whose property can't be read when the transition starts is left
// out of that run; a Duration of 0 (or less) jumps to the goals.
class HcTransition : public HcTween {
  HC_CLASS_HEADER(HcTransition)
 public:
  enum : int32_t { kDurationId = 300, kTargetId = 301, kGoalsId = 302 };

  HcTransition();
  ~HcTransition() override;

  // Starts the transition on the clock at the first evaluation; 609 before
  // StartTime. The enabled flag is not consulted.
  eAppErr Evaluate(double t, const KsRef<HcClock>& clock) override;
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  virtual eAppErr SetDuration(double seconds);
  virtual double GetDuration() const { return m_duration.load(std::memory_order_relaxed); }
  // Takes the transition and the follow-up tweens it handed over off its
  // clock, leaving the properties where they are: -607 when it was on none.
  virtual eAppErr Reset();
  // Arms every goal from the properties' values now and, unless
  // alreadyOnClock, puts the transition on the clock's tweens (once).
  virtual eAppErr Start(const KsRef<HcClock>& clock, bool alreadyOnClock);
  // Start on the transition's own clock; -903 without one.
  eAppErr Go();

  KsRef<KsObject> GetTarget() const;
  eAppErr SetTarget(const KsRef<KsObject>& target);
  KsRef<HcGoalCollection> GetGoals() const;
  eAppErr SetGoals(const KsRef<HcGoalCollection>& goals);
  // The tweens handed to the clock at the end; made empty on first use.
  KsRef<HcTweenCollection> GetTweens();
  eAppErr SetTweens(const KsRef<HcTweenCollection>& tweens);
  bool IsStarted() const { return m_started.load(std::memory_order_relaxed); }

  KsRef<HcTransition> ThisRef() { return KsRef<HcTransition>(this); }

 protected:
  bool IsOver(double t) const;
  std::recursive_mutex& RunLock() const { return m_runLock; }

 private:
  eAppErr EvaluateGoals(double t, const KsRef<HcClock>& clock);
  void ArmGoals(double now, double duration);
  eAppErr TakeOffClock(const KsRef<HcClock>& clock);

  // Held while the transition starts, evaluates or resets.
  mutable std::recursive_mutex m_runLock;
  KsRef<HcTweenCollection> m_followUps;
  std::atomic<double> m_duration{1.0};
  KsRef<KsObject> m_target;
  KsRef<HcGoalCollection> m_goals;
  std::atomic<bool> m_started{false};
};
HC_CLASS_OBJECT(HcTransition, HcTween)
