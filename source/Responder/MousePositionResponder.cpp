#include "Responder/MousePositionResponder.h"

#include "Time/HcClock.h"
#include "Time/HcFloatForwardingTween.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "View/PanoView.h"

namespace {

constexpr const char* kFollowedProperties[3] = {"PanAngle", "TiltAngle", "VFOV"};

KsRef<HcWeakPropertyBinding> WeakBinding(const KsRef<KsObject>& target, const char* property) {
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(target);
  binding->SetPropertyName(PWStringRef(property));
  return binding;
}

KsRef<HcGoal> AddGoal(const KsRef<HcTransition>& transition, const char* property) {
  auto goal = KsMakeRef<HcGoal>();
  goal->SetPropertyName(PWStringRef(property));
  transition->GetGoals()->Add(goal);
  return goal;
}

}  // namespace

MousePositionResponder::MousePositionResponder()
    : m_targetPan(WeakBinding(nullptr, "PanAngle")), m_targetTilt(WeakBinding(nullptr, "TiltAngle")) {}

MousePositionResponder::~MousePositionResponder() { DropFollowTweens(); }

KsRef<PanoView> MousePositionResponder::GetTargetView() const {
  return m_targetView ? m_targetView->GetTargetAs<PanoView>() : KsRef<PanoView>();
}

eAppErr MousePositionResponder::SetTargetView(const KsRef<PanoView>& view) {
  m_targetView = WeakRef::GetWeakRef(view.Get());
  m_targetPan->SetTargetObject(view);
  m_targetPan->SetPropertyName(PWStringRef("PanAngle"));
  m_targetTilt->SetTargetObject(view);
  m_targetTilt->SetPropertyName(PWStringRef("TiltAngle"));
  m_transition = nullptr;
  m_panGoal = nullptr;
  m_tiltGoal = nullptr;
  UpdateFollowTweens(/*attach=*/true, /*onTransition=*/false);
  return AppErr::kNoErr;
}

eAppErr MousePositionResponder::SetTransitionOnMouseUp(bool transition) {
  m_transitionOnMouseUp = transition;
  return AppErr::kNoErr;
}

KsRef<HcTransition> MousePositionResponder::GetTransition() const {
  return m_transition ? m_transition->GetTargetAs<HcTransition>() : KsRef<HcTransition>();
}

KsRef<HcFloatForwardingTween> MousePositionResponder::GetFollowTween(int index) const {
  return index >= 0 && index < 3 ? m_follow[index] : KsRef<HcFloatForwardingTween>();
}

eAppErr MousePositionResponder::SetView(const KsRef<HcView>& view) {
  MouseResponder::SetView(view);
  UpdateFollowTweens(/*attach=*/true, /*onTransition=*/false);
  return AppErr::kNoErr;
}

void MousePositionResponder::DropFollowTweens() {
  KsRef<HcClock> clock = GetRealtimeClock();
  for (KsRef<HcFloatForwardingTween>& tween : m_follow) {
    if (!tween) continue;
    if (clock && clock->ContainsTween(tween)) clock->RemoveTween(tween);
    tween = nullptr;
  }
}

void MousePositionResponder::UpdateFollowTweens(bool attach, bool onTransition) {
  KsRef<HcTransition> transition = GetTransition();
  if (transition) transition->SetTweens(nullptr);
  DropFollowTweens();
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  KsRef<PanoView> target = GetTargetView();
  if (!attach || !view || !target) return;
  KsRef<HcClock> clock = GetRealtimeClock();
  for (int i = 0; i < 3; ++i) {
    auto tween = KsMakeRef<HcFloatForwardingTween>();
    tween->SetSourceBinding(WeakBinding(target, kFollowedProperties[i]));
    tween->SetBinding(WeakBinding(view, kFollowedProperties[i]));
    m_follow[i] = tween;
    if (onTransition && transition) {
      transition->GetTweens()->Add(tween);
    } else if (clock) {
      clock->AddTween(tween, /*unique=*/true);
    }
  }
}

void MousePositionResponder::SteerTarget(const KsPointF& point) {
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  if (!view) return;
  float pan = 0.0f;
  float tilt = 0.0f;
  // A point with no direction (outside the picture, not a number) steers nothing.
  if (view->DirectionAtPointDeg(point, &pan, &tilt) != AppErr::kNoErr) return;
  m_targetPan->SetValue(pan);
  m_targetTilt->SetValue(tilt);
}

bool MousePositionResponder::MouseDown(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseDown(point, cursor);
  UpdateFollowTweens(/*attach=*/false, /*onTransition=*/false);
  if (KsRef<HcTransition> transition = GetTransition()) transition->Reset();
  SteerTarget(point);
  return true;
}

bool MousePositionResponder::MouseMoved(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseMoved(point, cursor);
  if (cursor) *cursor = kCursorSteer;
  if (IsButtonDown()) SteerTarget(point);
  return true;
}

KsRef<HcTransition> MousePositionResponder::ObtainTransition(const KsRef<PanoView>& view) {
  if (KsRef<HcTransition> transition = GetTransition()) return transition;
  auto transition = KsMakeRef<HcTransition>();
  // The glide runs on this responder's clock; set without being attached to
  // it, so that only Go puts it there.
  KsRef<HcClock> clock = GetRealtimeClock();
  if (clock && clock != transition->GetClock()) {
    transition->SetClock(clock);
    clock->DetachTween(transition);
  }
  transition->SetTarget(view);
  transition->SetDuration(kGlideSeconds);
  m_panGoal = AddGoal(transition, "PanAngle");
  m_tiltGoal = AddGoal(transition, "TiltAngle");
  m_transition = WeakRef::GetWeakRef(transition.Get());
  return transition;
}

void MousePositionResponder::MouseUp(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseUp(point, cursor);
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  if (!view) return;
  float pan = 0.0f;
  float tilt = 0.0f;
  const eAppErr err = view->DirectionAtPointDeg(point, &pan, &tilt);
  if (!m_transitionOnMouseUp) return;
  // Released where no direction lies: follow again without a glide.
  if (err != AppErr::kNoErr) {
    UpdateFollowTweens(/*attach=*/true, /*onTransition=*/false);
    return;
  }
  KsRef<HcTransition> transition = ObtainTransition(view);
  m_panGoal->SetValue(pan);
  m_tiltGoal->SetValue(tilt);
  UpdateFollowTweens(/*attach=*/true, /*onTransition=*/true);
  transition->Go();
}

bool MousePositionResponder::MouseScrolled(const KsPointF& point, float delta) {
  if (m_scrolling) return false;
  KsRef<PanoView> target = GetTargetView();
  if (!target) return false;
  KsRef<MouseResponder> responder = target->GetMouseResponder();
  if (!responder) return false;
  m_scrolling = true;
  const bool handled = responder->MouseScrolled(point, delta);
  m_scrolling = false;
  return handled;
}
