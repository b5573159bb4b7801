#include "General/CocoaMethod.h"
#include "InputDevice/InterSenseInputDevice.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(InterSenseInputDevice, InputDevice, "InterSenseInputDevice")
void InterSenseInputDevice::InterSenseInputDeviceClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = InterSenseInputDevice;
  AddObjCInstanceMethods({
      CocoaMethod<&F::OpenTracker>("openTracker", "i@:"),
      CocoaMethod<&F::CloseTracker>("closeTracker", "i@:"),
      CocoaMethod<&F::ReadOrientation>("readOrientationx:y:z:", "i@:^f^f^f"),
      CocoaMethod<&F::Update>("update", "i@:"),
      CocoaMethod<&F::Reset>("reset", "i@:"),
  });
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kTrackerModelId, kString, "TrackerModel", true,
                                                          &F::GetTrackerModel, nullptr));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kTrackerTypeId, kString, "TrackerType", true,
                                                          &F::GetTrackerType, nullptr));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kEnhancementModeId, kInt, "EnhancementMode", true,
                                                      &F::GetEnhancementMode, &F::SetEnhancementMode));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kSensitivityId, kInt, "Sensitivity", true,
                                                      &F::GetSensitivity, &F::SetSensitivity));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kCompassId, kInt, "Compass", true, &F::GetCompass,
                                                      &F::SetCompass));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kPredictionId, kInt, "Prediction", true,
                                                      &F::GetPrediction, &F::SetPrediction));
}
