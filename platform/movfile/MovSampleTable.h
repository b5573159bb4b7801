#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// The sample tables of one track ('stbl'): descriptions, times, sizes and
// chunk offsets, read with every count checked against the bytes present.
// Sample numbers and description indexes count from 1, as in the file.
class MovSampleTable {
 public:
  // A half-open span of media time [start, end).
  using TimeRange = std::pair<int64_t, int64_t>;

  // Sample descriptions one track may have; real movies have one or a few.
  static constexpr size_t kMaxDescriptions = 1u << 12;
  // Samples of sound, each a whole number of bytes or less (compressed sound
  // packs several into a byte), that one byte of a file may hold.
  static constexpr uint64_t kMaxSoundSamplesPerByte = 64;

  static MovErr Parse(const MovAtomNode& stbl, MovSampleTable& table);

  // What the bulk tables (sizes, chunk offsets) declare, read from their
  // first bytes alone.
  struct DeclaredCounts {
    uint64_t samples = 0;
    uint64_t chunks = 0;
  };
  // A table of facts only: the descriptions and chunk runs of `stbl` (which
  // holds no bulk tables) and the declared counts. It answers SampleCount()
  // and the check against the file size; sample sizes and places are
  // InvalidSampleTable, and no sample meets a time range.
  static MovErr ParseFacts(const MovAtomNode& stbl, const DeclaredCounts& counts, MovSampleTable& table);

  // Raw sample-description entries ('stsd'), each with its size and format
  // header: for video, the 86-byte big-endian image description and its
  // extensions.
  const std::vector<std::vector<uint8_t>>& Descriptions() const { return descriptions_; }

  uint64_t SampleCount() const { return sampleCount_; }
  MovErr SampleSize(uint64_t number, uint32_t& size) const;
  // File offset, size and description index of one sample.
  MovErr SampleLocation(uint64_t number, uint64_t& offset, uint32_t& size, uint32_t& descriptionIndex) const;
  // Sum of the sizes of the samples whose display span meets any of the
  // ranges (sorted, disjoint); each sample counts once. Takes time in the
  // number of time and composition-offset runs and of ranges (times a
  // logarithm), not in the number of samples.
  uint64_t SizeOfSamplesIn(const std::vector<TimeRange>& ranges) const;

  const std::vector<uint64_t>& ChunkOffsets() const { return chunkOffsets_; }

  // Whether the declared samples (the size table's count and the count the
  // chunk table implies) could lie in a file of `fileSize` bytes: a sample
  // takes at least a byte, sound samples at least 1/kMaxSoundSamplesPerByte
  // of one. Tables that can't are InvalidSampleTable.
  MovErr CheckAgainstFileSize(uint64_t fileSize, bool sound) const;

 private:
  struct TimeRun {
    uint32_t count;
    uint32_t delta;
  };
  struct OffsetRun {
    uint32_t count;
    int32_t offset;
  };
  struct ChunkRun {
    uint32_t firstChunk;
    uint32_t samplesPerChunk;
    uint32_t descriptionIndex;
  };

  MovErr ParseDescriptions(std::span<const uint8_t> payload);
  MovErr ParseTimes(std::span<const uint8_t> payload);
  MovErr ParseOffsets(std::span<const uint8_t> payload);
  MovErr ParseChunkRuns(std::span<const uint8_t> payload);
  MovErr ParseSizes(std::span<const uint8_t> payload);
  MovErr ParseCompactSizes(std::span<const uint8_t> payload);
  MovErr ParseChunkOffsets(std::span<const uint8_t> payload, bool wide);
  struct Segment;
  uint64_t SumSizes(uint64_t first, uint64_t last) const;  // samples first..last, 0-based inclusive
  template <typename Visit>
  void ForEachSegment(Visit&& visit) const;

  std::vector<std::vector<uint8_t>> descriptions_;
  std::vector<TimeRun> times_;
  std::vector<OffsetRun> compositionOffsets_;
  std::vector<ChunkRun> chunkRuns_;
  uint32_t uniformSize_ = 0;
  std::vector<uint32_t> sizes_;
  uint64_t sampleCount_ = 0;
  bool factsOnly_ = false;
  uint64_t declaredChunks_ = 0;  // facts only: the chunk table's count
  std::vector<uint64_t> chunkOffsets_;
};

}  // namespace hc::movfile
