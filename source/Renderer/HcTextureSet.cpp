#include "Renderer/HcTextureSet.h"

HcTextureSet::HcTextureSet() = default;
HcTextureSet::~HcTextureSet() = default;

eAppErr HcTextureSet::UpdateForRenderer(const KsRef<PanoRenderer>&) { return AppErr::kNoErr; }

eAppErr HcTextureSet::SetProjection(const KsRef<PanoProjection>& projection) {
  m_projection = projection;
  return AppErr::kNoErr;
}
