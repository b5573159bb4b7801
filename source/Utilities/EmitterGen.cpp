#include "Utilities/Emitter.h"

#include "Utilities/HcPropertyAppErr.h"

HC_DEFINE_ABSTRACT_CLASS(Emitter, KsObject, "Emitter")
void Emitter::EmitterClass::SetupProperties() {
  AddProperty(HcPropertyAppErr<Emitter, void*>::Create(ThisRef(), kOutputFileId, KsPropertyType::kPointer,
                                                       "OutputFile", false, nullptr, &Emitter::SetOutputFile));
}
