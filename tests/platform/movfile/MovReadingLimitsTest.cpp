// Movies whose headers declare far more than their bytes can hold: reading
// them answers a clear error, or a figure in bounded time and memory.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovMetadataReader.h"
#include "platform/movfile/MovSampleTable.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

// Far above what these cases take when healthy (milliseconds and a few MB).
constexpr double kMaxSeconds = 3.0;
constexpr long kMaxGrowthKb = 256 * 1024;

long PeakKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void SetMovieChild(MovAtomNode& moov, uint32_t type, const std::vector<uint8_t>& payload) {
  if (MovAtomNode* child = moov.FindChild(type)) {
    child->SetPayload(payload);
  } else {
    moov.Children().push_back(MovAtomNode::Leaf(type, payload));
  }
}

std::vector<uint8_t> Atom(uint32_t type, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  writer.AtomHeader(type, payload.size() + 8);
  writer.Bytes(payload);
  return bytes;
}

// User data holding one text item of `strings` empty strings (4 bytes each).
std::vector<uint8_t> TextItemWithEmptyStrings(size_t strings) {
  return Atom(MovFourCC("\xA9" "nam"), std::vector<uint8_t>(strings * 4, 0));
}

// A 'meta' box (movie-header form) with one key of `keyBytes` bytes that
// `entries` items of one byte each name.
std::vector<uint8_t> MetaWithRepeatedKey(size_t keyBytes, size_t entries) {
  std::vector<uint8_t> hdlr = Words({0, MovFourCC("mdta"), 0, 0, 0});
  std::vector<uint8_t> keys;
  MovByteWriter keyWriter(keys);
  keyWriter.U32(0);
  keyWriter.U32(1);
  keyWriter.U32(static_cast<uint32_t>(keyBytes + 8));
  keyWriter.U32(MovFourCC("mdta"));
  keys.resize(keys.size() + keyBytes, 'k');
  std::vector<uint8_t> ilst;
  const std::vector<uint8_t> data = Atom(MovFourCC("data"), {0, 0, 0, 1, 0, 0, 0, 0, 'x'});
  const std::vector<uint8_t> entry = Atom(1, data);
  for (size_t i = 0; i < entries; ++i) ilst.insert(ilst.end(), entry.begin(), entry.end());
  std::vector<uint8_t> meta = Atom(MovFourCC("hdlr"), hdlr);
  for (const auto& part : {Atom(MovFourCC("keys"), keys), Atom(MovFourCC("ilst"), ilst)}) {
    meta.insert(meta.end(), part.begin(), part.end());
  }
  return meta;
}

}  // namespace

