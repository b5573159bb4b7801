#include "Projection/EquirectangularProj.h"

#include "General/CocoaMethod.h"

HC_DEFINE_CLASS(EquirectangularProj, CartesianFuncProj, "EquirectangularProj")

void EquirectangularProj::EquirectangularProjClass::SetupProperties() {
  AddObjCInstanceMethods({CocoaMethod<&EquirectangularProj::Compare>("compareotherProjection:", "B@:@")});
}
