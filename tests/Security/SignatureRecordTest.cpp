#include <gtest/gtest.h>

#include <vector>

#include "General/HcClassMap.h"
#include "Security/KsSignature.h"
#include "Security/KsSignatureCollection.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "SecurityTestSupport.h"
#include "Utilities/HcProperty.h"

namespace {

class ChangeRecorder : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    ids.push_back(property ? property->GetPropertyID() : 0);
  }
  std::vector<int32_t> ids;
};

}  // namespace

TEST(SignatureRecord, StartsEmptyAndSerialisesAllSixFields) {
  KsRef<KsSignature> record = MakeObject<KsSignature>("KsSignature");
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->GetDigestBase64().IsNull());
  EXPECT_TRUE(record->GetKsPublicCertName().IsNull());
  EXPECT_TRUE(record->GetUserDigestSignatureBase64().IsNull());
  EXPECT_TRUE(record->GetKsCounterSignatureBase64().IsNull());
  EXPECT_FALSE(record->GetUserPublicCert());
  EXPECT_FALSE(record->GetPresentation());
  EXPECT_EQ((std::set<std::string>{"DigestBase64", "KsCounterSignatureBase64", "KsPublicCertName", "Presentation",
                                   "UserDigestSignatureBase64", "UserPublicCert"}),
            OwnSerializedPropertyNames(record->GetClassObject()));
}

// Every field is reached by its property name, and every set is announced
// with the field's id, also when the value doesn't change.
TEST(SignatureRecord, PropertiesReachTheFieldsAndAnnounceEverySet) {
  auto record = KsMakeRef<KsSignature>();
  auto recorder = KsMakeRef<ChangeRecorder>();
  KsRef<KsClassObject> classObject = record->GetClassObject();
  const struct {
    const char* name;
    int32_t id;
  } strings[] = {
      {"DigestBase64", 200},
      {"KsCounterSignatureBase64", 201},
      {"KsPublicCertName", 202},
      {"UserDigestSignatureBase64", 204},
  };
  for (const auto& field : strings) {
    record->AddObserver(recorder, field.name, 0);
    KsRef<HcProperty> property = classObject->FindProperty(field.name);
    ASSERT_TRUE(property) << field.name;
    EXPECT_EQ(field.id, property->GetPropertyID());
    recorder->ids.clear();
    EXPECT_EQ(0, property->SetValue(record.Get(), PWStringRef(field.name)));
    EXPECT_EQ(0, property->SetValue(record.Get(), PWStringRef(field.name)));
    EXPECT_EQ((std::vector<int32_t>{field.id, field.id}), recorder->ids) << field.name;
    PWStringRef value;
    EXPECT_EQ(0, property->GetValue(record.Get(), &value));
    EXPECT_EQ(field.name, value.Str());
  }

  auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
  record->AddObserver(recorder, "UserPublicCert", 0);
  recorder->ids.clear();
  EXPECT_EQ(0, record->SetUserPublicCert(certificate));
  const int32_t countHeld = certificate->GetRetainCount();
  EXPECT_EQ(0, record->SetUserPublicCert(certificate));
  EXPECT_EQ(countHeld, certificate->GetRetainCount());
  EXPECT_EQ((std::vector<int32_t>{205, 205}), recorder->ids);
  EXPECT_EQ(-2, classObject->FindProperty("UserPublicCert")
                    ->SetValue(record.Get(), KsRef<KsObject>(KsMakeRef<KsSignature>())));
  EXPECT_EQ(certificate.Get(), record->GetUserPublicCert().Get());

  auto presentation = KsMakeRef<KsObject>();
  EXPECT_EQ(0, classObject->FindProperty("Presentation")->SetValue(record.Get(), KsRef<KsObject>(presentation)));
  EXPECT_EQ(presentation.Get(), record->GetPresentation().Get());
}

TEST(SignatureRecord, TheCollectionHoldsOnlyRecords) {
  KsRef<KsSignatureCollection> collection = MakeObject<KsSignatureCollection>("KsSignatureCollection");
  ASSERT_TRUE(collection);
  KsRef<HcProperty> element = collection->GetClassObject()->FindProperty("KsSignature");
  ASSERT_TRUE(element);
  EXPECT_TRUE(element->GetIsCollectionProperty());
  EXPECT_EQ(0, element->SetValue(collection.Get(), KsRef<KsObject>(KsMakeRef<KsSignature>())));
  EXPECT_EQ(-2, element->SetValue(collection.Get(), KsRef<KsObject>(KsMakeRef<KsData>())));
  EXPECT_EQ(1u, collection->GetCount());
  EXPECT_TRUE(collection->GetByIndex(0));
}
