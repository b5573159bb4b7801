#include "ProbeProjection.h"

#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ProbeProjection, PanoProjection, "ProbeProjection")

void ProbeProjection::ProbeProjectionClass::SetupProperties() {
  using namespace KsPropertyType;
  using P = ProbeProjection;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<P, PanoProjection>::Create(self, 300, "Inner", true, &P::GetInner,
                                                                   &P::SetInner));
  AddProperty(HcPropertyDirectGet<P, KsSizeF>::Create(self, 301, kSize, "Size", true, &P::GetSize, &P::SetSize));
  AddProperty(HcPropertyDirectGet<P, KsPointF>::Create(self, 302, kPoint, "RefusedRows", true, &P::GetRefusedRows,
                                                       &P::SetRefusedRows));
  AddProperty(HcPropertyDirectGet<P, KsPointF>::Create(self, 303, kPoint, "RefusedPoint", true,
                                                       &P::GetRefusedPoint, &P::SetRefusedPoint));
}

ProbeProjection::ProbeProjection() = default;
ProbeProjection::~ProbeProjection() = default;

bool ProbeProjection::GetPointForAngleRad(float pan, float tilt, float* x, float* y) {
  return m_inner && m_inner->GetPointForAngleRad(pan, tilt, x, y);
}

bool ProbeProjection::GetAngleRadForPoint(float x, float y, float* pan, float* tilt) {
  if (y >= m_refusedRows.x && y < m_refusedRows.y) return false;
  if (x == m_refusedPoint.x && y == m_refusedPoint.y) return false;
  return m_inner && m_inner->GetAngleRadForPoint(x, y, pan, tilt);
}

eAppErr ProbeProjection::SetInner(const KsRef<PanoProjection>& inner) {
  m_inner = inner;
  return AppErr::kNoErr;
}

eAppErr ProbeProjection::SetSize(const KsSizeF& size) {
  m_size = size;
  return AppErr::kNoErr;
}

eAppErr ProbeProjection::SetRefusedRows(const KsPointF& rows) {
  m_refusedRows = rows;
  return AppErr::kNoErr;
}

eAppErr ProbeProjection::SetRefusedPoint(const KsPointF& point) {
  m_refusedPoint = point;
  return AppErr::kNoErr;
}
