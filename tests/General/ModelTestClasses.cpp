#include "ModelTestClasses.h"

#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

void ChangeRecorder::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                                           const KsRef<KsObject>&) {
  ++notices;
  seenIds.push_back(property ? property->GetPropertyID() : 0);
}

HC_DEFINE_CLASS(ChangeRecorder, KsObject, "ChangeRecorder")
void ChangeRecorder::ChangeRecorderClass::SetupProperties() {}

HC_DEFINE_CLASS(Gadget, KsObject, "gadget")
void Gadget::GadgetClass::SetupProperties() {
  using namespace KsPropertyType;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<Gadget, float>::Create(self, 200, kFloat, "Width", true, &Gadget::GetWidth,
                                                         &Gadget::SetWidth));
  AddProperty(HcPropertyDirectGet<Gadget, int32_t>::Create(self, 201, kInt, "Count", true, &Gadget::GetCount,
                                                           &Gadget::SetCount));
  AddProperty(HcPropertyDirectGet<Gadget, bool>::Create(self, 202, kBool, "Enabled", true, &Gadget::GetEnabled,
                                                        &Gadget::SetEnabled));
  AddProperty(HcPropertyDirectGet<Gadget, KsColorF>::Create(self, 203, kColor, "Tint", true, &Gadget::GetTint,
                                                            &Gadget::SetTint));
  AddProperty(HcPropertyDirectGet<Gadget, KsRectF>::Create(self, 204, kRect, "Frame", true, &Gadget::GetFrame,
                                                           &Gadget::SetFrame));
  AddProperty(HcPropertyDirectGet<Gadget, uint32_t>::Create(self, 205, kUInt, "Serial", false, &Gadget::GetSerial,
                                                            nullptr));
  AddProperty(HcPropertyObjectDirectGet<Gadget, Gadget>::Create(self, 206, "Partner", true, &Gadget::GetPartner,
                                                                &Gadget::SetPartner));
  AddProperty(HcPropertyDirectGet<Gadget, double>::Create(self, 207, kDouble, "Ratio", true, &Gadget::GetRatio,
                                                          &Gadget::SetRatio));
  // A second property of an existing name (any case) is not entered.
  AddProperty(HcPropertyDirectGet<Gadget, float>::Create(self, 208, kFloat, "WIDTH", true, &Gadget::GetWidth,
                                                         nullptr));
}

HC_DEFINE_CLASS(SuperGadget, Gadget, "SuperGadget")
void SuperGadget::SuperGadgetClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<SuperGadget, PWStringRef>::Create(
      ThisRef(), 300, KsPropertyType::kString, "Label", true, &SuperGadget::GetLabel, &SuperGadget::SetLabel));
}
