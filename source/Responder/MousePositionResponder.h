#pragma once

#include "Responder/MouseResponder.h"

#include "Time/HcFloatForwardingTween.h"
#include "Time/HcGoal.h"
#include "Utilities/HcWeakPropertyBinding.h"

class HcTransition;
class PanoView;

// Links two panoramic views: the one that owns the responder (its own view)
// and TargetView. While nothing is pressed the own view follows the target's
// look (pan, tilt and field of view, through three forwarding tweens on
// RealtimeClock). A press and drag points the target view at the direction
// under the pointer; the release can glide the own view there in 0.3 s (a
// transition that carries the follow tweens and hands them back to the clock
// when it ends). A scroll goes to the target view's own responder.
class MousePositionResponder : public MouseResponder {
  HC_CLASS_HEADER(MousePositionResponder)
 public:
  enum : int32_t { kTargetViewId = 300, kTransitionOnMouseUpId = 301 };
  // The glide's length: 0.3 in single precision.
  static constexpr double kGlideSeconds = static_cast<double>(0.3f);

  MousePositionResponder();
  ~MousePositionResponder() override;

  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;
  // Not handled without a target view; a scroll that comes back to this
  // responder through views that target each other is not handled either.
  bool MouseScrolled(const KsPointF& point, float delta) override;
  eAppErr SetView(const KsRef<HcView>& view) override;

  KsRef<PanoView> GetTargetView() const;
  eAppErr SetTargetView(const KsRef<PanoView>& view);
  bool GetTransitionOnMouseUp() const { return m_transitionOnMouseUp; }
  eAppErr SetTransitionOnMouseUp(bool transition);

  // The glide of the last release while it lives, its goals and the follow
  // tweens (tests).
  KsRef<HcTransition> GetTransition() const;
  KsRef<HcGoal> GetPanGoal() const { return m_panGoal; }
  KsRef<HcGoal> GetTiltGoal() const { return m_tiltGoal; }
  KsRef<HcFloatForwardingTween> GetFollowTween(int index) const;

 private:
  // Rebuilds the following: drops the old follow tweens (from the clock and
  // from the glide) and, when attach is set and both views live, makes new
  // ones, on the glide when onTransition is set, else on the clock.
  void UpdateFollowTweens(bool attach, bool onTransition);
  void DropFollowTweens();
  // Writes the direction under the point through TargetPan and TargetTilt.
  void SteerTarget(const KsPointF& point);
  KsRef<HcTransition> ObtainTransition(const KsRef<PanoView>& view);

  bool m_transitionOnMouseUp = true;
  WeakRef::Ref m_targetView;
  KsRef<HcWeakPropertyBinding> m_targetPan;
  KsRef<HcWeakPropertyBinding> m_targetTilt;
  WeakRef::Ref m_transition;
  KsRef<HcGoal> m_panGoal;
  KsRef<HcGoal> m_tiltGoal;
  KsRef<HcFloatForwardingTween> m_follow[3];
  bool m_scrolling = false;
};
HC_CLASS_OBJECT(MousePositionResponder, MouseResponder)
