#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovEditList.h"
#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovSampleTable.h"
#include "platform/movfile/MovUserData.h"

namespace hc::movfile {

// Width and height in 16.16 fixed point, as movie headers store them.
struct MovFixedSize {
  uint32_t width = 0;
  uint32_t height = 0;
  double Width() const { return width / 65536.0; }
  double Height() const { return height / 65536.0; }
};

// The facts of one track ('trak') and its user data.
class MovTrack {
 public:
  static MovErr Parse(const MovAtomNode& trak, uint32_t movieTimeScale, MovTrack& track);
  // The same from a track whose sample table holds no bulk tables: the
  // sample table has facts only (see MovSampleTable::ParseFacts).
  static MovErr ParseFacts(const MovAtomNode& trak, uint32_t movieTimeScale,
                           const MovSampleTable::DeclaredCounts& counts, MovTrack& track);

  uint32_t TrackId() const { return trackId_; }
  bool IsEnabled() const { return enabled_; }
  // The media handler type from the media's 'hdlr' ('vide', 'soun', 'text', ...).
  uint32_t HandlerType() const { return handlerType_; }
  // Whether the media shows pictures (QuickTime's visual characteristic).
  bool HasVisualCharacteristic() const;
  // Size in bytes of the track header atom ('tkhd').
  uint64_t TrackHeaderSize() const { return trackHeaderSize_; }
  // Dimensions from the track header.
  MovFixedSize TrackDimensions() const { return dimensions_; }
  // Clean aperture ('tapt/clef'), else the track header's dimensions.
  MovFixedSize CleanAperture() const { return cleanAperture_; }

  // Track duration in movie time (from the track header).
  uint64_t Duration() const { return duration_; }
  uint32_t MovieTimeScale() const { return movieTimeScale_; }
  uint32_t MediaTimeScale() const { return mediaTimeScale_; }
  uint64_t MediaDuration() const { return mediaDuration_; }
  // Movie time before the track starts: its leading empty edit.
  uint64_t Offset() const { return edits_.LeadingEmptyDuration(); }
  const MovEditList& EditList() const { return edits_; }

  const MovSampleTable& Samples() const { return samples_; }
  size_t SampleDescriptionCount() const { return samples_.Descriptions().size(); }
  // The ordinal-th (from 1) raw sample-description entry, or empty.
  std::span<const uint8_t> SampleDescription(size_t ordinal) const;
  // Sum of the sizes of the samples that the edit list maps into the track.
  uint64_t DataSize() const;

  MovUserData& UserData() { return userData_; }
  const MovUserData& UserData() const { return userData_; }

 private:
  static MovErr ParseAll(const MovAtomNode& trak, uint32_t movieTimeScale,
                         const MovSampleTable::DeclaredCounts* counts, MovTrack& track);
  MovErr ParseHeader(const MovAtomNode& tkhd);
  MovErr ParseMedia(const MovAtomNode& mdia, const MovSampleTable::DeclaredCounts* counts);

  uint32_t trackId_ = 0;
  bool enabled_ = false;
  uint32_t handlerType_ = 0;
  uint64_t trackHeaderSize_ = 0;
  MovFixedSize dimensions_;
  MovFixedSize cleanAperture_;
  uint64_t duration_ = 0;
  uint32_t movieTimeScale_ = 0;
  uint32_t mediaTimeScale_ = 0;
  uint64_t mediaDuration_ = 0;
  MovEditList edits_;
  MovSampleTable samples_;
  MovUserData userData_;
};

}  // namespace hc::movfile
