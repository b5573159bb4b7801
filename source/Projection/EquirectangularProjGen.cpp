#include "Projection/EquirectangularProj.h"

HC_DEFINE_CLASS(EquirectangularProj, CartesianFuncProj, "EquirectangularProj")

void EquirectangularProj::EquirectangularProjClass::SetupProperties() {}
