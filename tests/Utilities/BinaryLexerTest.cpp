#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/BinaryLexer.h"
#include "Utilities/DataBuffer.h"

namespace {

// Streams written by hand, token by token.
class Stream {
 public:
  Stream& Header(uint32_t version = 1) {
    Raw("KsHc");
    return Tag(5).U32(version);
  }
  Stream& Tag(uint8_t tag) {
    bytes.push_back(tag);
    return *this;
  }
  Stream& U32(uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    return *this;
  }
  Stream& Raw(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  Stream& String(const std::string& text) { return Tag(6).U32(static_cast<uint32_t>(text.size())).Raw(text); }
  Stream& Property(const std::string& name) { return Tag(1).String(name); }
  Stream& Object(const std::string& className) { return Tag(2).String(className); }
  Stream& Int(int32_t value) { return Tag(4).U32(static_cast<uint32_t>(value)); }

  std::vector<uint8_t> bytes;
};

class BinaryLexerTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFormClasses(); }

  eAppErr Read(const std::vector<uint8_t>& bytes) {
    holder = KsMakeRef<Sample>();
    reporter.warnings.clear();
    return ParseBytes("BinaryLexer", bytes, holder, &reporter);
  }

  KsRef<Sample> holder;
  RecordingReporter reporter;
};

}  // namespace

TEST_F(BinaryLexerTest, AStreamFedOneByteAtATimeGivesTheSameEvents) {
  const WrittenBytes written = WriteBinaryStream(MakeFullSample(), "Child");
  ASSERT_EQ(0, written.result);

  auto whole = KsMakeRef<EventLog>();
  whole->SetLexer(KsMakeRef<BinaryLexer>());
  whole->SetRootObject(KsMakeRef<Sample>());
  ASSERT_EQ(0, whole->Parse(written.bytes.data(), written.bytes.size()));

  auto pieces = KsMakeRef<EventLog>();
  auto lexer = KsMakeRef<BinaryLexer>();
  lexer->SetExpectsMoreInput(true);
  for (size_t i = 0; i < written.bytes.size(); ++i) {
    if (i + 1 == written.bytes.size()) lexer->SetExpectsMoreInput(false);
    ASSERT_EQ(0, lexer->Parse(pieces, &written.bytes[i], 1)) << "byte " << i;
  }
  EXPECT_GT(whole->events.size(), 40u);
  EXPECT_EQ(whole->events, pieces->events);
}

TEST_F(BinaryLexerTest, EveryTruncationIsRefused) {
  const WrittenBytes written = WriteBinaryStream(MakeFullSample(), "Child");
  for (size_t length = 0; length < written.bytes.size(); ++length) {
    const std::vector<uint8_t> prefix(written.bytes.begin(), written.bytes.begin() + static_cast<long>(length));
    // The header alone is an empty document.
    EXPECT_EQ(length == BinaryLexer::kHeaderSize ? 0 : -630, Read(prefix)) << "length " << length;
  }
}

TEST_F(BinaryLexerTest, CorruptedBytesAnswerErrorsOrLoadWhatTheyCan) {
  const WrittenBytes written = WriteBinaryStream(MakeFullSample(), "Child");
  for (size_t position = 0; position < written.bytes.size(); ++position) {
    for (uint8_t value : {0x00, 0x01, 0x06, 0x0F, 0x7F, 0x80, 0xFF}) {
      std::vector<uint8_t> bytes = written.bytes;
      bytes[position] = value;
      EXPECT_LE(Read(bytes), 0);
    }
  }
}

TEST_F(BinaryLexerTest, DamagedStreamsEndTheParseWithAWarning) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* warning;
  };
  Stream nested;
  nested.Header();
  for (uint32_t level = 0; level <= BinaryLexer::kMaxObjectDepth; ++level) nested.Property("Child").Object("SerialSample");
  const Case cases[] = {
      {"string count near 4 GiB", Stream().Header().Property("Child").Tag(2).Tag(6).U32(0xFFFFFFFF).bytes,
       "longer than"},
      {"string count past the input", Stream().Header().Tag(1).Tag(6).U32(1000).Raw("abc").bytes,
       "Binary data ends inside a token"},
      {"tag 0", Stream().Header().Tag(0).bytes, "Unknown token encountered"},
      {"tag 15", Stream().Header().Property("Child").Object("SerialSample").Tag(15).bytes,
       "Unknown token encountered"},
      {"name not a string", Stream().Header().Tag(1).Int(3).bytes, "Invalid/unknown property token"},
      {"class not a string", Stream().Header().Property("Child").Tag(2).Int(3).bytes, "Invalid object type"},
      {"name not UTF-8", Stream().Header().Property("Ch\xC3\x28").bytes, "String token is not UTF-8"},
      {"text not UTF-8",
       Stream().Header().Property("Child").Object("SerialSample").Property("Text").String("\xED\xA0\x80").bytes,
       "String token is not UTF-8"},
      {"class name not UTF-8", Stream().Header().Property("Child").Object("Serial\xFF").bytes,
       "String token is not UTF-8"},
      {"objects nested too deeply", nested.bytes, "Objects nested too deeply"},
      {"no bytes at all", {}, "No binary data"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(-630, Read(c.bytes)) << c.what;
    EXPECT_TRUE(reporter.Saw(c.warning)) << c.what;
  }
}

