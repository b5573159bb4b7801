#include "Security/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KsTrace.h"
#include "SecurityTestSupport.h"
#include "ToolRunner.h"

using hc::foundation::ByteHandle;

namespace {

std::string HandleBytes(const ByteHandle& handle) {
  return std::string(reinterpret_cast<const char*>(handle.GetBytes()), handle.GetSize());
}

ByteHandle HandleOf(const std::string& bytes) {
  ByteHandle handle;
  handle.Assign(bytes.data(), bytes.size());
  return handle;
}

std::string TrimmedTrailingNewline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Sizes around the 3-byte groups and the 48-byte lines, and past the slices
// in which bytes go through the crypto library.
const size_t kSizes[] = {1, 2, 3, 4, 32, 47, 48, 49, 95, 96, 128, 1000, 200003};

}  // namespace

TEST(Base64, EncodesAsTheBase64CommandWrapsAt64) {
  ScratchFolder folder;
  for (size_t size : kSizes) {
    const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
    const auto input = folder.Write("bytes", bytes);
    const std::string expected = TrimmedTrailingNewline(RunTool({"base64", "-w", "64"}, input));
    EXPECT_EQ(expected, Base64EncodeBytes(bytes.data(), bytes.size()).Str()) << size << " bytes";
  }
}

TEST(Base64, EncodedLinesHold64CharactersWithNoTrailingBreak) {
  struct Case {
    size_t bytes;
    std::vector<size_t> lineLengths;
  } cases[] = {
      {32, {44}}, {48, {64}}, {49, {64, 4}}, {128, {64, 64, 44}},
  };
  for (const Case& c : cases) {
    const std::string bytes = RandomBytes(c.bytes, 7);
    const std::string text = Base64EncodeBytes(bytes.data(), bytes.size()).Str();
    std::vector<size_t> lengths;
    for (size_t start = 0;;) {
      const size_t end = text.find('\n', start);
      lengths.push_back((end == std::string::npos ? text.size() : end) - start);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    EXPECT_EQ(c.lineLengths, lengths) << c.bytes << " bytes: " << text;
  }
  const PWStringRef empty = Base64EncodeBytes(nullptr, 0);
  EXPECT_FALSE(empty.IsNull());
  EXPECT_EQ("", empty.Str());
  EXPECT_TRUE(Base64EncodeBytes(nullptr, 5).IsNull());
}

TEST(Base64, DecodesTheBase64CommandAtEveryLineWidth) {
  ScratchFolder folder;
  for (size_t size : kSizes) {
    const std::string bytes = RandomBytes(size, static_cast<unsigned>(size) + 1);
    const auto input = folder.Write("bytes", bytes);
    for (const char* width : {"0", "64", "76"}) {
      const std::string text = RunTool({"base64", "-w", width}, input);
      std::string crlf;
      for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
      for (const std::string& variant : {text, TrimmedTrailingNewline(text), crlf}) {
        ByteHandle handle;
        ASSERT_EQ(AppErr::kNoErr, Base64DecodeToHandle(PWStringRef(variant), &handle))
            << size << " bytes, width " << width;
        EXPECT_EQ(bytes, HandleBytes(handle)) << size << " bytes, width " << width;
      }
    }
  }
}

TEST(Base64, OwnTextDecodesToTheSameBytes) {
  for (size_t size : kSizes) {
    const std::string bytes = RandomBytes(size, 99);
    ByteHandle handle;
    ASSERT_EQ(AppErr::kNoErr,
              Base64DecodeToHandle(Base64EncodeBytes(bytes.data(), bytes.size()), &handle));
    EXPECT_EQ(bytes, HandleBytes(handle)) << size;
  }
}

TEST(Base64, EmptyOrBlankTextDecodesToNoBytes) {
  for (const char* text : {"", "\n", " \r\n\t"}) {
    ByteHandle handle = HandleOf("old");
    ASSERT_EQ(AppErr::kNoErr, Base64DecodeToHandle(PWStringRef(text), &handle));
    EXPECT_EQ(0u, handle.GetSize());
  }
}

TEST(Base64, TextThatIsNotBase64FailsAndLeavesTheHandle) {
  const std::string cases[] = {
      "QUJ",            // not a whole group
      "QUJDR",          // a group and one character
      "QU=D",           // padding inside a group
      "QQ==QUJD",       // data after the padding
      "QQ===",          // too much padding
      "====",
      "QUJD!",          // outside the alphabet
      "QUJD-QUJD",      // '-' would end the decoder's input early
      "QUJD\xC3\xA9",   // not ASCII
      "QUJD_-",         // the URL-safe alphabet
      std::string("QU\0JD", 5),
  };
  for (const std::string& text : cases) {
    ByteHandle handle = HandleOf("keep");
    EXPECT_EQ(AppErr::kTextNotConvertible, Base64DecodeToHandle(PWStringRef(text), &handle))
        << text;
    EXPECT_EQ("keep", HandleBytes(handle)) << text;
  }
  ByteHandle handle = HandleOf("keep");
  EXPECT_EQ(AppErr::kBadArgument, Base64DecodeToHandle(PWStringRef(), &handle));
  EXPECT_EQ("keep", HandleBytes(handle));
  EXPECT_EQ(AppErr::kBadArgument, Base64DecodeToHandle(PWStringRef("QUJD"), nullptr));
}

TEST(Base64, FailedDecodingIsTraced) {
  ScratchFolder folder;
  const auto settings = folder.Write("sampleTraceSettings.xml", "<TraceSettings/>");
  std::vector<std::string> lines;
  KsTrace::ResetSettings();
  KsTrace::LoadSettings(PWStringRef(settings.string()), /*defaultVerbose=*/true);
  KsTrace::SetOutputSink([&lines](const std::string& line) { lines.push_back(line); });

  ByteHandle handle;
  Base64DecodeToHandle(PWStringRef("not base64"), &handle);

  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();
  ASSERT_EQ(1u, lines.size());
  EXPECT_NE(std::string::npos, lines[0].find("Base64DecodeToHandle: Returning AppErr -900."))
      << lines[0];
}

TEST(Base64, EncodesAHandlesBytesAndNothingForNoHandle) {
  EXPECT_TRUE(Base64EncodeHandle(nullptr).IsNull());
  ByteHandle empty;
  EXPECT_TRUE(Base64EncodeHandle(&empty).IsNull());
  const ByteHandle handle = HandleOf("Halcyon");
  EXPECT_EQ("SGFsY3lvbg==", Base64EncodeHandle(&handle).Str());
}
