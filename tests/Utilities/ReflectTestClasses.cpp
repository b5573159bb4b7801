#include "ReflectTestClasses.h"

#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(Sprocket, KsObject, "Sprocket")
void Sprocket::SprocketClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = Sprocket;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, float>::Create(self, 200, kFloat, "Speed", true, &S::GetSpeed, &S::SetSpeed));
  AddProperty(HcPropertyDirectGet<S, int32_t>::Create(self, 201, kInt, "Teeth", true, &S::GetTeeth, &S::SetTeeth));
  AddProperty(
      HcPropertyDirectGet<S, uint32_t>::Create(self, 202, kUInt, "Serial", true, &S::GetSerial, &S::SetSerial));
  AddProperty(
      HcPropertyDirectGet<S, PWStringRef>::Create(self, 203, kString, "Label", true, &S::GetLabel, &S::SetLabel));
  AddProperty(HcPropertyObjectDirectGet<S, Sprocket>::Create(self, 204, "Partner", true, &S::GetPartner,
                                                             &S::SetPartner));
  AddProperty(
      HcPropertyDirectGet<S, bool>::Create(self, 205, kBool, "Enabled", true, &S::GetEnabled, &S::SetEnabled));
  AddProperty(
      HcPropertyDirectGet<S, void*>::Create(self, 206, kPointer, "Handle", false, &S::GetHandle, &S::SetHandle));
  AddProperty(
      HcPropertyDirectGet<S, KsPointF>::Create(self, 207, kPoint, "Origin", true, &S::GetOrigin, &S::SetOrigin));
  AddProperty(
      HcPropertyDirectGet<S, KsSizeF>::Create(self, 208, kSize, "Extent", true, &S::GetExtent, &S::SetExtent));
  AddProperty(HcPropertyDirectGet<S, KsRectF>::Create(self, 209, kRect, "Frame", true, &S::GetFrame, &S::SetFrame));
  AddProperty(HcPropertyDirectGet<S, KsColorF>::Create(self, 210, kColor, "Tint", true, &S::GetTint, &S::SetTint));
  AddProperty(
      HcPropertyDirectGet<S, double>::Create(self, 211, kDouble, "Ratio", true, &S::GetRatio, &S::SetRatio));
  AddProperty(HcPropertyDirectGet<S, KsPropertyList>::Create(self, 212, kPropertyList, "Settings", true,
                                                             &S::GetSettings, &S::SetSettings));
  AddProperty(
      HcPropertyDirectGet<S, int64_t>::Create(self, 213, kInt64, "Ticks", true, &S::GetTicks, &S::SetTicks));
  AddProperty(HcPropertyObjectDirectGet<S, SprocketCollection>::Create(self, 214, "Parts", true, &S::GetParts,
                                                                       &S::SetParts));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, 215, kString, "Model", true, &S::GetModel, nullptr));
}

HC_DEFINE_CLASS(GearSprocket, Sprocket, "GearSprocket")
void GearSprocket::GearSprocketClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<GearSprocket, int32_t>::Create(ThisRef(), 300, KsPropertyType::kInt, "Ratchet",
                                                                 true, &GearSprocket::GetRatchet,
                                                                 &GearSprocket::SetRatchet));
}

HC_DEFINE_OBJECT_COLLECTION_CLASS(SprocketCollection, Sprocket, "SprocketCollection", "Sprocket")

HC_DEFINE_CLASS(NoticeRecorder, KsObject, "NoticeRecorder")
void NoticeRecorder::NoticeRecorderClass::SetupProperties() {}

void NoticeRecorder::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                           const KsRef<KsObject>&) {
  objects.push_back(object.Get());
  names.push_back(property ? property->GetName().Str() : std::string());
}

KsRef<Sprocket> MakeSprocketWithParts(int parts) {
  auto sprocket = KsMakeRef<Sprocket>();
  auto collection = KsMakeRef<SprocketCollection>();
  for (int i = 0; i < parts; ++i) {
    auto part = KsMakeRef<Sprocket>();
    part->SetName(PWStringRef("P" + std::to_string(i)));
    collection->Add(part);
  }
  sprocket->SetParts(collection);
  return sprocket;
}
