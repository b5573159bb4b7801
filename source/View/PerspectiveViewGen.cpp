#include "View/PerspectiveView.h"

HC_DEFINE_ABSTRACT_CLASS(PerspectiveView, PanoView, "PerspectiveViewBase")
void PerspectiveView::PerspectiveViewClass::SetupProperties() {}
