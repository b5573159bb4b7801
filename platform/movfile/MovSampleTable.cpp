#include "platform/movfile/MovSampleTable.h"

#include <algorithm>
#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {
namespace {

// Per-sample walks (composition offsets) are skipped past this many samples.
constexpr uint64_t kMaxSampleWalk = uint64_t{1} << 26;
// Media times past this are beyond any edit and end a walk over the runs.
constexpr int64_t kTimeHorizon = int64_t{1} << 62;

// Reads the version/flags word and an entry count whose entries of
// `entrySize` bytes must all be present.
bool ReadCount(MovByteReader& reader, size_t entrySize, uint32_t& count) {
  reader.U32();
  count = reader.U32();
  return reader.Ok() && count <= reader.Remaining() / entrySize;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

MovErr MovSampleTable::Parse(const MovAtomNode& stbl, MovSampleTable& table) {
  table = MovSampleTable();
  struct Part {
    uint32_t type;
    MovErr (MovSampleTable::*parse)(std::span<const uint8_t>);
  };
  static const Part kParts[] = {
      {MovFourCC("stsd"), &MovSampleTable::ParseDescriptions},
      {MovFourCC("stts"), &MovSampleTable::ParseTimes},
      {MovFourCC("ctts"), &MovSampleTable::ParseOffsets},
      {MovFourCC("stsc"), &MovSampleTable::ParseChunkRuns},
      {MovFourCC("stsz"), &MovSampleTable::ParseSizes},
      {MovFourCC("stz2"), &MovSampleTable::ParseCompactSizes},
  };
  for (const auto& part : kParts) {
    if (const MovAtomNode* node = stbl.FindChild(part.type)) {
      MovErr err = (table.*part.parse)(node->Payload());
      if (err != MovErr::Ok) return err;
    }
  }
  if (const MovAtomNode* node = stbl.FindChild(MovFourCC("co64"))) {
    return table.ParseChunkOffsets(node->Payload(), true);
  }
  if (const MovAtomNode* node = stbl.FindChild(MovFourCC("stco"))) {
    return table.ParseChunkOffsets(node->Payload(), false);
  }
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseDescriptions(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, 8, count)) return MovErr::InvalidSampleTable;
  auto entries = payload.subspan(reader.Position());
  MovAtomReader atoms(entries);
  for (uint32_t i = 0; i < count; ++i) {
    std::optional<MovAtom> atom;
    if (atoms.Next(atom) != MovErr::Ok || !atom) return MovErr::InvalidSampleTable;
    auto bytes = entries.subspan(static_cast<size_t>(atom->offset), static_cast<size_t>(atom->size));
    descriptions_.emplace_back(bytes.begin(), bytes.end());
  }
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseTimes(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, 8, count)) return MovErr::InvalidSampleTable;
  times_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) times_.push_back({reader.U32(), reader.U32()});
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseOffsets(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, 8, count)) return MovErr::InvalidSampleTable;
  compositionOffsets_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) compositionOffsets_.push_back({reader.U32(), reader.I32()});
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseChunkRuns(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, 12, count)) return MovErr::InvalidSampleTable;
  chunkRuns_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    ChunkRun run{reader.U32(), reader.U32(), reader.U32()};
    bool ordered = chunkRuns_.empty() ? run.firstChunk == 1 : run.firstChunk > chunkRuns_.back().firstChunk;
    if (!ordered) return MovErr::InvalidSampleTable;
    chunkRuns_.push_back(run);
  }
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseSizes(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  reader.U32();
  uniformSize_ = reader.U32();
  uint32_t count = reader.U32();
  if (!reader.Ok()) return MovErr::InvalidSampleTable;
  sampleCount_ = count;
  if (uniformSize_ != 0) return MovErr::Ok;
  if (count > reader.Remaining() / 4) return MovErr::InvalidSampleTable;
  sizes_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) sizes_.push_back(reader.U32());
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseCompactSizes(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  reader.U32();
  reader.Skip(3);
  uint8_t fieldBits = reader.U8();
  uint32_t count = reader.U32();
  if (!reader.Ok() || (fieldBits != 4 && fieldBits != 8 && fieldBits != 16)) return MovErr::InvalidSampleTable;
  if ((uint64_t{count} * fieldBits + 7) / 8 > reader.Remaining()) return MovErr::InvalidSampleTable;
  sampleCount_ = count;
  uniformSize_ = 0;
  sizes_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (fieldBits == 16) {
      sizes_.push_back(reader.U16());
    } else if (fieldBits == 8) {
      sizes_.push_back(reader.U8());
    } else {
      uint8_t pair = reader.U8();
      sizes_.push_back(pair >> 4);
      if (++i < count) sizes_.push_back(pair & 0x0F);
    }
  }
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseChunkOffsets(std::span<const uint8_t> payload, bool wide) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, wide ? 8 : 4, count)) return MovErr::InvalidSampleTable;
  chunkOffsets_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) chunkOffsets_.push_back(wide ? reader.U64() : reader.U32());
  return MovErr::Ok;
}

MovErr MovSampleTable::SampleSize(uint64_t number, uint32_t& size) const {
  if (number == 0 || number > sampleCount_) return MovErr::InvalidSampleNumber;
  size = uniformSize_ != 0 ? uniformSize_ : sizes_[number - 1];
  return MovErr::Ok;
}