TEST_F(BinaryLexerTest, HugeCountsFailAtOnceEvenWhenMoreInputIsExpected) {
  auto parser = KsMakeRef<Parser>();
  parser->SetReporter(&reporter);
  auto lexer = KsMakeRef<BinaryLexer>();
  parser->SetLexer(lexer);
  lexer->SetExpectsMoreInput(true);
  const auto bytes = Stream().Header().Tag(1).Tag(6).U32(0x80000000).bytes;
  EXPECT_EQ(-630, lexer->Parse(parser, bytes.data(), bytes.size()));
  ASSERT_EQ(1u, reporter.warnings.size());
  EXPECT_EQ("offset 10 in data stream", reporter.warnings[0].location);
}

TEST_F(BinaryLexerTest, WarningsNameTheOffsetOfTheToken) {
  EXPECT_EQ(-630, Read(Stream().Header().Property("Child").Object("SerialSample").Tag(0).bytes));
  ASSERT_EQ(1u, reporter.warnings.size());
  // 9 header bytes, 11 for the property, 18 for the object.
  EXPECT_EQ("offset 38 in data stream", reporter.warnings[0].location);
}

TEST_F(BinaryLexerTest, SignatureAndVersionOnlyWarn) {
  auto body = Stream().Property("Child").Object("SerialSample").Property("Int").Int(7).Tag(3);
  EXPECT_EQ(0, Read(body.bytes));
  EXPECT_TRUE(reporter.Saw("Unexpected (or no) signature encountered at beginning of binary data."));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(7, holder->GetChild()->GetInt());

  Stream versioned;
  versioned.Header(2).bytes.insert(versioned.bytes.end(), body.bytes.begin(), body.bytes.end());
  EXPECT_EQ(0, Read(versioned.bytes));
  EXPECT_TRUE(reporter.Saw("Binary data is version 2; expected 1."));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(7, holder->GetChild()->GetInt());
}

TEST_F(BinaryLexerTest, ValuesReadAsTheirTokensSay) {
  const auto bytes = Stream()
                         .Header()
                         .Property("Child")
                         .Object("SerialSample")
                         .Property("Flag")
                         .Tag(7)
                         .Tag(255)
                         .Property("Text")
                         .String(std::string("ab\0cd", 5))
                         .Property("Other")
                         .Object("NoSuchClass")
                         .Property("Int")
                         .Int(1)
                         .Tag(3)
                         .Property("Int")
                         .Int(7)
                         .Tag(3)
                         .bytes;
  EXPECT_EQ(0, Read(bytes));
  KsRef<Sample> child = holder->GetChild();
  ASSERT_TRUE(child);
  EXPECT_TRUE(child->GetFlag());
  EXPECT_EQ("ab", child->GetText().Str());
  // The unknown class is skipped with what it holds; its sibling still loads.
  EXPECT_TRUE(reporter.Saw("Unknown type (NoSuchClass) encountered"));
  EXPECT_FALSE(child->GetOther());
  EXPECT_EQ(7, child->GetInt());
}

TEST(DataBufferTest, UnreadBytesMoveToTheFrontBeforeTheStorageGrows) {
  DataBuffer buffer(16);
  const std::string bytes = "0123456789abcdefghijklmnopqrstuvwxyz";
  buffer.Append(bytes.data(), 10);
  buffer.Consume(8);
  buffer.Append(bytes.data() + 10, 10);
  EXPECT_EQ(16u, buffer.GetCapacity());
  EXPECT_EQ("89abcdefghij", std::string(reinterpret_cast<const char*>(buffer.GetReadPointer()), buffer.GetUsed()));
  buffer.Append(bytes.data() + 20, 16);
  EXPECT_EQ(28u, buffer.GetCapacity());
  EXPECT_EQ("offset 8 in data stream", buffer.CreateLocation()->CreateString().Str());
  buffer.Consume(buffer.GetUsed());
  EXPECT_EQ(36u, buffer.GetConsumedCount());
}
