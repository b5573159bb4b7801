#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovSampleTable.h"

namespace hc::movfile {

// One edit: a stretch of the track's time line (in movie time) showing media
// from mediaTime on, or nothing when mediaTime is -1 (an empty edit).
struct MovEdit {
  uint64_t segmentDuration = 0;
  int64_t mediaTime = -1;
  int32_t mediaRate = 0x10000;  // 16.16 fixed point
};

// A track's edit list ('elst'). A track without one shows its whole media.
class MovEditList {
 public:
  static MovErr Parse(std::span<const uint8_t> elstPayload, MovEditList& list);

  const std::vector<MovEdit>& Edits() const { return edits_; }
  bool IsEmpty() const { return edits_.empty(); }

  // Movie time before the first edit that shows media: the leading empty
  // edits, which delay the track's start.
  uint64_t LeadingEmptyDuration() const;

  // The media-time spans that the edits show, sorted and merged. Without
  // edits, all of the media.
  std::vector<MovSampleTable::TimeRange> MediaRanges(uint32_t movieTimeScale, uint32_t mediaTimeScale) const;

 private:
  std::vector<MovEdit> edits_;
};

}  // namespace hc::movfile
