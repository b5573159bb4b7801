#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

size_t Find(const std::vector<uint8_t>& bytes, const std::string& type) {
  const std::vector<uint8_t> pattern = Bytes(type);
  auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  if (at == bytes.end()) throw std::runtime_error("no " + type);
  return static_cast<size_t>(at - bytes.begin());
}

// Opens the bytes as a movie and uses everything it offers; answers the open's result.
MovErr OpenAndUse(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteBytes(path, bytes);
  MovFile movie;
  MovErr err = movie.OpenForUpdate(path);
  if (err == MovErr::Ok) err = movie.LoadTracks();
  if (err != MovErr::Ok) return err;
  for (size_t i = 0; i < movie.TrackCount(); ++i) {
    const MovTrack& track = movie.Track(i);
    track.DataSize();
    std::vector<uint8_t> sample;
    movie.ReadSample(track, 1, sample);
    movie.ReadSample(track, track.Samples().SampleCount(), sample);
  }
  std::vector<MovMetadataItem> items;
  movie.Metadata(items);
  movie.UserData().AppendItem(MovFourCC("Hcpr"), Bytes("x"));
  movie.Save();
  return MovErr::Ok;
}

}  // namespace

TEST(MovHostileFile, AnswersErrorsForDamagedStructure) {
  const std::vector<uint8_t> good = ReadBytes(MovFixtures::Get().headerFirst);
  const size_t moov = Find(good, "moov") - 4;
  TempDir dir;
  std::string path = dir.File("hostile.mov");

  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    MovErr expected;
  };
  std::vector<Case> cases;
  auto patched = [&](const std::string& name, const std::string& type, size_t fieldOffset, uint32_t value,
                     MovErr expected) {
    std::vector<uint8_t> bytes = good;
    MovByteWriter(bytes).PatchU32(Find(bytes, type) + fieldOffset, value);
    cases.push_back({name, bytes, expected});
  };
  cases.push_back({"empty file", {}, MovErr::NoMovieFound});
  cases.push_back({"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(moov) + 100),
                   MovErr::InvalidMovie});
  patched("header size past the end", "moov", -4, 0x7FFFFFF0, MovErr::InvalidMovie);
  patched("header size below 8", "moov", -4, 5, MovErr::InvalidMovie);
  patched("track size past its parent", "trak", -4, 0x00FFFFFF, MovErr::InvalidMovie);
  patched("huge sample count", "stsz", 12, 0xFFFFFFF0, MovErr::InvalidSampleTable);
  patched("huge chunk count", "stco", 8, 0x40000000, MovErr::InvalidSampleTable);
  patched("huge description count", "stsd", 8, 0xFFFFFFFF, MovErr::InvalidSampleTable);
  patched("huge time-to-sample count", "stts", 8, 0x20000000, MovErr::InvalidSampleTable);
  patched("huge edit count", "elst", 8, 0x10000000, MovErr::BadEditList);
  patched("user-data item past its parent", "\xA9nam", -4, 0x1000, MovErr::InvalidMovie);
  patched("track header cut short", "tkhd", -4, 12, MovErr::InvalidTrack);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OpenAndUse(path, c.bytes), c.expected);
  }
}

TEST(MovHostileFile, RefusesLyingCompressedHeaders) {
  TempDir dir;
  std::string flat = dir.File("compressed.mov");
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(MovFixtures::Get().headerLast), MovErr::Ok);
  MovFlattenOptions options;
  options.compressHeader = true;
  ASSERT_EQ(movie.FlattenTo(flat, options), MovErr::Ok);
  const std::vector<uint8_t> good = ReadBytes(flat);
  const size_t length = Find(good, "cmvd") + 4;

  struct Case {
    const char* name;
    size_t offset;
    uint32_t value;
    MovErr expected;
  };
  const Case cases[] = {
      {"declared length past the limit", length, 0xFFFFFFFF, MovErr::SizeLimitExceeded},
      {"declared length too short", length, 100, MovErr::CodecDataCorrupt},
      {"unknown codec", Find(good, "dcom") + 4, MovFourCC("lzss"), MovErr::CodecNotFound},
      {"damaged stream", length + 8, 0xDEADBEEF, MovErr::CodecDataCorrupt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = good;
    MovByteWriter(bytes).PatchU32(c.offset, c.value);
    EXPECT_EQ(OpenAndUse(dir.File("hostile.mov"), bytes), c.expected);
  }
}

// Random damage to the header never crashes, reads out of bounds or
// allocates without bound; every truncation answers an error or a movie.
TEST(MovHostileFile, SurvivesRandomDamageAndEveryTruncation) {
  const std::vector<uint8_t> good = ReadBytes(MovFixtures::Get().headerFirst);
  const size_t moov = Find(good, "moov") - 4;
  MovFile probe;
  ASSERT_EQ(probe.OpenForRead(MovFixtures::Get().headerFirst), MovErr::Ok);
  const size_t moovEnd = moov + static_cast<size_t>(probe.HeaderAtom().size);
  TempDir dir;
  std::string path = dir.File("hostile.mov");

  std::mt19937 random(1234);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> bytes = good;
    int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) {
      size_t at = moov + random() % (moovEnd - moov);
      bytes[at] = random() % 3 == 0 ? 0xFF : static_cast<uint8_t>(random());
    }
    OpenAndUse(path, bytes);
  }
  for (size_t length = 0; length < moovEnd; length += 61) {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<long>(length));
    MovErr err = OpenAndUse(path, bytes);
    EXPECT_NE(err, MovErr::Ok) << length;
  }
}
