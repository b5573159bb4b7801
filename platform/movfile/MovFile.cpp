#include "platform/movfile/MovFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovChunkOffsets.h"
#include "platform/movfile/MovCompressedHeader.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovMetadataReader.h"

namespace hc::movfile {
namespace {

constexpr size_t kCopyBlock = size_t{4} << 20;

std::vector<uint8_t> Serialized(const MovAtomNode& node) {
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(node.SerializedSize()));
  node.Serialize(bytes);
  return bytes;
}

// Replaces (or adds, when the user data has come into being) a 'udta' child.
void ApplyUserData(MovAtomNode& parent, const MovUserData& userData) {
  if (!userData.IsPresent()) return;
  std::vector<uint8_t> payload;
  userData.SerializePayload(payload);
  if (MovAtomNode* udta = parent.FindChild(MovFourCC("udta"))) {
    udta->SetPayload(payload);
  } else {
    parent.Children().push_back(MovAtomNode::Leaf(MovFourCC("udta"), payload));
  }
}

// Runs a step that builds data in memory; running out of memory fails the
// step instead of escaping the layer.
template <typename Step>
MovErr GuardAllocation(Step&& step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return MovErr::OutOfMemory;
  }
}

// Tables that grow with the number of samples or chunks.
bool IsBulkTable(uint32_t type) {
  switch (type) {
    case MovFourCC("stts"):
    case MovFourCC("ctts"):
    case MovFourCC("stss"):
    case MovFourCC("stps"):
    case MovFourCC("sdtp"):
    case MovFourCC("stsz"):
    case MovFourCC("stz2"):
    case MovFourCC("stco"):
    case MovFourCC("co64"):
      return true;
    default:
      return false;
  }
}

void SyncDirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

MovErr MovFile::OpenForRead(const std::string& path) { return Open(path, MovFileIo::Mode::Read); }

MovErr MovFile::OpenForUpdate(const std::string& path) { return Open(path, MovFileIo::Mode::Update); }

MovErr MovFile::Open(const std::string& path, MovFileIo::Mode mode) {
  Close();
  MovErr err = io_.Open(path, mode);
  if (err == MovErr::Ok) {
    err = GuardAllocation([this] {
      MovErr result = ScanTopLevel(layout_);
      return result == MovErr::Ok ? LoadHeader() : result;
    });
  }
  if (err != MovErr::Ok) Close();
  return err;
}

void MovFile::Close() {
  io_.Close();
  layout_ = Layout();
  headerAtom_ = MovAtom();
  headerCompressed_ = false;
  root_ = MovAtom();
  expanded_.clear();
  walkBudget_ = 0;
  movieMeta_.clear();
  tracksLoaded_ = false;
  tracksResult_ = MovErr::Ok;
  factsLoaded_ = false;
  factsResult_ = MovErr::Ok;
  trakAtoms_.clear();
  moov_ = MovAtomNode();
  timeScale_ = 0;
  duration_ = 0;
  tracks_.clear();
  userData_ = MovUserData();
}

// Reads the header of every top-level atom, skipping over their payloads, so
// that a large file costs a few small reads. Bytes after the last complete
// atom (a trailing atom cut short) are noted, not read.
MovErr MovFile::ScanTopLevel(Layout& layout) {
  layout = Layout();
  MovErr err = io_.Size(layout.fileSize);
  if (err != MovErr::Ok) return err;
  uint64_t offset = 0;
  while (offset < layout.fileSize) {
    uint64_t available = layout.fileSize - offset;
    uint8_t head[16] = {};
    size_t headSize = static_cast<size_t>(std::min<uint64_t>(16, available));
    MovAtom atom;
    if (available >= 8) {
      err = io_.ReadAt(offset, head, headSize);
      if (err != MovErr::Ok) return err;
      err = MovAtomReader::ParseHeader(std::span<const uint8_t>(head, headSize), offset, available, atom);
    }
    if (available < 8 || err != MovErr::Ok || atom.size > available) {
      layout.hasTail = true;
      layout.tailType = available >= 8 && err == MovErr::Ok ? atom.type : 0;
      break;
    }
    if (layout.atoms.size() >= kMaxTopLevelAtoms) return MovErr::SizeLimitExceeded;
    layout.atoms.push_back(atom);
    offset = atom.End();
  }
  layout.completeEnd = offset;
  return MovErr::Ok;
}

