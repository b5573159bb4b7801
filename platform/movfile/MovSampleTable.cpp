#include "platform/movfile/MovSampleTable.h"

#include <algorithm>
#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {
namespace {

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

MovErr MovSampleTable::ParseFacts(const MovAtomNode& stbl, const DeclaredCounts& counts, MovSampleTable& table) {
  table = MovSampleTable();
  table.factsOnly_ = true;
  table.sampleCount_ = counts.samples;
  table.declaredChunks_ = counts.chunks;
  if (const MovAtomNode* node = stbl.FindChild(MovFourCC("stsd"))) {
    if (MovErr err = table.ParseDescriptions(node->Payload()); err != MovErr::Ok) return err;
  }
  if (const MovAtomNode* node = stbl.FindChild(MovFourCC("stsc"))) return table.ParseChunkRuns(node->Payload());
  return MovErr::Ok;
}

MovErr MovSampleTable::ParseDescriptions(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint32_t count = 0;
  if (!ReadCount(reader, 8, count)) return MovErr::InvalidSampleTable;
  if (count > kMaxDescriptions) return MovErr::SizeLimitExceeded;
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

MovErr MovSampleTable::CheckAgainstFileSize(uint64_t fileSize, bool sound) const {
  const uint64_t bytes = std::min<uint64_t>(fileSize, UINT64_MAX / kMaxSoundSamplesPerByte);
  const uint64_t limit = sound ? bytes * kMaxSoundSamplesPerByte : bytes;
  if (sampleCount_ > limit) return MovErr::InvalidSampleTable;
  uint64_t chunkSamples = 0;
  for (size_t i = 0; i < chunkRuns_.size(); ++i) {
    const ChunkRun& run = chunkRuns_[i];
    const uint64_t chunkCount = factsOnly_ ? declaredChunks_ : chunkOffsets_.size();
    const uint64_t endChunk = i + 1 < chunkRuns_.size() ? chunkRuns_[i + 1].firstChunk : chunkCount + 1;
    if (endChunk <= run.firstChunk || run.samplesPerChunk == 0) continue;
    const uint64_t chunks = endChunk - run.firstChunk;
    if (chunks > (limit - chunkSamples) / run.samplesPerChunk) return MovErr::InvalidSampleTable;
    chunkSamples += chunks * run.samplesPerChunk;
  }
  return MovErr::Ok;
}

MovErr MovSampleTable::SampleSize(uint64_t number, uint32_t& size) const {
  if (factsOnly_) return MovErr::InvalidSampleTable;
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
  if (factsOnly_ || first > last || first >= sampleCount_) return 0;
  last = std::min(last, sampleCount_ - 1);
  if (uniformSize_ != 0) return (last - first + 1) * uniformSize_;
  uint64_t total = 0;
  for (uint64_t i = first; i <= last; ++i) total += sizes_[i];
  return total;
}

// A stretch of samples that share one duration and one composition offset:
// sample k (from 0) shows during [begin + k * delta, begin + (k + 1) * delta),
// or at the one instant `begin` when delta is 0.
struct MovSampleTable::Segment {
  uint64_t firstSample;
  uint64_t count;
  int64_t begin;
  int64_t delta;
};

// Calls `visit` for each segment: the time runs and composition-offset runs
// walked side by side, so their number is at most the sum of the runs'.
template <typename Visit>
void MovSampleTable::ForEachSegment(Visit&& visit) const {
  uint64_t sample = 0;
  int64_t decodeTime = 0;
  size_t offsetRun = 0;
  uint64_t usedOfOffsetRun = 0;
  for (const TimeRun& run : times_) {
    uint64_t usedOfRun = 0;
    while (usedOfRun < run.count && sample < sampleCount_) {
      while (offsetRun < compositionOffsets_.size() && usedOfOffsetRun >= compositionOffsets_[offsetRun].count) {
        ++offsetRun;
        usedOfOffsetRun = 0;
      }
      const bool shifted = offsetRun < compositionOffsets_.size();
      uint64_t count = std::min<uint64_t>(run.count - usedOfRun, sampleCount_ - sample);
      if (shifted) count = std::min<uint64_t>(count, compositionOffsets_[offsetRun].count - usedOfOffsetRun);
      const int64_t shift = shifted ? compositionOffsets_[offsetRun].offset : 0;
      visit(Segment{sample, count, decodeTime + shift, static_cast<int64_t>(run.delta)});
      sample += count;
      usedOfRun += count;
      if (shifted) usedOfOffsetRun += count;
      // Past the horizon every later sample lies beyond any range.
      if (run.delta != 0 && count > static_cast<uint64_t>(kTimeHorizon - decodeTime) / run.delta) return;
      decodeTime += static_cast<int64_t>(count * run.delta);
    }
  }
}

// Each sample belongs to one segment, so the segments' sums add up without
// counting a sample twice. Within a segment, each step finds the next range
// that ends after the current sample starts (a binary search) and takes the
// samples meeting it; the next step starts past them, so a step consumes at
// least one range. Past a fixed budget of steps, the rest of a segment counts
// whole from its first sample meeting a range to its last: a bound, not an
// exact sum, reached only by composition offsets that pile many segments
// onto many small ranges.
uint64_t MovSampleTable::SizeOfSamplesIn(const std::vector<TimeRange>& ranges) const {
  constexpr uint64_t kMaxSteps = uint64_t{1} << 22;
  uint64_t steps = 0;
  uint64_t total = 0;
  auto firstEndingAfter = [&ranges](int64_t time) {
    return std::partition_point(ranges.begin(), ranges.end(), [time](const TimeRange& r) { return r.second <= time; });
  };
  ForEachSegment([&](const Segment& segment) {
    const auto last = static_cast<int64_t>(segment.count - 1);
    if (segment.delta == 0) {
      auto range = firstEndingAfter(segment.begin);
      if (range != ranges.end() && range->first <= segment.begin) {
        total += SumSizes(segment.firstSample, segment.firstSample + segment.count - 1);
      }
      return;
    }
    const int64_t delta = segment.delta;
    for (int64_t k = 0; k <= last;) {
      auto range = firstEndingAfter(segment.begin + k * delta);
      if (range == ranges.end()) return;
      // Samples from `lo` on start before the range ends; up to `hi` they end after it starts.
      const int64_t from = std::max(range->first, segment.begin);
      const int64_t lo = std::max<int64_t>(k, FloorDiv(from - segment.begin - delta, delta) + 1);
      if (lo > last) return;
      int64_t hi = std::min<int64_t>(last, FloorDiv(range->second - 1 - segment.begin, delta));
      if (++steps > kMaxSteps) {
        const int64_t segmentEnd = last >= (kTimeHorizon - segment.begin) / delta
                                       ? kTimeHorizon
                                       : segment.begin + (last + 1) * delta;
        auto final = std::partition_point(range, ranges.end(),
                                          [segmentEnd](const TimeRange& r) { return r.first < segmentEnd; });
        hi = std::min<int64_t>(last, FloorDiv(std::prev(final)->second - 1 - segment.begin, delta));
      }
      total += SumSizes(segment.firstSample + static_cast<uint64_t>(lo), segment.firstSample + static_cast<uint64_t>(hi));
      if (steps > kMaxSteps) return;
      k = hi + 1;
    }
  });
  return total;
}

}  // namespace hc::movfile
