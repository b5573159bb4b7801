#include "View/HcVectorObject.h"

HcVectorObject::HcVectorObject() = default;
HcVectorObject::~HcVectorObject() = default;

bool HcVectorObject::ContainsPoint(const KsRect<int32_t>&, const KsRef<PanoView>&, const KsPointF&) { return false; }