// Finds the header and reads what opening promises: the movie's time scale,
// duration, user data and 'meta', the tracks' count and user data. A plain
// header is walked atom header by atom header, so the sample tables (most of
// a long movie's header) are not read; a compressed one is read and expanded
// once, and kept for LoadTracks().
MovErr MovFile::LoadHeader() {
  auto moov = std::find_if(layout_.atoms.begin(), layout_.atoms.end(),
                           [](const MovAtom& atom) { return atom.type == MovFourCC("moov"); });
  if (moov == layout_.atoms.end()) {
    return layout_.hasTail ? MovErr::InvalidMovie : MovErr::NoMovieFound;
  }
  if (moov->size > kMaxHeaderSize) return MovErr::SizeLimitExceeded;
  headerAtom_ = *moov;
  root_ = headerAtom_;
  walkBudget_ = 0;
  std::vector<MovAtom> children;
  MovErr err = ChildAtoms(root_, children);
  if (err != MovErr::Ok) return err;
  if (std::any_of(children.begin(), children.end(), [](const MovAtom& a) { return a.type == MovFourCC("cmov"); })) {
    err = ExpandCompressedHeader();
    if (err == MovErr::Ok) err = ChildAtoms(root_, children);
    if (err != MovErr::Ok) return err;
  }
  return ReadOutline(children);
}

MovErr MovFile::ExpandCompressedHeader() {
  std::vector<uint8_t> bytes(static_cast<size_t>(headerAtom_.PayloadSize()));
  MovErr err = io_.ReadAt(headerAtom_.PayloadOffset(), bytes.data(), bytes.size());
  if (err == MovErr::Ok) err = MovCompressedHeader::Expand(bytes, expanded_);
  if (err != MovErr::Ok) return err;
  headerCompressed_ = true;
  return MovAtomReader::ParseHeader(std::span<const uint8_t>(expanded_).first(std::min<size_t>(16, expanded_.size())),
                                    0, expanded_.size(), root_);
}

// Header bytes at an offset: in the file, or in the expanded compressed header.
MovErr MovFile::ReadHeaderBytes(uint64_t offset, uint8_t* out, size_t count) {
  if (!headerCompressed_) return io_.ReadAt(offset, out, count);
  if (offset > expanded_.size() || count > expanded_.size() - offset) return MovErr::InvalidMovie;
  std::copy_n(expanded_.begin() + static_cast<std::ptrdiff_t>(offset), count, out);
  return MovErr::Ok;
}

MovErr MovFile::ReadPayload(const MovAtom& atom, std::vector<uint8_t>& payload) {
  payload.resize(static_cast<size_t>(atom.PayloadSize()));
  return ReadHeaderBytes(atom.PayloadOffset(), payload.data(), payload.size());
}

// The atoms inside a container, read header by header with the rules of
// MovAtomReader: size 0 runs to the container's end, fewer than 8 trailing
// zero bytes end it, and sizes past it are InvalidMovie.
MovErr MovFile::ChildAtoms(const MovAtom& parent, std::vector<MovAtom>& children) {
  children.clear();
  const uint64_t end = parent.End();
  for (uint64_t at = parent.PayloadOffset(); at < end;) {
    const uint64_t remaining = end - at;
    uint8_t head[16] = {};
    const size_t headSize = static_cast<size_t>(std::min<uint64_t>(16, remaining));
    MovErr err = ReadHeaderBytes(at, head, headSize);
    if (err != MovErr::Ok) return err;
    if (remaining < 8) {
      if (std::all_of(head, head + headSize, [](uint8_t b) { return b == 0; })) break;
      return MovErr::InvalidMovie;
    }
    if (++walkBudget_ > MovAtomNode::kMaxNodes) return MovErr::InvalidMovie;
    MovAtom atom;
    err = MovAtomReader::ParseHeader(std::span<const uint8_t>(head, headSize), at, remaining, atom);
    if (err != MovErr::Ok) return err;
    if (atom.size > remaining) return MovErr::InvalidMovie;
    children.push_back(atom);
    at = atom.End();
  }
  return MovErr::Ok;
}

