#include "Time/DoNothingTween.h"

HC_DEFINE_CLASS(DoNothingTween, HcTween, "DoNothingTween")
void DoNothingTween::DoNothingTweenClass::SetupProperties() {}
