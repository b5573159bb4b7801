#include "Responder/HotspotPropertyResponder.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HotspotPropertyResponder, MouseResponder, "HotspotPropertyResponder")
void HotspotPropertyResponder::HotspotPropertyResponderClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HotspotPropertyResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kDataChannelId, kInt, "DataChannel", true,
                                                      &F::GetDataChannel, &F::SetDataChannel));
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kTargetPropertyId, "TargetProperty", true, &F::GetTargetProperty, &F::SetTargetProperty));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kScaleId, kFloat, "Scale", true, &F::GetScale, &F::SetScale));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kBiasId, kFloat, "Bias", true, &F::GetBias, &F::SetBias));
}