TEST(MovReadingLimits, RefusesMetadataPastItsLimits) {
  TempDir dir;
  struct Case {
    const char* name;
    uint32_t atom;
    std::vector<uint8_t> payload;
    bool compress;
  };
  const Case cases[] = {
      {"text strings past the item limit", MovFourCC("udta"),
       TextItemWithEmptyStrings(MovMetadataReader::kMaxItems + 1), false},
      {"the same in a compressed header expanding 500 times", MovFourCC("udta"), TextItemWithEmptyStrings(2000000),
       true},
      {"a long key named by many items", MovFourCC("meta"),
       MetaWithRepeatedKey(size_t{1} << 16, MovMetadataReader::kMaxItemBytes / (size_t{1} << 16) + 1), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("metadata.mov");
    RewriteHeader(MovFixtures::Get().headerLast, path,
                  [&](MovAtomNode& moov) { SetMovieChild(moov, c.atom, c.payload); }, c.compress);
    const long peakBefore = PeakKb();
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    std::vector<MovMetadataItem> items = {MovMetadataItem()};
    EXPECT_EQ(movie.Metadata(items), MovErr::SizeLimitExceeded);
    EXPECT_TRUE(items.empty());
    EXPECT_LT(PeakKb() - peakBefore, kMaxGrowthKb);
  }
  // At the limit the items are all there.
  const std::string path = dir.File("at-limit.mov");
  RewriteHeader(MovFixtures::Get().headerLast, path, [](MovAtomNode& moov) {
    SetMovieChild(moov, MovFourCC("udta"), TextItemWithEmptyStrings(MovMetadataReader::kMaxItems));
  });
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
  std::vector<MovMetadataItem> items;
  ASSERT_EQ(movie.Metadata(items), MovErr::Ok);
  EXPECT_EQ(items.size(), MovMetadataReader::kMaxItems);
}

TEST(MovReadingLimits, RefusesMoreSampleDescriptionsThanItTakes) {
  TempDir dir;
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed header" : "plain header");
    const std::string path = dir.File("descriptions.mov");
    RewriteHeader(MovFixtures::Get().headerLast, path, [](MovAtomNode& moov) {
      // Two million 8-byte descriptions: 16 MB that a compressed header holds in a few KB.
      const uint32_t count = 2000000;
      std::vector<uint8_t> stsd = Words({count});
      const std::vector<uint8_t> entry = Atom(MovFourCC("none"), {});
      stsd.reserve(stsd.size() + size_t{count} * entry.size());
      for (uint32_t i = 0; i < count; ++i) stsd.insert(stsd.end(), entry.begin(), entry.end());
      SetSampleTableAtom(moov, 0, MovFourCC("stsd"), stsd);
    }, compress);
    const long peakBefore = PeakKb();
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    EXPECT_EQ(movie.LoadTracks(), MovErr::SizeLimitExceeded);
    EXPECT_LT(PeakKb() - peakBefore, kMaxGrowthKb);
  }
}

// Sample and edit tables built to make a per-sample or a runs-times-edits
// computation of the data size take minutes and gigabytes.
TEST(MovReadingLimits, DataSizeTakesTimeInRunsAndEditsNotInSamples) {
  TempDir dir;
  constexpr uint32_t kManySamples = 1u << 26;
  constexpr uint32_t kRuns = 100000;
  struct Case {
    const char* name;
    std::function<void(MovAtomNode& moov, uint32_t movieScale, uint32_t mediaScale)> edit;
    uint64_t expected;
  };
  // 2^26 samples of 2 bytes, one time unit each, half of them shown 5 units late.
  auto manySamples = [](MovAtomNode& moov) {
    SetSampleTableAtom(moov, 0, MovFourCC("stts"), Words({1, kManySamples, 1}));
    SetSampleTableAtom(moov, 0, MovFourCC("ctts"), Words({2, kManySamples / 2, 0, kManySamples / 2, 5}));
    SetSampleTableAtom(moov, 0, MovFourCC("stsz"), Words({2, kManySamples}));
  };
  auto setEdits = [](MovAtomNode& moov, const std::vector<uint8_t>& elst) {
    MovAtomNode* trak = moov.FindChild(MovFourCC("trak"));
    MovAtomNode* edts = trak->FindChild(MovFourCC("edts"));
    if (!edts) {
      trak->Children().push_back(MovAtomNode::Container(MovFourCC("edts")));
      edts = &trak->Children().back();
    }
    edts->Children().clear();
    edts->Children().push_back(MovAtomNode::Leaf(MovFourCC("elst"), elst));
  };
  const Case cases[] = {
      {"2^26 samples with composition offsets, no edits",
       [&](MovAtomNode& moov, uint32_t, uint32_t) {
         manySamples(moov);
         MovAtomNode* trak = moov.FindChild(MovFourCC("trak"));
         std::erase_if(trak->Children(), [](const MovAtomNode& child) { return child.Type() == MovFourCC("edts"); });
       },
       uint64_t{kManySamples} * 2},
      {"2,000 edits that meet no sample",
       [&](MovAtomNode& moov, uint32_t, uint32_t) {
         manySamples(moov);
         std::vector<uint32_t> words = {2000};
         for (uint32_t i = 0; i < 2000; ++i) words.insert(words.end(), {10, kManySamples + 100 + 20 * i, 0x10000});
         setEdits(moov, Words(words));
       },
       0},
      {"100,000 time runs and 100,000 edits, each showing every other sample",
       [&](MovAtomNode& moov, uint32_t movieScale, uint32_t mediaScale) {
         // Sample i lasts one second of media time: [i, i + 1) seconds.
         std::vector<uint32_t> times = {kRuns};
         for (uint32_t i = 0; i < kRuns; ++i) times.insert(times.end(), {1, mediaScale});
         SetSampleTableAtom(moov, 0, MovFourCC("stts"), Words(times));
         SetSampleTableAtom(moov, 0, MovFourCC("stsz"), Words({3, kRuns}));
         std::erase_if(moov.FindPath({MovFourCC("trak"), MovFourCC("mdia"), MovFourCC("minf"), MovFourCC("stbl")})
                           ->Children(),
                       [](const MovAtomNode& child) { return child.Type() == MovFourCC("ctts"); });
         // Edit i shows one second from second 2i (movie-time durations, media-time starts).
         std::vector<uint8_t> elst;
         MovByteWriter writer(elst);
         writer.U32(0x01000000);
         writer.U32(kRuns);
         for (uint32_t i = 0; i < kRuns; ++i) {
           writer.U64(movieScale);
           writer.U64(uint64_t{2} * i * mediaScale);
           writer.U32(0x10000);
         }
         setEdits(moov, elst);
       },
       uint64_t{kRuns} / 2 * 3},
  };
  MovFile source;
  ASSERT_EQ(source.OpenForRead(MovFixtures::Get().headerLast), MovErr::Ok);
  ASSERT_EQ(source.LoadTracks(), MovErr::Ok);
  const uint32_t movieScale = source.Track(0).MovieTimeScale();
  const uint32_t mediaScale = source.Track(0).MediaTimeScale();
  ASSERT_GT(movieScale, 0u);
  ASSERT_GT(mediaScale, 0u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("tables.mov");
    RewriteHeader(MovFixtures::Get().headerLast, path,
                  [&](MovAtomNode& moov) { c.edit(moov, movieScale, mediaScale); });
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
    const long peakBefore = PeakKb();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(movie.Track(0).DataSize(), c.expected);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), kMaxSeconds);
    EXPECT_LT(PeakKb() - peakBefore, kMaxGrowthKb);
  }
}

