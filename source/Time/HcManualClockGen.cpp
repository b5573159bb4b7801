#include "Time/HcManualClock.h"

HC_DEFINE_CLASS(HcManualClock, HcClock, "HcManualClock")
void HcManualClock::HcManualClockClass::SetupProperties() {}
