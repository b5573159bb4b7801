#include <gtest/gtest.h>

#include <clocale>

#include "General/KsClassObject.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyPlaceholder.h"

namespace {

class HcPropertyTest : public ::testing::Test {
 protected:
  KsRef<HcProperty> Property(const char* name) { return gadget->GetClassObject()->FindProperty(name); }
  eAppErr SetText(const char* name, const char* text) { return Property(name)->SetValue(gadget.Get(), text); }

  KsRef<Gadget> gadget = KsMakeRef<Gadget>();
};

TEST_F(HcPropertyTest, ConvertsTextIntoEachValueType) {
  struct Case {
    const char* property;
    const char* text;
    eAppErr result;
  };
  const Case cases[] = {
      {"Enabled", "YES", 0},        {"Enabled", "True", 0},     {"Enabled", "no", 0},
      {"Enabled", "1", -901},       {"Enabled", "on", -901},    {"Enabled", " true", -901},
      {"Count", "0x1F", 0},         {"Count", "010", 0},        {"Count", "12abc", 0},
      {"Count", "", -901},          {"Count", "abc", -901},     {"Count", "4294967296", -901},
      {"Width", "3.5abc", 0},       {"Width", "1e39", -901},    {"Ratio", "-2.25", 0},
      {"Tint", "r = 1 g = 0.5 b = 0", 0}, {"Tint", "r = 1 g = 0.5", -901},
      {"Frame", "x=1 y=2 w=3 h=4", 0},    {"Frame", "X = 1 Y = 2 w = 3 h = 4", -901},
      {"Partner", "anything", -900},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, SetText(c.property, c.text)) << c.property << " " << c.text;

  SetText("Count", "0x1F");
  EXPECT_EQ(31, gadget->GetCount());
  SetText("Count", "010");
  EXPECT_EQ(8, gadget->GetCount());
  SetText("Tint", "r = 1 g = 0.5 b = 0");
  EXPECT_EQ((KsColorF{1, 0.5f, 0, 1}), gadget->GetTint());
  SetText("Frame", "x=1 y=2 w=3 h=4");
  EXPECT_EQ(KsRectF(1, 2, 3, 4), gadget->GetFrame());
}

// Text is read the same way whatever the user's locale.
TEST_F(HcPropertyTest, ReadsNumbersInTheCLocaleUnderADecimalCommaLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no decimal-comma locale installed";
  }
  EXPECT_EQ(0, SetText("Width", "1.5"));
  EXPECT_FLOAT_EQ(1.5f, gadget->GetWidth());
  EXPECT_EQ(0, SetText("Ratio", "2.25"));
  EXPECT_DOUBLE_EQ(2.25, gadget->GetRatio());
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(HcPropertyTest, TypedAccessOfTheWrongTypeAnswers102AndLeavesTheValue) {
  int32_t asInt = 42;
  EXPECT_EQ(AppErr::kUnsupportedType, Property("Width")->GetValue(gadget.Get(), &asInt));
  EXPECT_EQ(42, asInt);
  EXPECT_EQ(AppErr::kUnsupportedType, Property("Width")->SetValue(gadget.Get(), 2.0));
  PWStringRef text;
  EXPECT_EQ(AppErr::kUnsupportedType, Property("Width")->GetValue(gadget.Get(), &text));
}

TEST_F(HcPropertyTest, ReadOnlyAndWrongTargets) {
  auto serial = Property("Serial");
  EXPECT_TRUE(serial->GetCanGet());
  EXPECT_FALSE(serial->GetCanSet());
  EXPECT_EQ(AppErr::kUnsupportedType, serial->SetValue(gadget.Get(), 3u));
  // Text for a read-only number is parsed; the refusal reaches the caller.
  EXPECT_EQ(AppErr::kUnsupportedType, serial->SetValue(gadget.Get(), "9"));
  EXPECT_EQ(AppErr::kOutOfRange, serial->SetValue(gadget.Get(), "x"));
  uint32_t value = 0;
  EXPECT_EQ(AppErr::kNoErr, serial->GetValue(gadget.Get(), &value));
  EXPECT_EQ(7u, value);

  auto recorder = KsMakeRef<ChangeRecorder>();
  EXPECT_EQ(AppErr::kBadArgument, Property("Width")->SetValue(recorder.Get(), 1.0f));
  EXPECT_EQ(AppErr::kBadArgument, Property("Width")->SetValue(nullptr, 1.0f));
}

TEST_F(HcPropertyTest, ObjectPropertiesCheckTheValueClass) {
  auto partner = Property("Partner");
  EXPECT_EQ(Gadget::ClassGetClassObject(), partner->GetPropertyTypeClass());
  EXPECT_EQ(PWStringRef("Gadget"), partner->GetSchemaTypeName());
  EXPECT_EQ(AppErr::kBadArgument, partner->SetValue(gadget.Get(), KsRef<KsObject>(KsMakeRef<ChangeRecorder>())));
  auto other = KsMakeRef<SuperGadget>();
  EXPECT_EQ(AppErr::kNoErr, partner->SetValue(gadget.Get(), KsRef<KsObject>(other)));
  KsRef<KsObject> read;
  EXPECT_EQ(AppErr::kNoErr, partner->GetValue(gadget.Get(), &read));
  EXPECT_EQ(other, read);
  EXPECT_EQ(AppErr::kNoErr, partner->SetValue(gadget.Get(), KsRef<KsObject>()));
  EXPECT_TRUE(gadget->GetPartner().IsEmpty());
}

TEST_F(HcPropertyTest, DefaultAndPlaceholderDescriptorsConvertNothing) {
  auto placeholder = HcPropertyPlaceholder::Create(Gadget::ClassGetClassObject(), 299, KsPropertyType::kBool, "Busy");
  EXPECT_FALSE(placeholder->GetCanGet());
  EXPECT_FALSE(placeholder->GetCanSet());
  EXPECT_EQ(AppErr::kUnsupportedType, placeholder->SetValue(gadget.Get(), true));
  EXPECT_EQ(AppErr::kUnsupportedType, placeholder->SetValue(gadget.Get(), "yes"));

  auto blank = KsMakeRef<HcPropertyPlaceholder>();
  EXPECT_EQ(0, blank->GetPropertyID());
  EXPECT_EQ(KsPropertyType::kNone, blank->GetPropertyType());
  EXPECT_TRUE(blank->GetName().IsNull());
  EXPECT_EQ(AppErr::kTextNotConvertible, blank->SetValue(gadget.Get(), "1"));
  EXPECT_EQ(PWStringRef("UNKNOWN"), blank->GetSchemaTypeName());
}

}  // namespace
