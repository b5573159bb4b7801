#include <gtest/gtest.h>

#include <vector>

#include "MovTestTools.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovUserData.h"

using namespace hc::movfile;
using movtest::Bytes;

namespace {

void PutItem(std::vector<uint8_t>& out, const char (&type)[5], const std::string& payload) {
  MovByteWriter writer(out);
  writer.AtomHeader(MovFourCC(type), payload.size() + 8);
  writer.Bytes(Bytes(payload));
}

}  // namespace

TEST(MovUserData, CountsReadsAppendsAndRemovesPerType) {
  std::vector<uint8_t> payload;
  PutItem(payload, "\xA9nam", "title");
  PutItem(payload, "Hcfm", "first");
  PutItem(payload, "Hcpr", "pres");
  PutItem(payload, "Hcfm", "second");
  MovUserData userData;
  ASSERT_EQ(MovUserData::Parse(payload, userData), MovErr::Ok);

  EXPECT_EQ(userData.CountItems(MovFourCC("Hcfm")), 2u);
  EXPECT_EQ(userData.CountItems(MovFourCC("Hcsg")), 0u);
  std::vector<uint8_t> item;
  ASSERT_EQ(userData.GetItem(MovFourCC("Hcfm"), 2, item), MovErr::Ok);
  EXPECT_EQ(item, Bytes("second"));
  EXPECT_EQ(userData.GetItem(MovFourCC("Hcfm"), 3, item), MovErr::UserDataItemNotFound);
  EXPECT_EQ(userData.GetItem(MovFourCC("Hcfm"), 0, item), MovErr::UserDataItemNotFound);
  EXPECT_EQ(userData.RemoveItem(MovFourCC("Hcsg"), 1), MovErr::UserDataItemNotFound);
  EXPECT_FALSE(userData.IsChanged());

  EXPECT_EQ(userData.RemoveItems(MovFourCC("Hcfm")), 2u);
  ASSERT_EQ(userData.AppendItem(MovFourCC("Hcfm"), Bytes("third")), MovErr::Ok);
  EXPECT_TRUE(userData.IsChanged());

  std::vector<uint8_t> expected;
  PutItem(expected, "\xA9nam", "title");
  PutItem(expected, "Hcpr", "pres");
  PutItem(expected, "Hcfm", "third");
  std::vector<uint8_t> written;
  userData.SerializePayload(written);
  EXPECT_EQ(written, expected);
}

TEST(MovUserData, KeepsOtherItemsByteForByteAndDropsTheTerminator) {
  std::vector<uint8_t> payload;
  // An item in the 64-bit size form and one running to the end (size 0)
  // stay readable; the 64-bit form is kept as it was written.
  MovByteWriter writer(payload);
  writer.U32(1);
  writer.U32(MovFourCC("wide"));
  writer.U64(16 + 3);
  writer.Bytes(Bytes("abc"));
  PutItem(payload, "\xA9" "cmt", std::string("\0\3\x55\xC4xyz", 7));
  payload.insert(payload.end(), {0, 0, 0, 0});
  MovUserData userData;
  ASSERT_EQ(MovUserData::Parse(payload, userData), MovErr::Ok);
  ASSERT_EQ(userData.ItemCount(), 2u);
  std::vector<uint8_t> written;
  userData.SerializePayload(written);
  EXPECT_EQ(written, std::vector<uint8_t>(payload.begin(), payload.end() - 4));

  std::vector<uint8_t> toEnd;
  MovByteWriter(toEnd).U32(0);
  MovByteWriter(toEnd).U32(MovFourCC("last"));
  toEnd.push_back('z');
  ASSERT_EQ(MovUserData::Parse(toEnd, userData), MovErr::Ok);
  ASSERT_EQ(userData.AppendItem(MovFourCC("next"), Bytes("n")), MovErr::Ok);
  written.clear();
  userData.SerializePayload(written);
  MovUserData reread;
  ASSERT_EQ(MovUserData::Parse(written, reread), MovErr::Ok);
  EXPECT_EQ(reread.CountItems(MovFourCC("last")), 1u);
  EXPECT_EQ(reread.CountItems(MovFourCC("next")), 1u);
}
