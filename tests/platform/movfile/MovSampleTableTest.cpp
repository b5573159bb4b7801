#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovEditList.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovSampleTable.h"

using namespace hc::movfile;

namespace {

// Ten samples of 100 time units with sizes 1..10, two chunks of five.
MovAtomNode MakeTable(bool withCompositionOffsets) {
  MovAtomNode stbl = MovAtomNode::Container(MovFourCC("stbl"));
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  writer.U32(0);
  writer.U32(1);
  writer.U32(10);
  writer.U32(100);
  stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stts"), bytes));
  if (withCompositionOffsets) {  // all zero: the per-sample walk must agree with the run arithmetic
    bytes.clear();
    writer.U32(0);
    writer.U32(1);
    writer.U32(10);
    writer.U32(0);
    stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("ctts"), bytes));
  }
  bytes.clear();
  writer.U32(0);
  writer.U32(1);
  writer.U32(1);
  writer.U32(5);
  writer.U32(1);
  stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stsc"), bytes));
  bytes.clear();
  writer.U32(0);
  writer.U32(0);
  writer.U32(10);
  for (uint32_t size = 1; size <= 10; ++size) writer.U32(size);
  stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stsz"), bytes));
  bytes.clear();
  writer.U32(0);
  writer.U32(2);
  writer.U32(1000);
  writer.U32(5000);
  stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stco"), bytes));
  return stbl;
}

}  // namespace

TEST(MovSampleTable, SumsTheSamplesThatTimeRangesMeetOnce) {
  struct Case {
    const char* name;
    std::vector<MovSampleTable::TimeRange> ranges;
    uint64_t expected;
  };
  const Case cases[] = {
      {"everything", {{0, 1000}}, 55},
      {"partial samples at both ends", {{250, 520}}, 3 + 4 + 5 + 6},
      {"ranges sharing a sample", {{250, 520}, {550, 700}}, 3 + 4 + 5 + 6 + 7},
      {"on sample boundaries", {{300, 500}}, 4 + 5},
      {"before and after the media", {{-500, 0}, {1000, 2000}}, 0},
      {"one instant", {{420, 421}}, 5},
  };
  for (bool withOffsets : {false, true}) {
    MovSampleTable table;
    ASSERT_EQ(MovSampleTable::Parse(MakeTable(withOffsets), table), MovErr::Ok);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (withOffsets ? " (per sample)" : " (per run)"));
      EXPECT_EQ(table.SizeOfSamplesIn(c.ranges), c.expected);
    }
  }
}

