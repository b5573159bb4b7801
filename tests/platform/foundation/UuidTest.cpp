#include "platform/foundation/Uuid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

using hc::foundation::Uuid;

namespace {

Uuid CountingUuid() {
  Uuid::Bytes bytes;
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0xA1 + i);
  return Uuid(bytes);
}

}  // namespace

TEST(Uuid, DefaultIsNullAndDistinctFromTheNilUuid) {
  Uuid null;
  EXPECT_TRUE(null.IsNull());
  EXPECT_EQ("", null.ToString());

  Uuid nil = Uuid::Parse("00000000-0000-0000-0000-000000000000");
  EXPECT_FALSE(nil.IsNull());
  EXPECT_NE(null, nil);
  EXPECT_EQ(null.GetBytes(), nil.GetBytes());
}

TEST(Uuid, GeneratesDistinctRandomVersion4Uuids) {
  std::set<Uuid> seen;
  for (int i = 0; i < 1000; ++i) {
    Uuid uuid = Uuid::Generate();
    ASSERT_FALSE(uuid.IsNull());
    EXPECT_EQ(0x40, uuid.GetBytes()[6] & 0xF0);  // version 4
    EXPECT_EQ(0x80, uuid.GetBytes()[8] & 0xC0);  // RFC 4122 variant
    seen.insert(uuid);
  }
  EXPECT_EQ(1000u, seen.size());
}

TEST(Uuid, WritesTheHyphenatedFormInEitherCase) {
  Uuid uuid = CountingUuid();
  EXPECT_EQ("A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB0", uuid.ToString());
  EXPECT_EQ("a1a2a3a4-a5a6-a7a8-a9aa-abacadaeafb0", uuid.ToString(Uuid::LetterCase::Lower));
}

TEST(Uuid, CStringFormWritesExactly37Bytes) {
  char buffer[40];
  std::memset(buffer, '#', sizeof buffer);
  CountingUuid().ToCString(reinterpret_cast<char(&)[37]>(buffer));
  EXPECT_STREQ("A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB0", buffer);
  EXPECT_EQ('#', buffer[37]);

  Uuid().ToCString(reinterpret_cast<char(&)[37]>(buffer));
  EXPECT_STREQ("", buffer);
}

TEST(Uuid, ParsesEitherCaseBackToTheSameBytes) {
  Uuid uuid = Uuid::Generate();
  EXPECT_EQ(uuid, Uuid::Parse(uuid.ToString()));
  EXPECT_EQ(uuid, Uuid::Parse(uuid.ToString(Uuid::LetterCase::Lower)));
  EXPECT_EQ(CountingUuid(), Uuid::Parse("a1A2a3A4-A5a6-A7A8-a9aa-ABACADaeafb0"));
}

TEST(Uuid, RejectsTextThatIsNoUuid) {
  const char* const cases[] = {
      "",
      "A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB",     // 35 characters
      "A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB00",   // 37 characters
      "{A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB0}",  // braces
      "A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFBG",    // not a hex digit
      "A1A2A3A4A-5A6-A7A8-A9AA-ABACADAEAFB0",    // hyphen out of place
      "A1A2A3A4 A5A6 A7A8 A9AA ABACADAEAFB0",
      " A1A2A3A4-A5A6-A7A8-A9AA-ABACADAEAFB",
      "A1A2A3A4A5A6A7A8A9AAABACADAEAFB0",
  };
  for (const char* text : cases) {
    EXPECT_TRUE(Uuid::Parse(text).IsNull()) << '"' << text << '"';
  }
  // A string_view that stops before the end of a longer buffer.
  std::string padded = CountingUuid().ToString() + "00";
  EXPECT_EQ(CountingUuid(), Uuid::Parse(std::string_view(padded).substr(0, 36)));
  EXPECT_TRUE(Uuid::Parse(std::string_view(padded).substr(1, 36)).IsNull());
}
