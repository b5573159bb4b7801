#include "Utilities/AtomEmitter.h"

#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(AtomEmitter, Emitter, "AtomEmitter")
void AtomEmitter::AtomEmitterClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<AtomEmitter, void*>::Create(ThisRef(), kAtomContainerId, KsPropertyType::kPointer,
                                                              "AtomContainer", false, &AtomEmitter::GetAtomContainer,
                                                              &AtomEmitter::SetAtomContainer));
}