MovErr MovFile::ReadOutline(const std::vector<MovAtom>& children) {
  std::vector<uint8_t> payload;
  bool haveMovieHeader = false;
  bool haveUserData = false;
  bool haveMeta = false;
  for (const MovAtom& child : children) {
    MovErr err = MovErr::Ok;
    if (child.type == MovFourCC("mvhd") && !haveMovieHeader) {
      haveMovieHeader = true;
      err = ReadPayload(child, payload);
      if (err == MovErr::Ok) err = ParseMovieHeader(payload);
    } else if (child.type == MovFourCC("udta") && !haveUserData) {
      haveUserData = true;
      err = ReadPayload(child, payload);
      if (err == MovErr::Ok) err = MovUserData::Parse(payload, userData_);
    } else if (child.type == MovFourCC("meta") && !haveMeta) {
      haveMeta = true;
      err = ReadPayload(child, movieMeta_);
    } else if (child.type == MovFourCC("trak")) {
      if (tracks_.size() >= kMaxTracks) return MovErr::SizeLimitExceeded;
      tracks_.emplace_back();
      trakAtoms_.push_back(child);
      err = ReadTrackUserData(child, tracks_.back().UserData());
    }
    if (err != MovErr::Ok) return err;
  }
  return haveMovieHeader ? MovErr::Ok : MovErr::InvalidMovie;
}

MovErr MovFile::ReadTrackUserData(const MovAtom& trak, MovUserData& userData) {
  std::vector<MovAtom> children;
  MovErr err = ChildAtoms(trak, children);
  if (err != MovErr::Ok) return err;
  for (const MovAtom& child : children) {
    if (child.type != MovFourCC("udta")) continue;
    std::vector<uint8_t> payload;
    err = ReadPayload(child, payload);
    return err == MovErr::Ok ? MovUserData::Parse(payload, userData) : err;
  }
  return MovErr::Ok;
}

MovErr MovFile::ParseMovieHeader(std::span<const uint8_t> payload) {
  MovByteReader reader(payload);
  uint8_t version = reader.U8();
  reader.Skip(3);
  if (version == 1) {
    reader.Skip(16);
    timeScale_ = reader.U32();
    duration_ = reader.U64();
  } else {
    reader.Skip(8);
    timeScale_ = reader.U32();
    duration_ = reader.U32();
  }
  return reader.Ok() && version <= 1 ? MovErr::Ok : MovErr::InvalidMovie;
}

MovErr MovFile::LoadTrackFacts() {
  if (!io_.IsOpen()) return MovErr::BadArgument;
  if (tracksLoaded_ && tracksResult_ == MovErr::Ok) return MovErr::Ok;
  if (!factsLoaded_) {
    factsLoaded_ = true;
    factsResult_ = GuardAllocation([this] {
      for (size_t index = 0; index < tracks_.size(); ++index) {
        MovErr err = ReadTrackFacts(index);
        if (err != MovErr::Ok) return err;
      }
      return MovErr::Ok;
    });
  }
  return factsResult_;
}


// The counts of the sample table that the full reading takes: the first
// 'stbl' of the first 'minf' of the first 'mdia', and in it the first table
// of each kind ('stz2' over 'stsz', 'co64' over 'stco').
struct MovFile::FactsCounts {
  std::optional<uint32_t> stsz, stz2, stco, co64;
  MovSampleTable::DeclaredCounts Declared() const {
    return {stz2 ? *stz2 : stsz.value_or(0), co64 ? *co64 : stco.value_or(0)};
  }
};

// One track read without its bulk tables: of those only the counts at their
// start, each checked against the bytes the table has, as the full reading does.
MovErr MovFile::ReadTrackFacts(size_t index) {
  MovAtomNode trak;
  FactsCounts counts;
  MovErr err = ReadFactsTree(trakAtoms_[index], 0, true, trak, counts);
  if (err != MovErr::Ok) return err;
  MovTrack track;
  err = MovTrack::ParseFacts(trak, timeScale_, counts.Declared(), track);
  if (err != MovErr::Ok) return err;
  track.UserData() = std::move(tracks_[index].UserData());
  tracks_[index] = std::move(track);
  return MovErr::Ok;
}

