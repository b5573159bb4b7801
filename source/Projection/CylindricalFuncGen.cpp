#include "Projection/CylindricalFunc.h"

HC_DEFINE_CLASS(CylindricalFunc, ProjectionAngleFunc, "CylindricalFunc")

void CylindricalFunc::CylindricalFuncClass::SetupProperties() {}