MovErr MovSampleTable::SampleLocation(uint64_t number, uint64_t& offset, uint32_t& size,
                                      uint32_t& descriptionIndex) const {
  MovErr err = SampleSize(number, size);
  if (err != MovErr::Ok) return err;
  uint64_t firstSample = 1;  // first sample of the current run
  for (size_t i = 0; i < chunkRuns_.size(); ++i) {
    const ChunkRun& run = chunkRuns_[i];
    uint64_t endChunk = i + 1 < chunkRuns_.size() ? chunkRuns_[i + 1].firstChunk : chunkOffsets_.size() + 1;
    if (endChunk <= run.firstChunk || run.samplesPerChunk == 0) continue;
    uint64_t runSamples = (endChunk - run.firstChunk) * run.samplesPerChunk;
    if (number >= firstSample + runSamples) {
      firstSample += runSamples;
      continue;
    }
    uint64_t chunk = run.firstChunk + (number - firstSample) / run.samplesPerChunk;
    uint64_t firstInChunk = number - (number - firstSample) % run.samplesPerChunk;
    if (chunk > chunkOffsets_.size()) return MovErr::InvalidSampleTable;
    offset = chunkOffsets_[chunk - 1] + SumSizes(firstInChunk - 1, number - 1) - size;
    descriptionIndex = run.descriptionIndex;
    return MovErr::Ok;
  }
  return MovErr::InvalidSampleTable;
}

uint64_t MovSampleTable::SumSizes(uint64_t first, uint64_t last) const {
  if (first > last || first >= sampleCount_) return 0;
  last = std::min(last, sampleCount_ - 1);
  if (uniformSize_ != 0) return (last - first + 1) * uniformSize_;
  uint64_t total = 0;
  for (uint64_t i = first; i <= last; ++i) total += sizes_[i];
  return total;
}

// Samples in a time run all last `delta`; the ones meeting a range follow
// from arithmetic, without a walk over the samples.
void MovSampleTable::AddRunIntervals(const std::vector<TimeRange>& ranges,
                                     std::vector<std::pair<uint64_t, uint64_t>>& out) const {
  uint64_t firstSample = 0;
  int64_t start = 0;
  for (const TimeRun& run : times_) {
    if (firstSample >= sampleCount_) break;
    uint64_t count = std::min<uint64_t>(run.count, sampleCount_ - firstSample);
    if (count == 0) continue;
    int64_t delta = run.delta;
    for (const TimeRange& range : ranges) {
      int64_t lo = 0;
      int64_t hi = static_cast<int64_t>(count) - 1;
      if (delta == 0) {
        if (start < range.first || start >= range.second) continue;
      } else {
        lo = std::max<int64_t>(lo, FloorDiv(range.first - start - delta, delta) + 1);
        hi = std::min<int64_t>(hi, FloorDiv(range.second - start - 1, delta));
      }
      if (lo <= hi) out.emplace_back(firstSample + static_cast<uint64_t>(lo), firstSample + static_cast<uint64_t>(hi));
    }
    firstSample += count;
    uint64_t span = count * run.delta;
    if (span > static_cast<uint64_t>(kTimeHorizon - start)) break;
    start += static_cast<int64_t>(span);
  }
}

void MovSampleTable::AddSampleIntervals(const std::vector<TimeRange>& ranges,
                                        std::vector<std::pair<uint64_t, uint64_t>>& out) const {
  uint64_t sample = 0;
  int64_t decodeTime = 0;
  size_t offsetRun = 0;
  uint32_t usedOfOffsetRun = 0;
  for (const TimeRun& run : times_) {
    for (uint32_t k = 0; k < run.count && sample < sampleCount_; ++k, ++sample) {
      while (offsetRun < compositionOffsets_.size() && usedOfOffsetRun >= compositionOffsets_[offsetRun].count) {
        ++offsetRun;
        usedOfOffsetRun = 0;
      }
      int64_t shift = offsetRun < compositionOffsets_.size() ? compositionOffsets_[offsetRun].offset : 0;
      ++usedOfOffsetRun;
      int64_t begin = decodeTime + shift;
      int64_t end = begin + std::max<int64_t>(run.delta, 1);
      for (const TimeRange& range : ranges) {
        if (begin < range.second && end > range.first) {
          out.emplace_back(sample, sample);
          break;
        }
      }
      decodeTime += run.delta;
    }
  }
}

uint64_t MovSampleTable::SizeOfSamplesIn(const std::vector<TimeRange>& ranges) const {
  std::vector<std::pair<uint64_t, uint64_t>> intervals;
  if (!compositionOffsets_.empty() && sampleCount_ <= kMaxSampleWalk) {
    AddSampleIntervals(ranges, intervals);
  } else {
    AddRunIntervals(ranges, intervals);
  }
  std::sort(intervals.begin(), intervals.end());
  uint64_t total = 0;
  uint64_t next = 0;  // first sample not yet counted
  for (const auto& [first, last] : intervals) {
    uint64_t from = std::max(first, next);
    if (from > last) continue;
    total += SumSizes(from, last);
    next = last + 1;
  }
  return total;
}

}  // namespace hc::movfile