MovErr MovFile::ReadFactsTree(const MovAtom& atom, size_t depth, bool samplePath, MovAtomNode& node,
                              FactsCounts& counts) {
  if (depth > MovAtomNode::kMaxDepth) return MovErr::InvalidMovie;
  if (!MovAtomNode::IsContainerType(atom.type)) {
    std::vector<uint8_t> payload;
    MovErr err = ReadPayload(atom, payload);
    if (err == MovErr::Ok) node = MovAtomNode::Leaf(atom.type, payload);
    return err;
  }
  node = MovAtomNode::Container(atom.type);
  std::vector<MovAtom> children;
  MovErr err = ChildAtoms(atom, children);
  if (err != MovErr::Ok) return err;
  std::vector<uint32_t> seen;
  for (const MovAtom& child : children) {
    const bool first = std::find(seen.begin(), seen.end(), child.type) == seen.end();
    seen.push_back(child.type);
    if (atom.type == MovFourCC("stbl") && IsBulkTable(child.type)) {
      if (samplePath && first) err = ReadDeclaredCount(child, counts);
    } else {
      const bool next = (atom.type == MovFourCC("trak") && child.type == MovFourCC("mdia")) ||
                        (atom.type == MovFourCC("mdia") && child.type == MovFourCC("minf")) ||
                        (atom.type == MovFourCC("minf") && child.type == MovFourCC("stbl"));
      MovAtomNode childNode;
      err = ReadFactsTree(child, depth + 1, samplePath && first && next, childNode, counts);
      if (err == MovErr::Ok) node.Children().push_back(std::move(childNode));
    }
    if (err != MovErr::Ok) return err;
  }
  return MovErr::Ok;
}

MovErr MovFile::ReadDeclaredCount(const MovAtom& table, FactsCounts& counts) {
  const bool sizes = table.type == MovFourCC("stsz") || table.type == MovFourCC("stz2");
  const bool chunks = table.type == MovFourCC("stco") || table.type == MovFourCC("co64");
  if (!sizes && !chunks) return MovErr::Ok;
  uint8_t head[12] = {};
  const size_t headSize = sizes ? 12 : 8;
  if (table.PayloadSize() < headSize) return MovErr::InvalidSampleTable;
  MovErr err = ReadHeaderBytes(table.PayloadOffset(), head, headSize);
  if (err != MovErr::Ok) return err;
  MovByteReader reader(std::span<const uint8_t>(head, headSize));
  reader.U32();
  const uint64_t entryBytes = table.PayloadSize() - headSize;
  if (sizes) {
    const uint32_t field = reader.U32();
    const uint32_t count = reader.U32();
    const bool compact = table.type == MovFourCC("stz2");
    const uint64_t needed = compact ? (uint64_t{count} * (field & 0xFF) + 7) / 8 : field == 0 ? uint64_t{count} * 4 : 0;
    if (needed > entryBytes) return MovErr::InvalidSampleTable;
    (compact ? counts.stz2 : counts.stsz) = count;
  } else {
    const bool wide = table.type == MovFourCC("co64");
    const uint32_t count = reader.U32();
    if (uint64_t{count} * (wide ? 8 : 4) > entryBytes) return MovErr::InvalidSampleTable;
    (wide ? counts.co64 : counts.stco) = count;
  }
  return MovErr::Ok;
}

MovErr MovFile::LoadTracks() {
  if (!io_.IsOpen()) return MovErr::BadArgument;
  if (!tracksLoaded_) {
    tracksLoaded_ = true;
    tracksResult_ = GuardAllocation([this] { return ParseWholeHeader(); });
  }
  return tracksResult_;
}

// Reads the whole header (once: a compressed one is already in memory) and
// parses every track. The user data read at opening, changed or not, stays
// the tracks' own.
MovErr MovFile::ParseWholeHeader() {
  std::vector<uint8_t> bytes;
  if (headerCompressed_) {
    bytes = std::move(expanded_);
    expanded_ = std::vector<uint8_t>();
  } else {
    bytes.resize(static_cast<size_t>(headerAtom_.size));
    MovErr err = io_.ReadAt(headerAtom_.offset, bytes.data(), bytes.size());
    if (err != MovErr::Ok) return err;
  }
  MovErr err = MovAtomNode::Parse(bytes, moov_);
  if (err != MovErr::Ok) return err;
  size_t index = 0;
  for (const auto& child : moov_.Children()) {
    if (child.Type() != MovFourCC("trak")) continue;
    if (index >= tracks_.size()) return MovErr::InvalidMovie;
    MovTrack track;
    err = MovTrack::Parse(child, timeScale_, track);
    if (err != MovErr::Ok) return err;
    track.UserData() = std::move(tracks_[index].UserData());
    tracks_[index++] = std::move(track);
  }
  return index == tracks_.size() ? MovErr::Ok : MovErr::InvalidMovie;
}

