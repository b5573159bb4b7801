#include "Projection/CylindricalProj.h"

HC_DEFINE_CLASS(CylindricalProj, CartesianFuncProj, "CylindricalProj")

void CylindricalProj::CylindricalProjClass::SetupProperties() {}
