#include "platform/movfile/MovEditList.h"

#include <algorithm>

#include "platform/movfile/MovByteReader.h"

namespace hc::movfile {
namespace {

constexpr int64_t kTimeLimit = int64_t{1} << 62;

int64_t ClampTime(long double value) {
  if (value > static_cast<long double>(kTimeLimit)) return kTimeLimit;
  if (value < -static_cast<long double>(kTimeLimit)) return -kTimeLimit;
  return static_cast<int64_t>(value);
}

}  // namespace

MovErr MovEditList::Parse(std::span<const uint8_t> elstPayload, MovEditList& list) {
  list = MovEditList();
  MovByteReader reader(elstPayload);
  uint8_t version = reader.U8();
  reader.Skip(3);
  uint32_t count = reader.U32();
  size_t entrySize = version == 1 ? 20 : 12;
  if (!reader.Ok() || version > 1 || count > reader.Remaining() / entrySize) return MovErr::BadEditList;
  list.edits_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    MovEdit edit;
    if (version == 1) {
      edit.segmentDuration = reader.U64();
      edit.mediaTime = reader.I64();
    } else {
      edit.segmentDuration = reader.U32();
      edit.mediaTime = reader.I32();
    }
    edit.mediaRate = reader.I32();
    if (edit.mediaTime < -1) return MovErr::BadEditList;
    list.edits_.push_back(edit);
  }
  return MovErr::Ok;
}

uint64_t MovEditList::LeadingEmptyDuration() const {
  uint64_t total = 0;
  for (const MovEdit& edit : edits_) {
    if (edit.mediaTime != -1) break;
    total += edit.segmentDuration;
  }
  return total;
}

std::vector<MovSampleTable::TimeRange> MovEditList::MediaRanges(uint32_t movieTimeScale,
                                                                uint32_t mediaTimeScale) const {
  std::vector<MovSampleTable::TimeRange> ranges;
  if (edits_.empty()) {
    ranges.emplace_back(0, kTimeLimit);
    return ranges;
  }
  if (movieTimeScale == 0 || mediaTimeScale == 0) return ranges;
  for (const MovEdit& edit : edits_) {
    if (edit.mediaTime == -1) continue;
    long double rate = edit.mediaRate / 65536.0L;
    long double length = static_cast<long double>(edit.segmentDuration) * mediaTimeScale / movieTimeScale;
    int64_t start = ClampTime(edit.mediaTime);
    // A dwell (rate 0) holds one instant; other rates scale the media shown.
    int64_t end = rate == 0 ? start + 1 : ClampTime(edit.mediaTime + length * (rate < 0 ? -rate : rate));
    if (end > start) ranges.emplace_back(start, end);
  }
  std::sort(ranges.begin(), ranges.end());
  std::vector<MovSampleTable::TimeRange> merged;
  for (const auto& range : ranges) {
    if (!merged.empty() && range.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, range.second);
    } else {
      merged.push_back(range);
    }
  }
  return merged;
}

}  // namespace hc::movfile
