#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "InterfaceCommon/StringLocalizer.h"
#include "ReportTestSupport.h"

TEST(StringLocalizer, HoldsBothStringsIndependentlyAndLocalisesNothing) {
  EnsureClassesRegistered();
  KsRef<StringLocalizer> localizer = MakeObject<StringLocalizer>("StringLocalizer");
  ASSERT_TRUE(localizer);
  EXPECT_TRUE(localizer->GetStringToLocalize().IsNull());
  EXPECT_TRUE(localizer->GetLocalizedString().IsNull());

  auto log = KsMakeRef<NoticeLog>();
  log->Watch(localizer, {StringLocalizer::kStringToLocalizeId, StringLocalizer::kLocalizedStringId});
  KsRef<HcProperty> source = localizer->GetClassObject()->FindProperty("StringToLocalize");
  EXPECT_EQ(0, source->SetValue(localizer.Get(), PWStringRef("Open")));
  localizer->SetLocalizedString("Ouvrir");
  localizer->SetLocalizedString("Ouvrir");
  EXPECT_EQ("Open", localizer->GetStringToLocalize().Str());
  EXPECT_EQ("Ouvrir", localizer->GetLocalizedString().Str());
  EXPECT_EQ((std::vector<int32_t>{200, 201, 201}), log->Ids());

  EXPECT_TRUE(localizer->LocalizeString("Open").IsNull());
  EXPECT_TRUE(localizer->LocalizeString(PWStringRef()).IsNull());
}
