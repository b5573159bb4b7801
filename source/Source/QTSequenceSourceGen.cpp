#include "Source/QTSequenceSource.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTSequenceSource, QTBufferSource, "QTSequenceSource")

void QTSequenceSource::QTSequenceSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTSequenceSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, kImageDescriptionSeedId, kUInt, "ImageDescriptionSeed",
                                                       false, &S::GetImageDescriptionSeed,
                                                       &S::SetImageDescriptionSeed));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kImageDescriptionId, kPointer, "ImageDescription", false,
                                                    &S::GetImageDescription, &S::SetImageDescription));
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, kDataSizeId, kUInt, "DataSize", false, &S::GetDataSize,
                                                       &S::SetDataSize));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kDataId, kPointer, "Data", false, &S::GetData, &S::SetData));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kFrameTimeId, kPointer, "FrameTime", false,
                                                    &S::GetFrameTime, &S::SetFrameTime));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kAsyncCompletionProcId, kPointer, "AsyncCompletionProc",
                                                    false, &S::GetAsyncCompletionProc, &S::SetAsyncCompletionProc));
}
