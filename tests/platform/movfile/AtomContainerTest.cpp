#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movfile/AtomContainer.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;

namespace {

using ContainerAtom = AtomContainer::Atom;

std::span<const uint8_t> TextBytes(const std::string& text) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string Text(const AtomContainer& container, ContainerAtom atom) {
  std::span<const uint8_t> data;
  EXPECT_EQ(container.GetAtomData(atom, &data), MovErr::Ok);
  return std::string(data.begin(), data.end());
}

std::vector<uint8_t> Flat(const AtomContainer& container) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(container.Flatten(&bytes), MovErr::Ok);
  return bytes;
}

// An atom header as the published layout states it.
void PutAtomHeader(MovByteWriter& writer, uint32_t size, uint32_t type, uint32_t id, uint16_t children) {
  writer.U32(size);
  writer.U32(type);
  writer.U32(id);
  writer.U16(0);
  writer.U16(children);
  writer.U32(0);
}

void PutContainerHeader(MovByteWriter& writer) {
  for (int i = 0; i < 10; ++i) writer.U8(0);
  writer.U16(0);
}

// A container whose root holds a parent 'prnt' (id 1) with two leaves, then a
// leaf 'leaf' (id 7) holding "xyz".
AtomContainer SampleContainer() {
  AtomContainer container;
  ContainerAtom parent = 0;
  EXPECT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("prnt"), 1, {}, &parent), MovErr::Ok);
  EXPECT_EQ(container.InsertChild(parent, MovFourCC("name"), 1, TextBytes("ab")), MovErr::Ok);
  EXPECT_EQ(container.InsertChild(parent, MovFourCC("name"), 2, TextBytes("")), MovErr::Ok);
  EXPECT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("leaf"), 7, TextBytes("xyz")), MovErr::Ok);
  return container;
}

TEST(AtomContainerTest, EmptyContainerIsHeaderAndBareRoot) {
  std::vector<uint8_t> expected;
  MovByteWriter writer(expected);
  PutContainerHeader(writer);
  PutAtomHeader(writer, 20, MovFourCC("sean"), 1, 0);
  EXPECT_EQ(Flat(AtomContainer()), expected);
}

TEST(AtomContainerTest, FlattensInPublishedLayoutAndReadsBack) {
  std::vector<uint8_t> expected;
  MovByteWriter writer(expected);
  PutContainerHeader(writer);
  PutAtomHeader(writer, 20 + 62 + 23, MovFourCC("sean"), 1, 2);
  PutAtomHeader(writer, 20 + 22 + 20, MovFourCC("prnt"), 1, 2);
  PutAtomHeader(writer, 22, MovFourCC("name"), 1, 0);
  writer.Bytes(TextBytes("ab"));
  PutAtomHeader(writer, 20, MovFourCC("name"), 2, 0);
  PutAtomHeader(writer, 23, MovFourCC("leaf"), 7, 0);
  writer.Bytes(TextBytes("xyz"));
  ASSERT_EQ(Flat(SampleContainer()), expected);

  AtomContainer read;
  ASSERT_EQ(AtomContainer::Parse(expected, &read), MovErr::Ok);
  EXPECT_EQ(read.CountChildren(AtomContainer::kRootAtom), 2u);
  uint32_t id = 0;
  const ContainerAtom parent = read.FindChildByIndex(AtomContainer::kRootAtom, MovFourCC("prnt"), 1, &id);
  ASSERT_NE(parent, AtomContainer::kNoAtom);
  EXPECT_EQ(id, 1u);
  EXPECT_EQ(read.CountChildrenOfType(parent, MovFourCC("name")), 2u);
  EXPECT_EQ(Text(read, read.FindChildByID(parent, MovFourCC("name"), 1)), "ab");
  EXPECT_EQ(Text(read, read.FindChildByIndex(parent, MovFourCC("name"), 2)), "");
  EXPECT_EQ(Text(read, read.FindChildByID(AtomContainer::kRootAtom, MovFourCC("leaf"), 7)), "xyz");
  EXPECT_EQ(read.FindChildByIndex(parent, MovFourCC("name"), 3), AtomContainer::kNoAtom);
  EXPECT_EQ(read.FindChildByID(parent, MovFourCC("name"), 9), AtomContainer::kNoAtom);
  std::span<const uint8_t> data;
  EXPECT_EQ(read.GetAtomData(parent, &data), MovErr::NotLeafAtom);
  EXPECT_EQ(Flat(read), expected);
}

TEST(AtomContainerTest, InsertionRefusesWhatWouldCorruptTheTree) {
  AtomContainer container = SampleContainer();
  const ContainerAtom leaf = container.FindChildByIndex(AtomContainer::kRootAtom, MovFourCC("leaf"), 1);
  const std::vector<uint8_t> before = Flat(container);
  EXPECT_EQ(container.InsertChild(leaf, MovFourCC("kid "), 1, {}), MovErr::NotLeafAtom);
  EXPECT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("leaf"), 7, {}),
            MovErr::DuplicateAtomTypeAndId);
  EXPECT_EQ(container.InsertChild(999, MovFourCC("kid "), 1, {}), MovErr::CannotFindAtom);
  EXPECT_EQ(Flat(container), before);

  // Id 0 picks one no sibling of the type has.
  ContainerAtom picked = 0;
  ASSERT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("leaf"), 0, {}, &picked), MovErr::Ok);
  EXPECT_EQ(container.GetAtomId(picked), 8u);
}

