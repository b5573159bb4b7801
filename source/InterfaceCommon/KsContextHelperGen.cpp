#include "InterfaceCommon/KsContextHelper.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

namespace {

bool LoadHcMLAtRoot(KsContextHelper& context, PWStringRef text, PWStringRef rootPath) {
  return context.LoadHcML(text, rootPath);
}

bool LoadHcMLAtContext(KsContextHelper& context, PWStringRef text) { return context.LoadHcML(text); }

}  // namespace

HC_DEFINE_ABSTRACT_CLASS(KsContextHelper, KsObject, "KsContextHelper")
void KsContextHelper::KsContextHelperClass::SetupProperties() {
  using C = KsContextHelper;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<C, PWStringRef>::Create(self, C::kLexerNameId, KsPropertyType::kString,
                                                          "LexerName", true, &C::GetLexerName, &C::SetLexerName));
  AddObjCInstanceMethods({CocoaMethod<&LoadHcMLAtRoot>("loadHcML:atRoot:", "B@:@@"),
                          CocoaMethod<&LoadHcMLAtContext>("loadHcML:", "B@:@")});
}
