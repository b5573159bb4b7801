#include "Projection/CubeFace.h"

CubeFace::CubeFace() = default;
CubeFace::~CubeFace() = default;

eAppErr CubeFace::SetPanCenterDeg(float degrees) {
  DidChangeCaller change(this, kPanCenterDegId);
  m_panCenterDeg = degrees;
  return AppErr::kNoErr;
}

eAppErr CubeFace::SetTiltCenterDeg(float degrees) {
  DidChangeCaller change(this, kTiltCenterDegId);
  m_tiltCenterDeg = degrees;
  return AppErr::kNoErr;
}

eAppErr CubeFace::SetFacePositionX(uint32_t column) {
  DidChangeCaller change(this, kFacePositionXId);
  m_facePositionX = column;
  return AppErr::kNoErr;
}

eAppErr CubeFace::SetFacePositionY(uint32_t row) {
  DidChangeCaller change(this, kFacePositionYId);
  m_facePositionY = row;
  return AppErr::kNoErr;
}
