#include "Security/KsDigester.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(KsDigester, KsObject, "KsDigester")

void KsDigester::KsDigesterClass::SetupProperties() {
  using D = KsDigester;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<D, KsData>::Create(self, D::kDataId, "Data", false, &D::GetData, &D::SetData));
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(self, D::kDataBase64Id, kString, "DataBase64", true,
                                                          &D::GetDataBase64, &D::SetDataBase64));
  AddProperty(HcPropertyDirectGet<D, uint32_t>::Create(self, D::kDataLenId, kUInt, "DataLen", false, &D::GetDataLen,
                                                       &D::SetDataLen));
  AddProperty(HcPropertyDirectGet<D, void*>::Create(self, D::kDataPtrId, kPointer, "DataPtr", false, &D::GetDataPtr,
                                                    &D::SetDataPtr));
  AddProperty(HcPropertyAppErr<D, PWStringRef>::Create(self, D::kDigestBase64Id, kString, "DigestBase64", false,
                                                       &D::GetDigestBase64, nullptr));
  AddProperty(
      HcPropertyObjectDirectGet<D, KsData>::Create(self, D::kDigestId, "Digest", false, &D::GetDigest, nullptr));
}