TEST(AtomContainerTest, ChildCountPastSixteenBitsFailsTheInsertion) {
  AtomContainer container;
  for (uint32_t i = 1; i <= AtomContainer::kMaxChildren; ++i) {
    ASSERT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("item"), i, {}), MovErr::Ok);
  }
  EXPECT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("item"), 0x10000, {}),
            MovErr::TooManyChildren);
  AtomContainer read;
  ASSERT_EQ(AtomContainer::Parse(Flat(container), &read), MovErr::Ok);
  EXPECT_EQ(read.CountChildren(AtomContainer::kRootAtom), AtomContainer::kMaxChildren);
  EXPECT_EQ(read.GetAtomId(read.FindChildByID(AtomContainer::kRootAtom, MovFourCC("item"), 65535)), 65535u);
}

TEST(AtomContainerTest, NestingIsLimitedOnWritingAndReading) {
  AtomContainer container;
  ContainerAtom parent = AtomContainer::kRootAtom;
  for (size_t level = 1; level <= AtomContainer::kMaxDepth; ++level) {
    ASSERT_EQ(container.InsertChild(parent, MovFourCC("nest"), 1, {}, &parent), MovErr::Ok);
  }
  EXPECT_EQ(container.InsertChild(parent, MovFourCC("nest"), 1, {}), MovErr::NestingTooDeep);
  AtomContainer read;
  ASSERT_EQ(AtomContainer::Parse(Flat(container), &read), MovErr::Ok);

  // One level more, written by hand.
  const size_t levels = AtomContainer::kMaxDepth + 1;
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  PutContainerHeader(writer);
  PutAtomHeader(writer, static_cast<uint32_t>(20 * (levels + 1)), MovFourCC("sean"), 1, 1);
  for (size_t level = 1; level <= levels; ++level) {
    PutAtomHeader(writer, static_cast<uint32_t>(20 * (levels - level + 1)), MovFourCC("nest"), 1,
                  level < levels ? 1 : 0);
  }
  EXPECT_EQ(AtomContainer::Parse(bytes, &read), MovErr::NestingTooDeep);
}

TEST(AtomContainerTest, LookupByIdWorksWhateverTheOrderOfIds) {
  AtomContainer container;
  for (uint32_t id : {5u, 3u, 9u, 1u}) {
    ASSERT_EQ(container.InsertChild(AtomContainer::kRootAtom, MovFourCC("item"), id, TextBytes(std::to_string(id))),
              MovErr::Ok);
  }
  for (uint32_t id : {1u, 3u, 5u, 9u}) {
    EXPECT_EQ(Text(container, container.FindChildByID(AtomContainer::kRootAtom, MovFourCC("item"), id)),
              std::to_string(id));
  }
  EXPECT_EQ(Text(container, container.FindChildByIndex(AtomContainer::kRootAtom, MovFourCC("item"), 2)), "3");
  EXPECT_EQ(container.FindChildByID(AtomContainer::kRootAtom, MovFourCC("item"), 4), AtomContainer::kNoAtom);
}

TEST(AtomContainerTest, EveryTruncationIsRefused) {
  const std::vector<uint8_t> bytes = Flat(SampleContainer());
  for (size_t length = 0; length < bytes.size(); ++length) {
    AtomContainer read;
    EXPECT_EQ(AtomContainer::Parse(std::span<const uint8_t>(bytes.data(), length), &read),
              MovErr::InvalidAtomContainer)
        << "length " << length;
  }
}

TEST(AtomContainerTest, CorruptedSizesAndCountsAreRefused) {
  const std::vector<uint8_t> good = Flat(SampleContainer());
  // Offsets: root header at 12, 'prnt' at 32, its first child at 52, the
  // second at 74, 'leaf' at 94.
  struct Case {
    const char* what;
    size_t offset;
    std::vector<uint8_t> patch;
  };
  const Case cases[] = {
      {"root size past the bytes", 12, {0, 0, 0, 200}},
      {"root size below a header", 12, {0, 0, 0, 19}},
      {"root size zero", 12, {0, 0, 0, 0}},
      {"child size below a header", 52, {0, 0, 0, 4}},
      {"child size past its parent", 52, {0, 0, 0, 60}},
      {"child count above the children", 32 + 14, {0, 3}},
      {"child count below the children", 32 + 14, {0, 1}},
      {"leaf claims a child", 94 + 14, {0, 1}},
      {"root child count too high", 12 + 14, {0xFF, 0xFF}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::copy(c.patch.begin(), c.patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
    AtomContainer read;
    EXPECT_EQ(AtomContainer::Parse(bytes, &read), MovErr::InvalidAtomContainer) << c.what;
  }
}

TEST(AtomContainerTest, FailedParseLeavesTheTargetAlone) {
  AtomContainer target = SampleContainer();
  const std::vector<uint8_t> before = Flat(target);
  std::vector<uint8_t> bytes = before;
  bytes.pop_back();
  EXPECT_NE(AtomContainer::Parse(bytes, &target), MovErr::Ok);
  EXPECT_EQ(Flat(target), before);
}

}  // namespace
