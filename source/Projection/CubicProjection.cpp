#include "Projection/CubicProjection.h"

#include <cmath>

namespace {
constexpr float kFaceDegrees = 90.0f;
}  // namespace

CubicProjection::CubicProjection() = default;
CubicProjection::~CubicProjection() = default;

void CubicProjection::Create3By2CubicProjection(KsRef<CubicProjection>& projection) {
  struct FaceRow {
    float pan;
    float tilt;
    uint32_t column;
    uint32_t row;
  };
  static constexpr FaceRow kLayout[] = {
      {0, 0, 0, 1}, {90, 0, 1, 1}, {180, 0, 2, 1}, {270, 0, 0, 0}, {0, 90, 1, 0}, {0, -90, 2, 0},
  };
  projection = KsMakeRef<CubicProjection>();
  auto faces = KsMakeRef<CubeFaceCollection>();
  projection->SetImageAspect(1.5f);
  projection->SetFacesWide(3);
  projection->SetFacesHigh(2);
  for (const FaceRow& row : kLayout) {
    auto face = KsMakeRef<CubeFace>();
    face->SetPanCenterDeg(row.pan);
    face->SetTiltCenterDeg(row.tilt);
    face->SetFacePositionX(row.column);
    face->SetFacePositionY(row.row);
    faces->Add(face);
  }
  projection->SetCubeFaceConfiguration(faces);
}

bool CubicProjection::GetPointForAngleRad(float, float, float*, float*) { return false; }
bool CubicProjection::GetAngleRadForPoint(float, float, float*, float*) { return false; }

KsSizeF CubicProjection::GetDimensionsForCleanArea(float area) {
  if (!std::isfinite(area) || area <= 0.0f) return {};
  const long side = std::lround(std::sqrt(area / 6.0f));
  if (side <= 0) return {};
  const uint32_t face = (static_cast<uint32_t>(side) + 4u) & ~7u;
  return {static_cast<float>(face * m_facesWide), static_cast<float>(face * m_facesHigh)};
}

KsSizeF CubicProjection::GetDimensionsForAngularResolutionPPD(KsPointF ppd) {
  return GetDimensionsForCleanArea(ppd.x * 540.0f * 90.0f * ppd.y);
}

KsPointF CubicProjection::GetAngularResolutionPPD(KsSize<int> dimensions) {
  if (m_facesWide == 0 || m_facesHigh == 0 || dimensions.w < 0 || dimensions.h < 0) return {};
  const uint32_t faceWidth = static_cast<uint32_t>(dimensions.w) / m_facesWide;
  const uint32_t faceHeight = static_cast<uint32_t>(dimensions.h) / m_facesHigh;
  return {static_cast<float>(faceWidth) / kFaceDegrees, static_cast<float>(faceHeight) / kFaceDegrees};
}

float CubicProjection::GetCleanArea(KsSize<int> dimensions) {
  const KsPointF ppd = GetAngularResolutionPPD(dimensions);
  return ppd.x * 540.0f * 90.0f * ppd.y;
}

eAppErr CubicProjection::SetCubeFaceConfiguration(const KsRef<CubeFaceCollection>& faces) {
  DidChangeCaller change(this, kCubeFaceConfigurationId);
  m_faces = faces;
  return AppErr::kNoErr;
}

eAppErr CubicProjection::SetFacesWide(uint32_t faces) {
  DidChangeCaller change(this, kFacesWideId);
  m_facesWide = faces;
  return AppErr::kNoErr;
}

eAppErr CubicProjection::SetFacesHigh(uint32_t faces) {
  DidChangeCaller change(this, kFacesHighId);
  m_facesHigh = faces;
  return AppErr::kNoErr;
}
