#include "Time/LookDirectionValue.h"

LookDirectionValue::LookDirectionValue() = default;
LookDirectionValue::~LookDirectionValue() = default;

eAppErr LookDirectionValue::SetPanAngle(float degrees) {
  DidChangeCaller change(this, kPanAngleId);
  m_panAngle = degrees;
  return AppErr::kNoErr;
}

eAppErr LookDirectionValue::SetTiltAngle(float degrees) {
  DidChangeCaller change(this, kTiltAngleId);
  m_tiltAngle = degrees;
  return AppErr::kNoErr;
}

eAppErr LookDirectionValue::SetVFOV(float degrees) {
  DidChangeCaller change(this, kVFOVId);
  m_vfov = degrees;
  return AppErr::kNoErr;
}
