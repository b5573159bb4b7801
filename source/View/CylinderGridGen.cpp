#include "View/CylinderGrid.h"

HC_DEFINE_CLASS(CylinderGrid, PanTiltGrid, "CylinderGrid")
void CylinderGrid::CylinderGridClass::SetupProperties() {}
