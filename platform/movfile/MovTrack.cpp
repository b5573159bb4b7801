#include "platform/movfile/MovTrack.h"

#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {

MovErr MovTrack::Parse(const MovAtomNode& trak, uint32_t movieTimeScale, MovTrack& track) {
  return ParseAll(trak, movieTimeScale, nullptr, track);
}

MovErr MovTrack::ParseFacts(const MovAtomNode& trak, uint32_t movieTimeScale,
                            const MovSampleTable::DeclaredCounts& counts, MovTrack& track) {
  return ParseAll(trak, movieTimeScale, &counts, track);
}

MovErr MovTrack::ParseAll(const MovAtomNode& trak, uint32_t movieTimeScale,
                          const MovSampleTable::DeclaredCounts* counts, MovTrack& track) {
  track = MovTrack();
  track.movieTimeScale_ = movieTimeScale;
  const MovAtomNode* tkhd = trak.FindChild(MovFourCC("tkhd"));
  const MovAtomNode* mdia = trak.FindChild(MovFourCC("mdia"));
  if (!tkhd || !mdia || !mdia->IsContainer()) return MovErr::InvalidTrack;
  MovErr err = track.ParseHeader(*tkhd);
  if (err == MovErr::Ok) err = track.ParseMedia(*mdia, counts);
  if (err != MovErr::Ok) return err;

  track.cleanAperture_ = track.dimensions_;
  if (const MovAtomNode* clef = trak.FindPath({MovFourCC("tapt"), MovFourCC("clef")})) {
    MovByteReader reader(clef->Payload());
    reader.U32();
    MovFixedSize aperture{reader.U32(), reader.U32()};
    if (reader.Ok()) track.cleanAperture_ = aperture;
  }
  if (const MovAtomNode* elst = trak.FindPath({MovFourCC("edts"), MovFourCC("elst")})) {
    err = MovEditList::Parse(elst->Payload(), track.edits_);
    if (err != MovErr::Ok) return err;
  }
  if (const MovAtomNode* udta = trak.FindChild(MovFourCC("udta"))) {
    err = MovUserData::Parse(udta->Payload(), track.userData_);
  }
  return err;
}

MovErr MovTrack::ParseHeader(const MovAtomNode& tkhd) {
  trackHeaderSize_ = tkhd.SerializedSize();
  MovByteReader reader(tkhd.Payload());
  uint32_t versionAndFlags = reader.U32();
  uint8_t version = static_cast<uint8_t>(versionAndFlags >> 24);
  enabled_ = (versionAndFlags & 1) != 0;
  if (version == 1) {
    reader.Skip(16);
    trackId_ = reader.U32();
    reader.Skip(4);
    duration_ = reader.U64();
  } else {
    reader.Skip(8);
    trackId_ = reader.U32();
    reader.Skip(4);
    duration_ = reader.U32();
  }
  reader.Skip(8 + 2 + 2 + 2 + 2 + 36);  // reserved, layer, group, volume, reserved, matrix
  dimensions_.width = reader.U32();
  dimensions_.height = reader.U32();
  return reader.Ok() && version <= 1 ? MovErr::Ok : MovErr::InvalidTrack;
}

MovErr MovTrack::ParseMedia(const MovAtomNode& mdia, const MovSampleTable::DeclaredCounts* counts) {
  const MovAtomNode* mdhd = mdia.FindChild(MovFourCC("mdhd"));
  if (!mdhd) return MovErr::InvalidTrack;
  MovByteReader reader(mdhd->Payload());
  uint8_t version = reader.U8();
  reader.Skip(3);
  if (version == 1) {
    reader.Skip(16);
    mediaTimeScale_ = reader.U32();
    mediaDuration_ = reader.U64();
  } else {
    reader.Skip(8);
    mediaTimeScale_ = reader.U32();
    mediaDuration_ = reader.U32();
  }
  if (!reader.Ok() || version > 1) return MovErr::InvalidTrack;

  if (const MovAtomNode* hdlr = mdia.FindChild(MovFourCC("hdlr"))) {
    MovByteReader handler(hdlr->Payload());
    handler.Skip(8);  // version and flags, component type
    handlerType_ = handler.U32();
  }
  if (const MovAtomNode* stbl = mdia.FindPath({MovFourCC("minf"), MovFourCC("stbl")})) {
    return counts ? MovSampleTable::ParseFacts(*stbl, *counts, samples_) : MovSampleTable::Parse(*stbl, samples_);
  }
  return MovErr::Ok;
}

bool MovTrack::HasVisualCharacteristic() const {
  switch (handlerType_) {
    case MovFourCC("vide"):
    case MovFourCC("MPEG"):
    case MovFourCC("text"):
    case MovFourCC("sbtl"):
    case MovFourCC("subp"):
    case MovFourCC("clcp"):
    case MovFourCC("tmcd"):
    case MovFourCC("sprt"):
    case MovFourCC("qtz "):
      return true;
    default:
      return false;
  }
}

std::span<const uint8_t> MovTrack::SampleDescription(size_t ordinal) const {
  const auto& descriptions = samples_.Descriptions();
  if (ordinal == 0 || ordinal > descriptions.size()) return {};
  return descriptions[ordinal - 1];
}

uint64_t MovTrack::DataSize() const {
  return samples_.SizeOfSamplesIn(edits_.MediaRanges(movieTimeScale_, mediaTimeScale_));
}

}  // namespace hc::movfile
