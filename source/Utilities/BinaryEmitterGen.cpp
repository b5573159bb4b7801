#include "Utilities/BinaryEmitter.h"

HC_DEFINE_CLASS(BinaryEmitter, Emitter, "BinaryEmitter")
void BinaryEmitter::BinaryEmitterClass::SetupProperties() {}
