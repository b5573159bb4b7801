#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/SignatureUserDataItem.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovUserData.h"

using hc::foundation::ByteHandle;
using hc::movfile::MovUserData;

namespace {

std::vector<uint8_t> SignatureBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> SignatureSerialized(const MovUserData& userData) {
  std::vector<uint8_t> bytes;
  userData.SerializePayload(bytes);
  return bytes;
}

}  // namespace

TEST(SignatureUserDataItem, StoresOnePlainItemAndReadsItBack) {
  MovUserData userData;
  std::unique_ptr<ByteHandle> read = std::make_unique<ByteHandle>();
  EXPECT_EQ(ReadSignatureUserDataItem(userData, &read), -2026);
  EXPECT_FALSE(read);

  userData.AppendItem(hc::movfile::MovFourCC("\xA9nam"), SignatureBytes("title"));
  ASSERT_EQ(WriteSignatureUserDataItem(SignatureBytes("first signature"), userData), 0);
  ASSERT_EQ(WriteSignatureUserDataItem(SignatureBytes("second signature"), userData), 0);
  EXPECT_EQ(userData.ItemCount(), 2u);
  EXPECT_EQ(userData.CountItems(kSignatureUserDataType), 1u);
  ASSERT_EQ(ReadSignatureUserDataItem(userData, &read), 0);
  EXPECT_EQ(std::vector<uint8_t>(read->View().begin(), read->View().end()), SignatureBytes("second signature"));
}

TEST(SignatureUserDataItem, AFailedStoreKeepsTheOldSignature) {
  MovUserData userData;
  ASSERT_EQ(WriteSignatureUserDataItem(SignatureBytes("old signature"), userData), 0);
  while (userData.ItemCount() < MovUserData::kMaxItems) userData.AppendItem(hc::movfile::MovFourCC("fill"), {});
  const std::vector<uint8_t> before = SignatureSerialized(userData);
  EXPECT_EQ(WriteSignatureUserDataItem(SignatureBytes("new signature"), userData), -2291);
  EXPECT_EQ(SignatureSerialized(userData), before);
}