MovTrack* MovFile::FindTrackById(uint32_t trackId) {
  for (auto& track : tracks_) {
    if (track.TrackId() == trackId) return &track;
  }
  return nullptr;
}

MovErr MovFile::Metadata(std::vector<MovMetadataItem>& items) const {
  return MovMetadataReader::Read(movieMeta_, userData_, items);
}

MovErr MovFile::CheckSampleTables() {
  if (MovErr err = LoadTrackFacts(); err != MovErr::Ok) return err;
  for (const MovTrack& track : tracks_) {
    MovErr err = track.Samples().CheckAgainstFileSize(layout_.fileSize, track.HandlerType() == MovFourCC("soun"));
    if (err != MovErr::Ok) return err;
  }
  return MovErr::Ok;
}

MovErr MovFile::ReadSample(const MovTrack& track, uint64_t sampleNumber, std::vector<uint8_t>& bytes,
                           uint32_t* descriptionIndex) const {
  bool ours = std::any_of(tracks_.begin(), tracks_.end(), [&track](const MovTrack& t) { return &t == &track; });
  if (!ours) return MovErr::BadArgument;
  uint64_t offset = 0;
  uint32_t size = 0;
  uint32_t description = 0;
  MovErr err = track.Samples().SampleLocation(sampleNumber, offset, size, description);
  if (err != MovErr::Ok) return err;
  if (descriptionIndex) *descriptionIndex = description;
  if (size > kMaxSampleSize) return MovErr::SizeLimitExceeded;
  if (offset > layout_.fileSize || size > layout_.fileSize - offset) return MovErr::InvalidSampleTable;
  return GuardAllocation([&] {
    bytes.resize(size);
    return io_.ReadAt(offset, bytes.data(), size);
  });
}

bool MovFile::HasChanges() const {
  return userData_.IsChanged() ||
         std::any_of(tracks_.begin(), tracks_.end(), [](const MovTrack& t) { return t.UserData().IsChanged(); });
}

MovErr MovFile::BuildHeader(MovAtomNode& header) {
  if (MovErr err = LoadTracks(); err != MovErr::Ok) return err;
  return GuardAllocation([&] {
    header = HeaderWithUserData();
    return MovErr::Ok;
  });
}

MovAtomNode MovFile::HeaderWithUserData() const {
  MovAtomNode header = moov_;
  ApplyUserData(header, userData_);
  size_t index = 0;
  for (auto& child : header.Children()) {
    if (child.Type() == MovFourCC("trak") && index < tracks_.size()) ApplyUserData(child, tracks_[index++].UserData());
  }
  return header;
}

MovErr MovFile::Save() {
  if (!io_.IsOpen() || !io_.IsWritable()) return MovErr::DataNotOpenForWrite;
  if (!HasChanges()) return MovErr::Ok;
  if (MovErr err = LoadTracks(); err != MovErr::Ok) return err;
  return GuardAllocation([this] { return SaveChanges(); });
}

MovErr MovFile::SaveChanges() {
  std::vector<uint8_t> header = Serialized(HeaderWithUserData());
  if (header.size() > kMaxHeaderSize) return MovErr::SizeLimitExceeded;

  Layout layout;
  MovErr err = ScanTopLevel(layout);
  if (err != MovErr::Ok) return err;
  uint64_t appendAt = 0;
  err = PrepareAppend(layout, appendAt);
  if (err != MovErr::Ok) return err;
  err = WriteNewHeader(header, appendAt);
  if (err != MovErr::Ok) return err;

  err = RetireOldHeaders(layout);
  if (err != MovErr::Ok) return err;
  MovAtom written;
  written.type = MovFourCC("moov");
  written.offset = appendAt;
  written.size = header.size();
  written.headerSize = header.size() > UINT32_MAX ? 16 : 8;
  headerAtom_ = written;
  root_ = written;
  headerCompressed_ = false;
  moov_ = HeaderWithUserData();
  userData_.ClearChanged();
  for (auto& track : tracks_) track.UserData().ClearChanged();
  err = io_.Sync();
  ScanTopLevel(layout_);
  return err;
}

