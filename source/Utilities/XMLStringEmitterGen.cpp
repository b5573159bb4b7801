#include "Utilities/XMLStringEmitter.h"

#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(XMLStringEmitter, XMLEmitter, "XMLStringEmitter")
void XMLStringEmitter::XMLStringEmitterClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<XMLStringEmitter, PWStringRef>::Create(
      ThisRef(), kOutputStringId, KsPropertyType::kString, "OutputString", false, &XMLStringEmitter::GetOutputString,
      nullptr));
}
