#include "platform/foundation/ByteHandle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using hc::foundation::ByteHandle;
using hc::foundation::FoundationErr;

TEST(ByteHandle, GrowingZeroFillsEvenOverBytesOnceWritten) {
  ByteHandle handle;
  EXPECT_EQ(nullptr, handle.GetBytes());
  ASSERT_EQ(FoundationErr::Ok, handle.Resize(64));
  std::memset(handle.GetBytes(), 0xEE, 64);
  ASSERT_EQ(FoundationErr::Ok, handle.Resize(4));
  ASSERT_EQ(FoundationErr::Ok, handle.Resize(4096));
  ASSERT_EQ(4096u, handle.GetSize());
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(0xEE, handle.GetBytes()[i]);
  for (size_t i = 4; i < handle.GetSize(); ++i) ASSERT_EQ(0, handle.GetBytes()[i]) << i;
}

TEST(ByteHandle, ImpossibleSizeFailsAndKeepsTheContents) {
  ByteHandle handle;
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_EQ(FoundationErr::Ok, handle.Assign(bytes, sizeof bytes));
  EXPECT_EQ(FoundationErr::OutOfMemory, handle.Resize(SIZE_MAX));
  EXPECT_EQ(std::vector<uint8_t>({1, 2, 3}),
            std::vector<uint8_t>(handle.View().begin(), handle.View().end()));
}

TEST(ByteHandle, AssignCopiesAndRefusesANullSource) {
  ByteHandle handle;
  const uint8_t bytes[] = {9, 8, 7, 6};
  ASSERT_EQ(FoundationErr::Ok, handle.Assign(bytes, sizeof bytes));
  EXPECT_EQ(FoundationErr::BadArgument, handle.Assign(nullptr, 2));
  EXPECT_EQ(4u, handle.GetSize());
  EXPECT_EQ(FoundationErr::Ok, handle.Assign(nullptr, 0));
  EXPECT_TRUE(handle.IsEmpty());
}

TEST(ByteHandle, AssignFromItsOwnBytes) {
  ByteHandle handle;
  const uint8_t bytes[] = {1, 2, 3, 4, 5};
  ASSERT_EQ(FoundationErr::Ok, handle.Assign(bytes, sizeof bytes));
  ASSERT_EQ(FoundationErr::Ok, handle.Assign(handle.GetBytes() + 1, 3));
  EXPECT_EQ(std::vector<uint8_t>({2, 3, 4}),
            std::vector<uint8_t>(handle.View().begin(), handle.View().end()));
}

TEST(ByteHandle, CopiesAreIndependent) {
  ByteHandle original;
  const uint8_t bytes[] = {1, 2};
  ASSERT_EQ(FoundationErr::Ok, original.Assign(bytes, sizeof bytes));
  ByteHandle copy = original;
  EXPECT_EQ(original, copy);
  copy.GetBytes()[0] = 42;
  EXPECT_EQ(1, original.GetBytes()[0]);
  EXPECT_NE(original, copy);
}
