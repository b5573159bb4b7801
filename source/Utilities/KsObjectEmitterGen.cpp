#include "Utilities/KsObjectEmitter.h"

#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KsObjectEmitter, Emitter, "KsObjectEmitter")
void KsObjectEmitter::KsObjectEmitterClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<KsObjectEmitter, KsObject>::Create(
      self, kEmittedObjectId, "EmittedObject", true, &KsObjectEmitter::GetEmittedObject,
      &KsObjectEmitter::SetEmittedObject));
  AddProperty(HcPropertyObjectDirectGet<KsObjectEmitter, PathResolver>::Create(
      self, kExternalPathResolverId, "ExternalPathResolver", true, &KsObjectEmitter::GetExternalPathResolver,
      &KsObjectEmitter::SetExternalPathResolver));
}
