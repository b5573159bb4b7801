#include <gtest/gtest.h>

#include <zlib.h>

#include <vector>

#include "platform/movfile/MovDataCodec.h"

using namespace hc::movfile;

TEST(MovDataCodec, ZlibRoundTripsAndDecodesWithZlibItself) {
  std::vector<uint8_t> input(5000);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7 % 13);
  std::vector<uint8_t> packed;
  ASSERT_EQ(MovDataCodec::Compress(MovDataCodec::kZlib, input, packed), MovErr::Ok);
  EXPECT_LT(packed.size(), input.size());

  uLongf length = static_cast<uLongf>(input.size());
  std::vector<uint8_t> byZlib(input.size());
  ASSERT_EQ(uncompress(byZlib.data(), &length, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
  EXPECT_EQ(byZlib, input);

  std::vector<uint8_t> unpacked;
  ASSERT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, packed, input.size(), unpacked), MovErr::Ok);
  EXPECT_EQ(unpacked, input);
}

TEST(MovDataCodec, ChecksDeclaredLengthsAndCodecs) {
  std::vector<uint8_t> input(1000, 'x');
  std::vector<uint8_t> packed;
  ASSERT_EQ(MovDataCodec::Compress(MovDataCodec::kZlib, input, packed), MovErr::Ok);
  std::vector<uint8_t> out;
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, packed, 999, out), MovErr::CodecDataCorrupt);
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, packed, 1001, out), MovErr::CodecDataCorrupt);
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, std::span(packed).first(packed.size() / 2), 1000, out),
            MovErr::CodecDataCorrupt);
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, packed, MovDataCodec::kMaxDecompressedLength + 1, out),
            MovErr::SizeLimitExceeded);
  // A length no zlib stream of this size can reach is refused before allocating it.
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, packed, 200u << 20, out), MovErr::CodecDataCorrupt);
  std::vector<uint8_t> garbage(64, 0x5A);
  EXPECT_EQ(MovDataCodec::Decompress(MovDataCodec::kZlib, garbage, 64, out), MovErr::CodecDataCorrupt);

  for (uint32_t unknown : {uint32_t{0}, MovFourCC("rle "), MovFourCC("ZLIB")}) {
    EXPECT_EQ(MovDataCodec::Compress(unknown, input, out), MovErr::CodecNotFound);
    EXPECT_EQ(MovDataCodec::Decompress(unknown, packed, 1000, out), MovErr::CodecNotFound);
  }
}
