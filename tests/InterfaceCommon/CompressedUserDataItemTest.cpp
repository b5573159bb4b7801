#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "InterfaceCommon/CompressedUserDataItem.h"
#include "KsTrace.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "TraceCapture.h"
#include "Security/KsSignature.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/Chameleon.h"
#include "Utilities/Lexer.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/Parser.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"
#include "platform/movfile/MovDataCodec.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovUserData.h"

using hc::foundation::ByteHandle;
using hc::movfile::MovDataCodec;
using hc::movfile::MovFourCC;
using hc::movfile::MovUserData;

namespace {

constexpr uint32_t kTitle = MovFourCC("\xA9nam");
constexpr uint32_t kAutoPlay = MovFourCC("play");

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> ToVector(const ByteHandle& handle) {
  return std::vector<uint8_t>(handle.View().begin(), handle.View().end());
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint32_t U32At(std::span<const uint8_t> bytes, size_t at) {
  return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

std::vector<uint8_t> Description(uint32_t decompressorType, uint32_t descSize = 28, int32_t version = 1,
                                 size_t itemSize = 28) {
  std::vector<uint8_t> bytes(itemSize, 0);
  if (itemSize >= 4) PutU32(bytes, 0, descSize);
  if (itemSize >= 20) PutU32(bytes, 16, static_cast<uint32_t>(version));
  if (itemSize >= 24) PutU32(bytes, 20, decompressorType);
  return bytes;
}

std::vector<uint8_t> Serialized(const MovUserData& userData) {
  std::vector<uint8_t> bytes;
  userData.SerializePayload(bytes);
  return bytes;
}

std::vector<uint8_t> Zlib(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> compressed;
  EXPECT_EQ(MovDataCodec::Compress(MovDataCodec::kZlib, bytes, compressed), hc::movfile::MovErr::Ok);
  return compressed;
}

// A compressed item as a writer lays it out: the stated length, then the data.
std::vector<uint8_t> StatedItem(uint32_t statedLength, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> item(4);
  PutU32(item, 0, statedLength);
  item.insert(item.end(), data.begin(), data.end());
  return item;
}

class CompressedUserDataItem : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }

  // The atom-container form of a signature record, as the movie's object graphs are stored.
  static std::vector<uint8_t> SignatureContainer(const std::string& digest) {
    auto signature = KsMakeRef<KsSignature>();
    signature->SetDigestBase64(PWStringRef(digest));
    signature->SetKsPublicCertName(PWStringRef("Known certificate"));
    signature->SetUserDigestSignatureBase64(PWStringRef(std::string(600, 'Q')));
    hc::movfile::AtomContainer container;
    auto emitter = KsMakeRef<AtomEmitter>();
    emitter->SetAtomContainer(&container);
    auto writer = KsMakeRef<ObjectWriter>();
    writer->SetEmitter(emitter);
    writer->SetRootElementName(PWStringRef("Signature"));
    writer->SetTargetObject(signature);
    EXPECT_EQ(writer->WriteObject(), 0);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(container.Flatten(&bytes), hc::movfile::MovErr::Ok);
    return bytes;
  }

  static KsRef<KsSignature> ParseSignature(const ByteHandle& bytes) {
    auto holder = KsMakeRef<Chameleon>();
    auto parser = KsMakeRef<Parser>();
    parser->SetLexer(MakeObject<Lexer>("AtomLexer"));
    parser->SetRootObject(holder);
    EXPECT_EQ(parser->Parse(bytes.GetBytes(), bytes.GetSize()), 0);
    return holder->GetPropValue().DynamicCast<KsSignature>();
  }

  TraceCapture traces;
  std::string& trace = traces.text;
};

TEST_F(CompressedUserDataItem, WritesOneItemWithItsDescriptionAndReadsItBack) {
  const std::vector<uint8_t> container = SignatureContainer("first");
  const std::vector<uint8_t> second = SignatureContainer("second");
  for (uint32_t subtype : {kZlibDataCompressorType, 0u}) {
    SCOPED_TRACE(subtype);
    MovUserData userData;
    ASSERT_EQ(userData.AppendItem(kTitle, Bytes("title")), hc::movfile::MovErr::Ok);
    ASSERT_EQ(WriteCompressedUserDataItem(true, container, userData, subtype, kSourceDescriptionUserDataType), 0);
    ASSERT_EQ(userData.AppendItem(kAutoPlay, Bytes("\x01")), hc::movfile::MovErr::Ok);
    ASSERT_EQ(WriteCompressedUserDataItem(true, second, userData, subtype, kSourceDescriptionUserDataType), 0);

    // Other items keep their bytes and order; ours come last, one of each.
    ASSERT_EQ(userData.ItemCount(), 4u);
    EXPECT_EQ(userData.ItemTypeAt(0), kTitle);
    EXPECT_EQ(userData.ItemTypeAt(1), kAutoPlay);
    EXPECT_EQ(userData.ItemTypeAt(2), kSourceDescriptionUserDataType);
    EXPECT_EQ(userData.ItemTypeAt(3), kSampleDescriptionUserDataType);

    std::vector<uint8_t> expectedDescription = Description(subtype);
    EXPECT_EQ(std::vector<uint8_t>(userData.ItemPayloadAt(3).begin(), userData.ItemPayloadAt(3).end()),
              expectedDescription);
    const std::span<const uint8_t> item = userData.ItemPayloadAt(2);
    if (subtype == 0) {
      EXPECT_EQ(std::vector<uint8_t>(item.begin(), item.end()), second);
    } else {
      ASSERT_GE(item.size(), 4u);
      EXPECT_EQ(U32At(item, 0), second.size());
      EXPECT_LT(item.size(), second.size());
    }

    std::unique_ptr<ByteHandle> read;
    ASSERT_EQ(ReadCompressedUserDataItem(userData, kSourceDescriptionUserDataType, &read), 0);
    ASSERT_TRUE(read);
    EXPECT_EQ(ToVector(*read), second);
    KsRef<KsSignature> signature = ParseSignature(*read);
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->GetDigestBase64().Str(), "second");
  }
}

