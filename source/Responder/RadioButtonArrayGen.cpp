#include "General/KsStringCollection.h"
#include "Responder/RadioButtonArray.h"
#include "Source/SourceCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(RadioButtonArray, MouseResponder, "RadioButtonArray")
void RadioButtonArray::RadioButtonArrayClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = RadioButtonArray;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, SourceCollection>::Create(
      self, kSourceCollectionId, "SourceCollection", true, &F::GetSourceCollection, &F::SetSourceCollection));
  AddProperty(HcPropertyObjectDirectGet<F, KsStringCollection>::Create(self, kButtonNamesId, "ButtonNames", true,
                                                                       &F::GetButtonNames, &F::SetButtonNames));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kCurrentButtonNameId, kString, "CurrentButtonName",
                                                          true, &F::GetCurrentButtonName, nullptr));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kCurrentButtonIndexId, kUInt, "CurrentButtonIndex",
                                                       true, &F::GetCurrentButtonIndex, &F::SetCurrentButtonIndex));
}