// The new header is durable; now the old ones become free space. Readers
// take the first header in the file, which is the live one: headers that an
// interrupted save left after it go first (and are synced), so that none of
// them can lead once the live one is freed.
MovErr MovFile::RetireOldHeaders(const Layout& layout) {
  static const uint8_t kFree[4] = {'f', 'r', 'e', 'e'};
  bool retiredStale = false;
  for (const MovAtom& atom : layout.atoms) {
    if (atom.type != MovFourCC("moov") || atom.offset == headerAtom_.offset) continue;
    MovErr err = io_.WriteAt(atom.offset + 4, kFree, sizeof kFree);
    if (err != MovErr::Ok) return err;
    retiredStale = true;
  }
  if (retiredStale) {
    MovErr err = io_.Sync();
    if (err != MovErr::Ok) return err;
  }
  return io_.WriteAt(headerAtom_.offset + 4, kFree, sizeof kFree);
}

// Finds where the new header goes: after the last complete atom. A trailing
// header cut short by an earlier interrupted save is dropped; any other
// incomplete trailing atom may hold media, so the file is left alone. A last
// atom that runs to the end of the file gets its real size first, or the
// appended header would fall inside it.
MovErr MovFile::PrepareAppend(const Layout& layout, uint64_t& appendAt) {
  bool headerStillThere = std::any_of(layout.atoms.begin(), layout.atoms.end(), [this](const MovAtom& atom) {
    return atom.offset == headerAtom_.offset && atom.type == MovFourCC("moov") && atom.size == headerAtom_.size;
  });
  if (!headerStillThere) return MovErr::InvalidMovie;
  appendAt = layout.completeEnd;
  if (layout.hasTail) {
    bool leftover = layout.fileSize - layout.completeEnd < 8 || layout.tailType == MovFourCC("moov") ||
                    layout.tailType == MovFourCC("free");
    if (!leftover) return MovErr::InvalidMovie;
    return io_.Truncate(appendAt);
  }
  const MovAtom& last = layout.atoms.back();
  if (!last.extendsToEnd) return MovErr::Ok;
  if (last.size > UINT32_MAX) return MovErr::FeatureUnsupported;
  std::vector<uint8_t> size;
  MovByteWriter(size).U32(static_cast<uint32_t>(last.size));
  return io_.WriteAt(last.offset, size.data(), size.size());
}

MovErr MovFile::WriteNewHeader(const std::vector<uint8_t>& header, uint64_t appendAt) {
  MovErr err = io_.WriteAt(appendAt, header.data(), header.size());
  if (err == MovErr::Ok) err = io_.Sync();
  if (err != MovErr::Ok) io_.Truncate(appendAt);  // best effort; the old header still leads
  return err;
}

MovErr MovFile::BuildFlatHeader(MovAtomNode header, const std::vector<MovAtom>& media, uint64_t prefixSize,
                                bool compress, std::vector<uint8_t>& bytes, uint64_t& reserved) {
  reserved = header.SerializedSize();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::vector<uint64_t> newPayloadStarts;
    uint64_t at = prefixSize + reserved;
    for (const MovAtom& atom : media) {
      uint32_t headerSize = MovByteWriter::HeaderSizeFor(atom.PayloadSize());
      newPayloadStarts.push_back(at + headerSize);
      at += headerSize + atom.PayloadSize();
    }
    MovAtomNode shifted = header;
    MovErr err = MovChunkOffsets::Remap(shifted, [&](uint64_t old, uint64_t& moved) {
      for (size_t i = 0; i < media.size(); ++i) {
        if (old >= media[i].PayloadOffset() && old <= media[i].End()) {
          moved = old - media[i].PayloadOffset() + newPayloadStarts[i];
          return true;
        }
      }
      return false;
    });
    if (err != MovErr::Ok) return err;
    bytes = Serialized(shifted);
    if (compress) {
      std::vector<uint8_t> packed;
      err = MovCompressedHeader::Compress(bytes, packed);
      if (err != MovErr::Ok) return err;
      bytes = std::move(packed);
    }
    // The header fits when it fills its room exactly or leaves room for a 'free' atom.
    if (bytes.size() == reserved || bytes.size() + 8 <= reserved) return MovErr::Ok;
    reserved = std::max<uint64_t>(reserved, bytes.size()) + (bytes.size() < reserved ? 8 : 0);
  }
  return MovErr::InvalidMovie;
}