// Sample counts past what the file could hold fail the check players make
// before indexing; every sound sample may take less than a byte.
TEST(MovReadingLimits, ChecksDeclaredSamplesAgainstTheFileSize) {
  TempDir dir;
  struct Case {
    const char* name;
    size_t track;
    std::vector<uint8_t> stsz;
    std::vector<uint8_t> stsc;
    MovErr expected;
  };
  const uint64_t fileSize = FileSize(MovFixtures::Get().headerLast);
  const auto bytes = static_cast<uint32_t>(fileSize);
  const Case cases[] = {
      {"as made", 0, {}, {}, MovErr::Ok},
      {"2^26 pictures of one byte", 0, Words({1, 1u << 26}), {}, MovErr::InvalidSampleTable},
      {"half as many pictures as bytes", 0, Words({1, bytes / 2}), {}, MovErr::Ok},
      {"one chunk declaring 2^31 pictures", 0, {}, Words({1, 1, 1u << 31, 1}), MovErr::InvalidSampleTable},
      {"sound samples 32 to a byte", 1, Words({1, bytes * 32}), {}, MovErr::Ok},
      {"sound samples 65 to a byte", 1, Words({1, bytes * 65}), {}, MovErr::InvalidSampleTable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("counts.mov");
    RewriteHeader(MovFixtures::Get().headerLast, path, [&](MovAtomNode& moov) {
      if (!c.stsz.empty()) SetSampleTableAtom(moov, c.track, MovFourCC("stsz"), c.stsz);
      if (!c.stsc.empty()) SetSampleTableAtom(moov, c.track, MovFourCC("stsc"), c.stsc);
    });
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    EXPECT_EQ(movie.CheckSampleTables(), c.expected);
  }
}
