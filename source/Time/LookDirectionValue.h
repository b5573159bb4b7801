#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// One look direction in degrees: pan, tilt and vertical field of view. A new
// one looks at pan 0, tilt 0 with a 90 degree field of view.
class LookDirectionValue : public KsObject {
  HC_CLASS_HEADER(LookDirectionValue)
 public:
  enum : int32_t { kPanAngleId = 200, kTiltAngleId = 201, kVFOVId = 202 };
  static constexpr float kDefaultVFOV = 90.0f;

  LookDirectionValue();
  ~LookDirectionValue() override;

  float GetPanAngle() const { return m_panAngle; }
  eAppErr SetPanAngle(float degrees);
  float GetTiltAngle() const { return m_tiltAngle; }
  eAppErr SetTiltAngle(float degrees);
  float GetVFOV() const { return m_vfov; }
  eAppErr SetVFOV(float degrees);

 private:
  float m_panAngle = 0.0f;
  float m_tiltAngle = 0.0f;
  float m_vfov = kDefaultVFOV;
};
HC_CLASS_OBJECT(LookDirectionValue, KsObject)
