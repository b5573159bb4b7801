#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "MovTestTools.h"
#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;

namespace {

struct WalkResult {
  MovErr err = MovErr::Ok;
  std::vector<MovAtom> atoms;
};

WalkResult Walk(const std::vector<uint8_t>& bytes) {
  WalkResult result;
  MovAtomReader reader(bytes, 100);
  for (;;) {
    std::optional<MovAtom> atom;
    result.err = reader.Next(atom);
    if (result.err != MovErr::Ok || !atom) return result;
    result.atoms.push_back(*atom);
  }
}

std::vector<uint8_t> Atom(const char (&type)[5], size_t payload, uint32_t storedSize) {
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  writer.U32(storedSize);
  writer.U32(MovFourCC(type));
  bytes.resize(bytes.size() + payload, 0xAB);
  return bytes;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

TEST(MovAtomReader, ReadsEverySizeForm) {
  std::vector<uint8_t> wide;
  MovByteWriter writer(wide);
  writer.U32(1);
  writer.U32(MovFourCC("wide"));
  writer.U64(20);
  writer.U32(0xDEADBEEF);
  auto bytes = Join({Atom("ftyp", 4, 12), wide, Atom("mdat", 5, 0)});

  WalkResult result = Walk(bytes);
  ASSERT_EQ(result.err, MovErr::Ok);
  ASSERT_EQ(result.atoms.size(), 3u);
  EXPECT_EQ(result.atoms[0].type, MovFourCC("ftyp"));
  EXPECT_EQ(result.atoms[0].offset, 100u);
  EXPECT_EQ(result.atoms[1].headerSize, 16u);
  EXPECT_EQ(result.atoms[1].size, 20u);
  EXPECT_EQ(result.atoms[1].PayloadSize(), 4u);
  EXPECT_TRUE(result.atoms[2].extendsToEnd);
  EXPECT_EQ(result.atoms[2].size, 13u);
  EXPECT_EQ(result.atoms[2].End(), 100u + bytes.size());
}

TEST(MovAtomReader, AnswersErrorsForDamagedSizes) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    MovErr expected;
  };
  std::vector<uint8_t> wideTooSmall;
  MovByteWriter(wideTooSmall).U32(1);
  MovByteWriter(wideTooSmall).U32(MovFourCC("mdat"));
  MovByteWriter(wideTooSmall).U64(15);
  const Case cases[] = {
      {"size past the end", Atom("mdat", 4, 40), MovErr::InvalidMovie},
      {"size below 8", Atom("mdat", 4, 7), MovErr::InvalidMovie},
      {"64-bit size below 16", wideTooSmall, MovErr::InvalidMovie},
      {"64-bit header cut short", std::vector<uint8_t>(wideTooSmall.begin(), wideTooSmall.begin() + 12),
       MovErr::InvalidMovie},
      {"non-zero bytes too short for a header", Join({Atom("free", 0, 8), {0, 0, 1}}), MovErr::InvalidMovie},
      {"zero terminator", Join({Atom("free", 0, 8), {0, 0, 0, 0}}), MovErr::Ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Walk(c.bytes).err, c.expected);
  }
}

TEST(MovAtomNode, RefusesSelfNestingPastTheDepthLimit) {
  std::vector<uint8_t> nested = Atom("mvhd", 0, 8);
  for (size_t depth = 0; depth <= MovAtomNode::kMaxDepth + 1; ++depth) {
    std::vector<uint8_t> outer;
    MovByteWriter(outer).AtomHeader(MovFourCC("moov"), nested.size() + 8);
    outer.insert(outer.end(), nested.begin(), nested.end());
    nested = std::move(outer);
  }
  MovAtomNode node;
  EXPECT_EQ(MovAtomNode::Parse(nested, node), MovErr::InvalidMovie);
}

TEST(MovAtomNode, WritesBackWhatItReadAndResizesChangedContainers) {
  auto stbl = Join({Atom("stsd", 8, 16), Atom("stts", 8, 16)});
  std::vector<uint8_t> moov;
  MovByteWriter(moov).AtomHeader(MovFourCC("trak"), stbl.size() + 8);
  moov.insert(moov.end(), stbl.begin(), stbl.end());
  std::vector<uint8_t> atom;
  MovByteWriter(atom).AtomHeader(MovFourCC("moov"), moov.size() + 8 + 4);
  atom.insert(atom.end(), moov.begin(), moov.end());
  atom.insert(atom.end(), {0, 0, 0, 0});  // terminator: accepted, not written back

  MovAtomNode node;
  ASSERT_EQ(MovAtomNode::Parse(atom, node), MovErr::Ok);
  std::vector<uint8_t> written;
  node.Serialize(written);
  std::vector<uint8_t> expected(atom.begin(), atom.end() - 4);
  MovByteWriter(expected).PatchU32(0, static_cast<uint32_t>(expected.size()));
  EXPECT_EQ(written, expected);

  node.FindPath({MovFourCC("trak"), MovFourCC("stts")})->SetPayload(movtest::Bytes("longer payload"));
  written.clear();
  node.Serialize(written);
  MovAtomNode reread;
  ASSERT_EQ(MovAtomNode::Parse(written, reread), MovErr::Ok);
  auto payload = reread.FindPath({MovFourCC("trak"), MovFourCC("stts")})->Payload();
  EXPECT_EQ(std::vector<uint8_t>(payload.begin(), payload.end()), movtest::Bytes("longer payload"));
}
