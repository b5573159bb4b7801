#include "View/PerspectiveGrid.h"

HC_DEFINE_CLASS(PerspectiveGrid, PanTiltGrid, "PerspectiveGrid")
void PerspectiveGrid::PerspectiveGridClass::SetupProperties() {}
