#include "QuickTime/QTTimeBase.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTTimeBase, KsObject, "QTTimeBase")

void QTTimeBase::QTTimeBaseClass::SetupProperties() {
  using namespace KsPropertyType;
  using T = QTTimeBase;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<T, void*>::Create(self, kTimeBaseId, kPointer, "TimeBase", false, &T::GetTimeBase,
                                                    &T::SetTimeBase));
  AddProperty(HcPropertyDirectGet<T, float>::Create(self, kRateId, kFloat, "Rate", false, &T::GetRate, &T::SetRate));
  AddProperty(HcPropertyDirectGet<T, double>::Create(self, kStartTimeId, kDouble, "StartTime", false,
                                                     &T::GetStartTime, &T::SetStartTime));
  AddProperty(HcPropertyDirectGet<T, double>::Create(self, kStopTimeId, kDouble, "StopTime", false, &T::GetStopTime,
                                                     &T::SetStopTime));
  AddProperty(HcPropertyDirectGet<T, double>::Create(self, kCurrentTimeId, kDouble, "CurrentTime", false,
                                                     &T::GetCurrentTime, &T::SetCurrentTime));
}