MovErr MovFile::CopyMedia(MovFileIo& out, const std::vector<MovAtom>& media, uint64_t at,
                          const MovFlattenOptions& options) {
  uint64_t total = 0;
  for (const MovAtom& atom : media) total += atom.PayloadSize();
  uint64_t done = 0;
  std::vector<uint8_t> block;
  for (const MovAtom& atom : media) {
    std::vector<uint8_t> header;
    MovByteWriter(header).AtomHeader(MovFourCC("mdat"),
                                     atom.PayloadSize() + MovByteWriter::HeaderSizeFor(atom.PayloadSize()));
    MovErr err = out.WriteAt(at, header.data(), header.size());
    if (err != MovErr::Ok) return err;
    at += header.size();
    for (uint64_t offset = 0; offset < atom.PayloadSize();) {
      size_t count = static_cast<size_t>(std::min<uint64_t>(kCopyBlock, atom.PayloadSize() - offset));
      block.resize(count);
      err = io_.ReadAt(atom.PayloadOffset() + offset, block.data(), count);
      if (err == MovErr::Ok) err = out.WriteAt(at, block.data(), count);
      if (err != MovErr::Ok) return err;
      offset += count;
      at += count;
      done += count;
      if (options.progress && !options.progress(done, total)) return MovErr::IoError;
    }
  }
  return MovErr::Ok;
}

MovErr MovFile::FlattenTo(const std::string& path, const MovFlattenOptions& options) {
  if (MovErr err = LoadTracks(); err != MovErr::Ok) return err;
  return GuardAllocation([&] { return FlattenCopy(path, options); });
}

MovErr MovFile::FlattenCopy(const std::string& path, const MovFlattenOptions& options) {
  struct stat target {};
  uint64_t device = 0;
  uint64_t inode = 0;
  MovErr err = io_.Identity(device, inode);
  if (err != MovErr::Ok) return err;
  if (::stat(path.c_str(), &target) == 0 && static_cast<uint64_t>(target.st_dev) == device &&
      static_cast<uint64_t>(target.st_ino) == inode) {
    return MovErr::BadArgument;  // flattening onto itself would destroy the media being copied
  }

  std::vector<uint8_t> prefix;
  std::vector<MovAtom> media;
  for (const MovAtom& atom : layout_.atoms) {
    if (atom.type == MovFourCC("mdat")) media.push_back(atom);
    if (atom.type == MovFourCC("ftyp") && prefix.empty() && atom.size <= 4096) {
      prefix.resize(static_cast<size_t>(atom.size));
      err = io_.ReadAt(atom.offset, prefix.data(), prefix.size());
      if (err != MovErr::Ok) return err;
      if (atom.extendsToEnd) MovByteWriter(prefix).PatchU32(0, static_cast<uint32_t>(atom.size));
    }
  }
  std::vector<uint8_t> header;
  uint64_t reserved = 0;
  err = BuildFlatHeader(HeaderWithUserData(), media, prefix.size(), options.compressHeader, header, reserved);
  if (err != MovErr::Ok) return err;
  if (reserved > header.size()) {
    MovByteWriter(header).AtomHeader(MovFourCC("free"), reserved - header.size());
    header.resize(static_cast<size_t>(reserved));
  }

  std::string temporary = path + ".flattenXXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return MovErrFromErrno(errno);
  ::fchmod(fd, 0644);  // mkstemp's 0600 would hide the movie from other users
  ::close(fd);
  MovFileIo out;
  err = out.Open(temporary, MovFileIo::Mode::Create);
  if (err == MovErr::Ok) err = out.WriteAt(0, prefix.data(), prefix.size());
  if (err == MovErr::Ok) err = out.WriteAt(prefix.size(), header.data(), header.size());
  if (err == MovErr::Ok) err = CopyMedia(out, media, prefix.size() + header.size(), options);
  if (err == MovErr::Ok) err = out.Sync();
  out.Close();
  if (err == MovErr::Ok && ::rename(temporary.c_str(), path.c_str()) != 0) err = MovErrFromErrno(errno);
  if (err != MovErr::Ok) {
    ::unlink(temporary.c_str());
    return err;
  }
  SyncDirectoryOf(path);
  return MovErr::Ok;
}

}  // namespace hc::movfile
