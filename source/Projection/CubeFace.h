#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// One face of a cube map: the direction at its centre and its cell in the
// image's grid of faces.
class CubeFace : public KsObject {
  HC_CLASS_HEADER(CubeFace)
 public:
  enum : int32_t { kPanCenterDegId = 200, kTiltCenterDegId = 201, kFacePositionXId = 202, kFacePositionYId = 203 };

  CubeFace();
  ~CubeFace() override;

  float GetPanCenterDeg() const { return m_panCenterDeg; }
  float GetTiltCenterDeg() const { return m_tiltCenterDeg; }
  uint32_t GetFacePositionX() const { return m_facePositionX; }
  uint32_t GetFacePositionY() const { return m_facePositionY; }
  eAppErr SetPanCenterDeg(float degrees);
  eAppErr SetTiltCenterDeg(float degrees);
  eAppErr SetFacePositionX(uint32_t column);
  eAppErr SetFacePositionY(uint32_t row);

 private:
  float m_panCenterDeg = 0.0f;
  float m_tiltCenterDeg = 0.0f;
  uint32_t m_facePositionX = 0;
  uint32_t m_facePositionY = 0;
};
HC_CLASS_OBJECT(CubeFace, KsObject)
