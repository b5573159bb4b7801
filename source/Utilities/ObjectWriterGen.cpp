#include "Utilities/ObjectWriter.h"

#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ObjectWriter, KsObject, "ObjectWriter")
void ObjectWriter::ObjectWriterClass::SetupProperties() {
  using namespace KsPropertyType;
  using W = ObjectWriter;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&W::WriteObject>("writeObject", "i@:")});
  AddProperty(HcPropertyObjectDirectGet<W, Emitter>::Create(self, kEmitterId, "Emitter", true, &W::GetEmitter,
                                                           &W::SetEmitter));
  AddProperty(HcPropertyDirectGet<W, PWStringRef>::Create(self, kRootElementNameId, kString, "RootElementName", true,
                                                          &W::GetRootElementName, &W::SetRootElementName));
  AddProperty(HcPropertyObjectDirectGet<W, KsObject>::Create(self, kContextObjectId, "ContextObject", false,
                                                            &W::GetContextObject, &W::SetContextObject));
  AddProperty(HcPropertyObjectDirectGet<W, KsStringCollection>::Create(
      self, kExplicitPropertyListId, "ExplicitPropertyList", true, &W::GetExplicitPropertyList,
      &W::SetExplicitPropertyList));
  AddProperty(HcPropertyDirectGet<W, bool>::Create(self, kExtendByReferenceId, kBool, "ExtendByReference", true,
                                                   &W::GetExtendByReference, &W::SetExtendByReference));
  AddProperty(HcPropertyDirectGet<W, PWStringRef>::Create(self, kXsiTypeNameId, kString, "XsiTypeName", true,
                                                          &W::GetXsiTypeName, &W::SetXsiTypeName));
  AddProperty(HcPropertyDirectGet<W, PWStringRef>::Create(self, kTargetPathId, kString, "TargetPath", false,
                                                          &W::GetTargetPath, &W::SetTargetPath));
  AddProperty(HcPropertyDirectGet<W, PWStringRef>::Create(self, kRootObjectHREFId, kString, "RootObjectHREF", true,
                                                          &W::GetRootObjectHREF, &W::SetRootObjectHREF));
  AddProperty(HcPropertyObjectDirectGet<W, KsObject>::Create(self, kTargetObjectId, "TargetObject", false,
                                                            &W::GetTargetObject, &W::SetTargetObject));
  AddProperty(HcPropertyDirectGet<W, bool>::Create(self, kIncludeNonSerializedId, kBool, "IncludeNonSerialized",
                                                   true, &W::GetIncludeNonSerialized, &W::SetIncludeNonSerialized));
  AddProperty(HcPropertyDirectGet<W, bool>::Create(self, kShallowWriteId, kBool, "ShallowWrite", true,
                                                   &W::GetShallowWrite, &W::SetShallowWrite));
  AddProperty(HcPropertyObjectDirectGet<W, LocalPathResolver>::Create(
      self, kOutputPathResolverId, "OutputPathResolver", true, &W::GetOutputPathResolver, nullptr));
}
