#include "Time/QTSystemClock.h"

HC_DEFINE_CLASS(QTSystemClock, HcClock, "QTSystemClock")
void QTSystemClock::QTSystemClockClass::SetupProperties() {}
