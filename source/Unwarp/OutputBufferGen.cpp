#include "General/CocoaMethod.h"
#include "Unwarp/OutputBuffer.h"

HC_DEFINE_CLASS(OutputBuffer, QTBufferSource, "OutputBuffer")

namespace {

eAppErr InitializeWidthHeight(OutputBuffer& self, int32_t width, int32_t height) {
  return self.Initialize(width, height);
}

}  // namespace

void OutputBuffer::OutputBufferClass::SetupProperties() {
  AddObjCInstanceMethods({CocoaMethod<&InitializeWidthHeight>("initializewidth:height:", "i@:ii")});
}
