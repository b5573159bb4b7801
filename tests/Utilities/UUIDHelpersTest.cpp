#include "Utilities/UUIDHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

using hc::foundation::Uuid;

TEST(UUIDHelpers, NewUUIDsAreDistinctAndReadBackFromTheirText) {
  const Uuid first = CreateUUID();
  const Uuid second = CreateUUID();
  ASSERT_FALSE(first.IsNull());
  EXPECT_NE(first, second);

  char text[kUUIDCStringSize];
  UUIDToCString(first, text);
  EXPECT_EQ(first, CreateUUIDFromCString(text));
}

TEST(UUIDHelpers, TextIsUpperCaseAndTakesExactly37Bytes) {
  char buffer[64];
  std::memset(buffer, '#', sizeof buffer);
  const Uuid uuid = CreateUUIDFromCString("0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0");
  UUIDToCString(uuid, buffer);
  EXPECT_STREQ("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0", buffer);
  for (size_t i = kUUIDCStringSize; i < sizeof buffer; ++i) ASSERT_EQ('#', buffer[i]) << i;

  UUIDToCString(Uuid(), buffer);
  EXPECT_STREQ("", buffer);
}

TEST(UUIDHelpers, TextThatIsNoUUIDGivesNull) {
  for (const char* text : {"", "not a uuid", "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F",
                           "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F00",
                           "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1FZ"}) {
    EXPECT_TRUE(CreateUUIDFromCString(text).IsNull()) << text;
  }
  EXPECT_TRUE(CreateUUIDFromCString(nullptr).IsNull());
}

TEST(UUIDHelpers, SafeEqualityIsFalseWheneverEitherIsNull) {
  const Uuid uuid = CreateUUID();
  const Uuid sameAgain = CreateUUIDFromCString(uuid.ToString(Uuid::LetterCase::Lower).c_str());
  EXPECT_TRUE(SafeCFEqual(uuid, sameAgain));
  EXPECT_FALSE(SafeCFEqual(uuid, CreateUUID()));
  EXPECT_FALSE(SafeCFEqual(uuid, Uuid()));
  EXPECT_FALSE(SafeCFEqual(Uuid(), uuid));
  EXPECT_FALSE(SafeCFEqual(Uuid(), Uuid()));
}
