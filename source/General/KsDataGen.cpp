#include "General/KsData.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(KsData, KsObject, "KsData")

void KsData::KsDataClass::SetupProperties() {
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<KsData, void*>::Create(self, kBytesId, kPointer, "Bytes", false,
                                                         &KsData::GetMutableBytes, &KsData::SetBytes));
  AddProperty(HcPropertyDirectGet<KsData, uint32_t>::Create(self, kLengthId, kUInt, "Length", false,
                                                            &KsData::GetLength, &KsData::SetLength));
  AddProperty(HcPropertyDirectGet<KsData, PWStringRef>::Create(self, kBase64Id, kString, "Base64", true,
                                                               &KsData::CopyBase64, &KsData::SetBase64));
  AddProperty(HcPropertyAppErr<KsData, void*>::Create(self, kBytesNoCopyId, kPointer, "BytesNoCopy", false, nullptr,
                                                      &KsData::SetBytesNoCopy));
  AddProperty(HcPropertyDirectGet<KsData, KsPropertyList>::Create(self, kCFDataId, kPropertyList, "CFData", false,
                                                                  &KsData::CopyCFData, &KsData::SetCFData));
  AddProperty(HcPropertyDirectGet<KsData, PWStringRef>::Create(self, kHexId, kString, "Hex", false, &KsData::CopyHex,
                                                               &KsData::SetHex));
}