// Random time runs, composition offsets (negative ones too), sizes and
// ranges: the run arithmetic agrees with a walk over every sample.
TEST(MovSampleTable, SumsLikeAWalkOverEverySample) {
  std::mt19937 random(77);  // 32-bit draws
  auto draw = [&random](uint32_t below) { return static_cast<uint32_t>(random() % below); };
  for (int round = 0; round < 300; ++round) {
    struct Run {
      uint32_t count;
      uint32_t value;
    };
    std::vector<Run> times(1 + random() % 4);
    std::vector<Run> offsets(random() % 4);
    uint32_t samples = 0;
    for (Run& run : times) {
      run = {draw(6), draw(4) == 0 ? 0u : 1 + draw(30)};
      samples += run.count;
    }
    for (Run& run : offsets) run = {draw(8), static_cast<uint32_t>(static_cast<int32_t>(draw(80)) - 30)};
    std::vector<uint32_t> sizes(samples);
    for (uint32_t& size : sizes) size = 1 + random() % 100;
    std::vector<MovSampleTable::TimeRange> ranges;
    for (int64_t at = -40 + static_cast<int64_t>(random() % 20); ranges.size() < 1 + random() % 5;) {
      const int64_t length = 1 + static_cast<int64_t>(random() % 40);
      ranges.emplace_back(at, at + length);
      at += length + 1 + static_cast<int64_t>(random() % 40);
    }

    MovAtomNode stbl = MovAtomNode::Container(MovFourCC("stbl"));
    std::vector<uint8_t> bytes;
    MovByteWriter writer(bytes);
    writer.U32(0);
    writer.U32(static_cast<uint32_t>(times.size()));
    for (const Run& run : times) {
      writer.U32(run.count);
      writer.U32(run.value);
    }
    stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stts"), bytes));
    if (!offsets.empty()) {
      bytes.clear();
      writer.U32(0);
      writer.U32(static_cast<uint32_t>(offsets.size()));
      for (const Run& run : offsets) {
        writer.U32(run.count);
        writer.U32(run.value);
      }
      stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("ctts"), bytes));
    }
    bytes.clear();
    writer.U32(0);
    writer.U32(0);
    writer.U32(samples);
    for (uint32_t size : sizes) writer.U32(size);
    stbl.Children().push_back(MovAtomNode::Leaf(MovFourCC("stsz"), bytes));
    MovSampleTable table;
    ASSERT_EQ(MovSampleTable::Parse(stbl, table), MovErr::Ok);

    uint64_t expected = 0;
    int64_t decode = 0;
    size_t offsetRun = 0;
    uint32_t usedOfOffsetRun = 0;
    uint32_t sample = 0;
    for (const Run& run : times) {
      for (uint32_t k = 0; k < run.count; ++k, ++sample) {
        while (offsetRun < offsets.size() && usedOfOffsetRun >= offsets[offsetRun].count) {
          ++offsetRun;
          usedOfOffsetRun = 0;
        }
        const int64_t shift = offsetRun < offsets.size() ? static_cast<int32_t>(offsets[offsetRun].value) : 0;
        ++usedOfOffsetRun;
        const int64_t begin = decode + shift;
        const int64_t end = begin + std::max<int64_t>(run.value, 1);
        for (const auto& range : ranges) {
          if (begin < range.second && end > range.first) {
            expected += sizes[sample];
            break;
          }
        }
        decode += run.value;
      }
    }
    ASSERT_EQ(table.SizeOfSamplesIn(ranges), expected) << "round " << round;
  }
}

TEST(MovSampleTable, LocatesSamplesInTheirChunks) {
  MovSampleTable table;
  ASSERT_EQ(MovSampleTable::Parse(MakeTable(false), table), MovErr::Ok);
  struct Case {
    uint64_t number;
    uint64_t offset;
    uint32_t size;
  };
  for (const Case& c : {Case{1, 1000, 1}, Case{3, 1003, 3}, Case{5, 1010, 5}, Case{6, 5000, 6}, Case{10, 5030, 10}}) {
    uint64_t offset = 0;
    uint32_t size = 0;
    uint32_t description = 0;
    ASSERT_EQ(table.SampleLocation(c.number, offset, size, description), MovErr::Ok) << c.number;
    EXPECT_EQ(offset, c.offset) << c.number;
    EXPECT_EQ(size, c.size) << c.number;
    EXPECT_EQ(description, 1u);
  }
  uint64_t offset = 0;
  uint32_t size = 0;
  uint32_t description = 0;
  EXPECT_EQ(table.SampleLocation(11, offset, size, description), MovErr::InvalidSampleNumber);
}

TEST(MovEditList, MapsEditsToMediaRanges) {
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  writer.U32(0);
  writer.U32(3);
  writer.U32(500);  // empty edit: half a second in movie time (scale 1000)
  writer.U32(0xFFFFFFFF);
  writer.U32(0x10000);
  writer.U32(1000);  // one second from media time 2000 (scale 10000)
  writer.U32(2000);
  writer.U32(0x10000);
  writer.U32(200);  // an overlapping stretch running on past the first
  writer.U32(11000);
  writer.U32(0x10000);
  MovEditList list;
  ASSERT_EQ(MovEditList::Parse(bytes, list), MovErr::Ok);
  EXPECT_EQ(list.LeadingEmptyDuration(), 500u);
  auto ranges = list.MediaRanges(1000, 10000);
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ranges[0], MovSampleTable::TimeRange(2000, 13000));
  EXPECT_TRUE(list.MediaRanges(0, 10000).empty());

  MovEditList none;
  ASSERT_EQ(MovEditList::Parse(std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0}, none), MovErr::Ok);
  ASSERT_EQ(none.MediaRanges(1000, 600).size(), 1u);
  EXPECT_EQ(none.MediaRanges(1000, 600)[0].first, 0);
}
