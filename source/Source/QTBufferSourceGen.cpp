#include "Source/QTBufferSource.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTBufferSource, BufferSource, "QTBufferSource")

void QTBufferSource::QTBufferSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using Q = QTBufferSource;
  AddProperty(HcPropertyDirectGet<Q, void*>::Create(ThisRef(), kGWorldId, kPointer, "GWorld", false, &Q::GetGWorld,
                                                    nullptr));
}
