#include "Time/HcSmoothFloatTween.h"

HC_DEFINE_CLASS(HcSmoothFloatTween, HcLinearFloatTween, "HcSmoothFloatTween")
void HcSmoothFloatTween::HcSmoothFloatTweenClass::SetupProperties() {}
