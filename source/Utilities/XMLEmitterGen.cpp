#include "Utilities/XMLEmitter.h"

#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(XMLEmitter, Emitter, "XMLEmitter")
void XMLEmitter::XMLEmitterClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<XMLEmitter, bool>::Create(ThisRef(), kEmitXMLDeclarationId, KsPropertyType::kBool,
                                                            "EmitXMLDeclaration", true,
                                                            &XMLEmitter::GetEmitXMLDeclaration,
                                                            &XMLEmitter::SetEmitXMLDeclaration));
}
