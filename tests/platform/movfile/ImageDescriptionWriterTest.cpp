#include "platform/movfile/ImageDescriptionWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovImageDescription.h"

using namespace hc::movfile;

namespace {

TEST(ImageDescriptionWriterTest, WritesTheBigEndianRecord) {
  ImageDescriptionFields fields;
  fields.codecType = MovFourCC("png ");
  fields.width = 1000;
  fields.height = 500;
  fields.depth = 32;
  fields.dataSize = 123456;
  fields.compressorName = "PNG";
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ImageDescriptionWriter::Write(fields, bytes), MovErr::Ok);
  ASSERT_EQ(bytes.size(), 86u);

  MovImageDescription description;
  ASSERT_EQ(MovImageDescription::Parse(bytes, description), MovErr::Ok);
  EXPECT_EQ(description.CodecType(), MovFourCC("png "));
  EXPECT_EQ(description.Width(), 1000);
  EXPECT_EQ(description.Height(), 500);
  EXPECT_EQ(description.Depth(), 32);
  EXPECT_EQ(description.ClutId(), -1);

  MovByteReader reader(bytes);
  reader.Skip(36);
  EXPECT_EQ(reader.U32(), 72u << 16);  // horizontal resolution
  EXPECT_EQ(reader.U32(), 72u << 16);
  EXPECT_EQ(reader.U32(), 123456u);    // data size
  EXPECT_EQ(reader.U16(), 1);          // frame count
  EXPECT_EQ(reader.U8(), 3);           // compressor name, a Pascal string of 32 bytes
  auto name = reader.Bytes(31);
  EXPECT_EQ(std::string(name.begin(), name.begin() + 3), "PNG");
  EXPECT_TRUE(std::all_of(name.begin() + 3, name.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ImageDescriptionWriterTest, RefusesWhatTheRecordCannotHold) {
  const std::string longName(40, 'x');
  struct Case {
    const char* what;
    ImageDescriptionFields fields;
    MovErr expected;
  };
  const Case cases[] = {
      {"widest", {MovFourCC("jpeg"), 65535, 1, 24, 0, ""}, MovErr::Ok},
      {"too wide", {MovFourCC("jpeg"), 65536, 1, 24, 0, ""}, MovErr::SizeLimitExceeded},
      {"too tall", {MovFourCC("jpeg"), 1, 70000, 24, 0, ""}, MovErr::SizeLimitExceeded},
      {"no width", {MovFourCC("jpeg"), 0, 1, 24, 0, ""}, MovErr::BadArgument},
      {"no codec", {0, 1, 1, 24, 0, ""}, MovErr::BadArgument},
      {"long name cut to 31 bytes", {MovFourCC("jpeg"), 1, 1, 24, 0, longName}, MovErr::Ok},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ImageDescriptionWriter::Write(c.fields, bytes), c.expected) << c.what;
    EXPECT_EQ(bytes.size(), c.expected == MovErr::Ok ? 86u : 0u) << c.what;
  }
}

}  // namespace