TEST_F(CompressedUserDataItem, AnItemWithoutItsDescriptionOrTheReverseIsNotStored) {
  MovUserData itemOnly;
  itemOnly.AppendItem(kSourceDescriptionUserDataType, Bytes("bytes"));
  MovUserData descriptionOnly;
  descriptionOnly.AppendItem(kSampleDescriptionUserDataType, Description(0));
  MovUserData none;
  for (const MovUserData* userData : {&itemOnly, &descriptionOnly, &none}) {
    std::unique_ptr<ByteHandle> read = std::make_unique<ByteHandle>();
    EXPECT_EQ(ReadCompressedUserDataItem(*userData, kSourceDescriptionUserDataType, &read), -2026);
    EXPECT_FALSE(read);
  }
}

// Stored items are untrusted: every hostile pairing answers an error and no
// handle, without reading past an item or allocating what it merely states.
TEST_F(CompressedUserDataItem, RefusesHostileDescriptionsAndItems) {
  const std::vector<uint8_t> text = Bytes(std::string(5000, 'x') + "end");
  std::vector<uint8_t> zeros(size_t{16} << 20, 0);
  const std::vector<uint8_t> bomb = Zlib(zeros);
  zeros = {};
  std::vector<uint8_t> truncated = Zlib(text);
  truncated.resize(truncated.size() / 2);
  const struct {
    const char* name;
    std::vector<uint8_t> description;
    std::vector<uint8_t> item;
    eAppErr expected;
    const char* message;
  } cases[] = {
      {"version 2 is refused before the size", Description(kZlibDataCompressorType, 99, 2), text, -630,
       "Expected sprite desc version 1, got v=2"},
      {"another stated size", Description(0, 27), text, -630, "Expected sprite desc of size 28, got size=27"},
      {"a description cut short", Description(0, 28, 1, 20), text, -630,
       "Expected sprite desc of size 28, got size=20"},
      {"an unknown codec", Description(MovFourCC("lzma")), StatedItem(8, text), -2003,
       "Couldn't open decompressor for type"},
      {"no length word", Description(kZlibDataCompressorType), Bytes("abc"), -630, "holds no length"},
      {"a length past the limit", Description(kZlibDataCompressorType), StatedItem(0xFFFFFFFF, Zlib(text)), -630,
       "more than an item may hold"},
      {"a length the data can't reach", Description(kZlibDataCompressorType),
       StatedItem(kMaxUserDataItemLength, Zlib(text)), -2290, "Error decompressing data: -2290"},
      {"more data than stated", Description(kZlibDataCompressorType), StatedItem(100, Zlib(text)), -2290,
       "Error decompressing data"},
      {"less data than stated", Description(kZlibDataCompressorType), StatedItem(6000, Zlib(text)), -2290,
       "Error decompressing data"},
      {"a bomb stating little", Description(kZlibDataCompressorType), StatedItem(1000, bomb), -2290,
       "Error decompressing data"},
      {"a truncated stream", Description(kZlibDataCompressorType), StatedItem(5003, truncated), -2290,
       "Error decompressing data"},
      {"data that is no stream", Description(kZlibDataCompressorType), StatedItem(5003, text), -2290,
       "Error decompressing data"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MovUserData userData;
    userData.AppendItem(kSampleDescriptionUserDataType, c.description);
    userData.AppendItem(kPresentationUserDataType, c.item);
    trace.clear();
    std::unique_ptr<ByteHandle> read;
    EXPECT_EQ(ReadCompressedUserDataItem(userData, kPresentationUserDataType, &read), c.expected);
    EXPECT_FALSE(read);
    EXPECT_NE(trace.find(c.message), std::string::npos) << trace;
  }
}

// A write that fails, whether in compressing or in adding either item, leaves
// the user data exactly as it was, old item and description included.
TEST_F(CompressedUserDataItem, AFailedWriteLosesNothing) {
  const std::vector<uint8_t> payload = SignatureContainer("new");
  const std::vector<uint8_t> oversized(kMaxUserDataItemLength + 1, 0);
  const struct {
    const char* name;
    uint32_t subtype;
    size_t fillerItems;  // besides the old item and its description
    const std::vector<uint8_t>* payload;
    eAppErr expected;
  } cases[] = {
      {"an unknown compressor", MovFourCC("lzma"), 0, &payload, -2003},
      {"a payload past the limit", kZlibDataCompressorType, 0, &oversized, -2291},
      {"no room for the item", kZlibDataCompressorType, MovUserData::kMaxItems - 2, &payload, -2291},
      {"no room for its description", kZlibDataCompressorType, MovUserData::kMaxItems - 3, &payload, -2291},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MovUserData userData;
    ASSERT_EQ(WriteCompressedUserDataItem(true, SignatureContainer("old"), userData, kZlibDataCompressorType,
                                          kPresentationUserDataType),
              0);
    for (size_t i = 0; i < c.fillerItems; ++i) userData.AppendItem(kTitle, Bytes("t"));
    userData.ClearChanged();
    const std::vector<uint8_t> before = Serialized(userData);

    EXPECT_EQ(WriteCompressedUserDataItem(true, *c.payload, userData, c.subtype, kPresentationUserDataType),
              c.expected);
    EXPECT_EQ(Serialized(userData), before);
    std::unique_ptr<ByteHandle> read;
    ASSERT_EQ(ReadCompressedUserDataItem(userData, kPresentationUserDataType, &read), 0);
    EXPECT_EQ(ToVector(*read), SignatureContainer("old"));
  }
}

}  // namespace

