#include "Projection/PlanarProjection.h"

HC_DEFINE_CLASS(PlanarProjection, PanoProjection, "PlanarProjection")

void PlanarProjection::PlanarProjectionClass::SetupProperties() {}
