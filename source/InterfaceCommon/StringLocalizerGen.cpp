#include "InterfaceCommon/StringLocalizer.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(StringLocalizer, KsObject, "StringLocalizer")

void StringLocalizer::StringLocalizerClass::SetupProperties() {
  using L = StringLocalizer;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&L::LocalizeString>("localizeString:", "@@:@")});
  AddProperty(HcPropertyDirectGet<L, PWStringRef>::Create(self, L::kStringToLocalizeId, KsPropertyType::kString,
                                                          "StringToLocalize", true, &L::GetStringToLocalize,
                                                          &L::SetStringToLocalize));
  AddProperty(HcPropertyDirectGet<L, PWStringRef>::Create(self, L::kLocalizedStringId, KsPropertyType::kString,
                                                          "LocalizedString", true, &L::GetLocalizedString,
                                                          &L::SetLocalizedString));
}