namespace {

using hc::movfile::MovErr;
using hc::movfile::MovFile;

std::vector<size_t> VisualTracks(const MovFile& movie) {
  std::vector<size_t> tracks;
  for (size_t i = 0; i < movie.TrackCount(); ++i) {
    if (movie.Track(i).HasVisualCharacteristic()) tracks.push_back(i);
  }
  return tracks;
}

// Tools we didn't write read the movie without complaint.
void ExpectToolsReadWithoutWarnings(const std::string& path) {
  const movtest::ToolResult exif = movtest::RunTool({"exiftool", "-v3", path});
  EXPECT_EQ(exif.status, 0);
  EXPECT_EQ(exif.out.find("Warning"), std::string::npos) << exif.out;
  EXPECT_EQ(movtest::RunToolErrors({"exiftool", "-v3", path}), "");
  const movtest::ToolResult info = movtest::RunTool({"mediainfo", "--Details=1", path});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out.find("Problem"), std::string::npos) << info.out;
  EXPECT_EQ(movtest::RunToolErrors({"mediainfo", path}), "");
}

}  // namespace

// Items go into movies that ffmpeg made, with the header at the end and at
// the front, and come back equal after each save; the media stay untouched.
TEST_F(CompressedUserDataItem, RoundTripsThroughMoviesFfmpegMade) {
  movtest::TempDir dir;
  for (bool headerFirst : {false, true}) {
    SCOPED_TRACE(headerFirst ? "header first" : "header last");
    const std::string path = dir.File(headerFirst ? "first.mov" : "last.mov");
    movtest::MakeThreeTrackMovie(path, headerFirst);
    const std::string frames = movtest::FrameMd5(path);
    ASSERT_FALSE(frames.empty());

    for (uint32_t subtype : {kZlibDataCompressorType, 0u}) {
      const std::vector<uint8_t> presentation = SignatureContainer("presentation " + std::to_string(subtype));
      {
        MovFile movie;
        ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
        ASSERT_EQ(movie.LoadTrackFacts(), MovErr::Ok);
        ASSERT_EQ(VisualTracks(movie).size(), 2u);
        ASSERT_EQ(WriteCompressedUserDataItem(true, presentation, movie.UserData(), subtype, kPresentationUserDataType),
                  0);
        for (size_t track : VisualTracks(movie)) {
          ASSERT_EQ(WriteCompressedUserDataItem(true, SignatureContainer("track " + std::to_string(track)),
                                                movie.Track(track).UserData(), subtype, kSourceDescriptionUserDataType),
                    0);
        }
        ASSERT_EQ(movie.Save(), MovErr::Ok);
      }

      MovFile reread;
      ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
      ASSERT_EQ(reread.LoadTrackFacts(), MovErr::Ok);
      std::unique_ptr<ByteHandle> read;
      ASSERT_EQ(ReadCompressedUserDataItem(reread.UserData(), kPresentationUserDataType, &read), 0);
      EXPECT_EQ(ToVector(*read), presentation);
      EXPECT_EQ(reread.UserData().CountItems(kSampleDescriptionUserDataType), 1u);
      for (size_t track : VisualTracks(reread)) {
        const MovUserData& userData = reread.Track(track).UserData();
        ASSERT_EQ(ReadCompressedUserDataItem(userData, kSourceDescriptionUserDataType, &read), 0);
        EXPECT_EQ(ParseSignature(*read)->GetDigestBase64().Str(), "track " + std::to_string(track));
        EXPECT_EQ(userData.CountItems(kSourceDescriptionUserDataType), 1u);
        EXPECT_EQ(userData.CountItems(kSampleDescriptionUserDataType), 1u);
      }
      EXPECT_EQ(movtest::FrameMd5(path), frames);
      ExpectToolsReadWithoutWarnings(path);
    }
  }
}
