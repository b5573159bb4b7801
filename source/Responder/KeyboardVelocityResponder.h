#pragma once

#include "Responder/KeyboardResponder.h"
#include "Time/HcAbsVelocityTween.h"

// The keyboard responder of the panoramic views: while an arrow key or one
// of a few letter keys is held, the view's pan, tilt, field of view or skew
// changes at a constant rate; the release of a key of the same group stops
// it. Rates (property units a second): arrows pan at SpeedX · 90 and tilt at
// SpeedY · 45; "+" "=" "A" "a" narrow and "-" "_" "Z" "z" widen the field of
// view at SpeedZ · 30; "J" "j" and "L" "l" skew at SpeedZ · 30; the release
// of "K" "k" sets the skew back to 0.
//
// Each motion is a velocity tween on the view's property, on Clock from the
// key-down to the key-up (never twice). The tweens are taken off when the
// responder dies, when it is given another view (the next key binds new
// ones to that view) and when the scene stops input tweens.
class KeyboardVelocityResponder : public KeyboardResponder {
  HC_CLASS_HEADER(KeyboardVelocityResponder)
 public:
  enum : int32_t { kSpeedXId = 300, kSpeedYId = 301, kSpeedZId = 302 };
  enum Motion : int { kPan = 0, kTilt = 1, kZoom = 2, kSkew = 3, kMotionCount = 4 };

  KeyboardVelocityResponder();
  ~KeyboardVelocityResponder() override;

  bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  eAppErr SetView(const KsRef<HcView>& view) override;
  void StopTweens() override;
  virtual eAppErr SetSpeeds(float x, float y, float z);

  float GetSpeedX() const { return m_speedX; }
  eAppErr SetSpeedX(float speed);
  float GetSpeedY() const { return m_speedY; }
  eAppErr SetSpeedY(float speed);
  float GetSpeedZ() const { return m_speedZ; }
  eAppErr SetSpeedZ(float speed);

  KsRef<HcAbsVelocityTween> GetTween(Motion motion) const;
  // The code of the key-down last acted on, -1 for none.
  int32_t GetHeldKey() const { return m_heldKey; }

 private:
  void MakeOrResetTweens(const KsRef<HcView>& view);
  void StopMotion(Motion motion);
  void TakeTweensOff();

  KsRef<HcAbsVelocityTween> m_tweens[kMotionCount];
  int32_t m_heldKey = -1;
  float m_speedX = 1.0f;
  float m_speedY = 1.0f;
  float m_speedZ = 1.0f;
};
HC_CLASS_OBJECT(KeyboardVelocityResponder, KeyboardResponder)
