#include "Responder/KeyboardVelocityResponder.h"

#include "Time/HcAbsVelocityTween.h"
#include "Time/HcClock.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "View/PanoView.h"

namespace {

constexpr const char* kMotionProperties[KeyboardVelocityResponder::kMotionCount] = {"PanAngle", "TiltAngle", "VFOV",
                                                                                    "Skew"};
constexpr uint32_t kHighestKey = 'z';

struct KeyRow {
  KeyboardVelocityResponder::Motion motion;
  float velocity;  // times the motion's speed
};

// The motion a key-down starts; false for keys that start none ("K" included).
bool RowForKey(uint32_t code, KeyRow* row) {
  using K = KeyboardVelocityResponder;
  switch (code) {
    case K::kKeyLeft: *row = {K::kPan, -90.0f}; return true;
    case K::kKeyRight: *row = {K::kPan, 90.0f}; return true;
    case K::kKeyUp: *row = {K::kTilt, 45.0f}; return true;
    case K::kKeyDown: *row = {K::kTilt, -45.0f}; return true;
    case '+': case '=': case 'A': case 'a': *row = {K::kZoom, -30.0f}; return true;
    case '-': case '_': case 'Z': case 'z': *row = {K::kZoom, 30.0f}; return true;
    case 'J': case 'j': *row = {K::kSkew, -30.0f}; return true;
    case 'L': case 'l': *row = {K::kSkew, 30.0f}; return true;
    default: return false;
  }
}

// The motion a key-up stops (code 0 is the release of a modifier key).
bool MotionForKeyUp(uint32_t code, KeyboardVelocityResponder::Motion* motion) {
  using K = KeyboardVelocityResponder;
  switch (code) {
    case 0: case '+': case '-': case '=': case 'A': case 'Z': case '_': case 'a': case 'z':
      *motion = K::kZoom; return true;
    case K::kKeyLeft: case K::kKeyRight: *motion = K::kPan; return true;
    case K::kKeyUp: case K::kKeyDown: *motion = K::kTilt; return true;
    case 'J': case 'L': case 'j': case 'l': *motion = K::kSkew; return true;
    default: return false;
  }
}

KsRef<HcAbsVelocityTween> MakeVelocityTween(const KsRef<HcView>& view, const char* property) {
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(view);
  binding->SetPropertyName(PWStringRef(property));
  auto tween = KsMakeRef<HcAbsVelocityTween>();
  tween->SetBinding(binding);
  tween->SetVelocity(0.0f);
  return tween;
}

}  // namespace

KeyboardVelocityResponder::KeyboardVelocityResponder() = default;

KeyboardVelocityResponder::~KeyboardVelocityResponder() { TakeTweensOff(); }

KsRef<HcAbsVelocityTween> KeyboardVelocityResponder::GetTween(Motion motion) const {
  return motion >= 0 && motion < kMotionCount ? m_tweens[motion] : KsRef<HcAbsVelocityTween>();
}

void KeyboardVelocityResponder::MakeOrResetTweens(const KsRef<HcView>& view) {
  if (!m_tweens[kPan]) {
    for (int i = 0; i < kMotionCount; ++i) m_tweens[i] = MakeVelocityTween(view, kMotionProperties[i]);
    return;
  }
  for (const KsRef<HcAbsVelocityTween>& tween : m_tweens) tween->Reset();
}

bool KeyboardVelocityResponder::KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyDown(code, modifiers, scanCode);
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  if (!view) return false;
  if (static_cast<int64_t>(code) == m_heldKey) return true;  // key repeat
  m_heldKey = static_cast<int32_t>(code);
  MakeOrResetTweens(view);
  KeyRow row{};
  if (code > kHighestKey || !RowForKey(code, &row)) {
    m_heldKey = -1;
    return false;
  }
  const KsRef<HcAbsVelocityTween>& tween = m_tweens[row.motion];
  KsRef<HcClock> clock = GetClock();
  // A second key of a running motion neither reverses nor replaces it.
  if (!clock || clock->ContainsTween(tween)) return true;
  const float speeds[kMotionCount] = {m_speedX, m_speedY, m_speedZ, m_speedZ};
  tween->SetVelocity(speeds[row.motion] * row.velocity);
  clock->AddTween(tween, /*unique=*/true);
  return true;
}

bool KeyboardVelocityResponder::KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyUp(code, modifiers, scanCode);
  m_heldKey = -1;
  if (!GetView().DynamicCast<PanoView>() || code > kHighestKey) return false;
  if (code == 'K' || code == 'k') {
    if (!m_tweens[kSkew]) return true;
    if (KsRef<HcPropertyBindingBase> binding = m_tweens[kSkew]->GetBinding()) binding->SetValue(0.0f);
    StopMotion(kSkew);
    return true;
  }
  Motion motion = kPan;
  if (!MotionForKeyUp(code, &motion)) return false;
  StopMotion(motion);
  return true;
}

void KeyboardVelocityResponder::StopMotion(Motion motion) {
  const KsRef<HcAbsVelocityTween>& tween = m_tweens[motion];
  if (!tween) return;
  tween->SetVelocity(0.0f);
  KsRef<HcClock> clock = GetClock();
  if (clock && clock->ContainsTween(tween)) clock->RemoveTween(tween);
}

void KeyboardVelocityResponder::TakeTweensOff() {
  for (int i = 0; i < kMotionCount; ++i) StopMotion(static_cast<Motion>(i));
}

void KeyboardVelocityResponder::StopTweens() {
  TakeTweensOff();
  m_heldKey = -1;
}

eAppErr KeyboardVelocityResponder::SetView(const KsRef<HcView>& view) {
  if (view != GetView()) {
    StopTweens();
    for (KsRef<HcAbsVelocityTween>& tween : m_tweens) tween = nullptr;
  }
  return KeyboardResponder::SetView(view);
}

eAppErr KeyboardVelocityResponder::SetSpeeds(float x, float y, float z) {
  m_speedX = x;
  m_speedY = y;
  m_speedZ = z;
  return AppErr::kNoErr;
}

eAppErr KeyboardVelocityResponder::SetSpeedX(float speed) {
  m_speedX = speed;
  return AppErr::kNoErr;
}

eAppErr KeyboardVelocityResponder::SetSpeedY(float speed) {
  m_speedY = speed;
  return AppErr::kNoErr;
}

eAppErr KeyboardVelocityResponder::SetSpeedZ(float speed) {
  m_speedZ = speed;
  return AppErr::kNoErr;
}
