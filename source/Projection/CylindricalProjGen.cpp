#include "Projection/CylindricalProj.h"

#include "General/CocoaMethod.h"

HC_DEFINE_CLASS(CylindricalProj, CartesianFuncProj, "CylindricalProj")

void CylindricalProj::CylindricalProjClass::SetupProperties() {
  AddObjCInstanceMethods({CocoaMethod<&CylindricalProj::Compare>("compareotherProjection:", "B@:@")});
}
