#include "platform/movfile/MovFile.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovChunkOffsets.h"
#include "platform/movfile/MovCompressedHeader.h"
#include "platform/movfile/MovFileReplacement.h"
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

const uint8_t kFreeType[4] = {'f', 'r', 'e', 'e'};

// Holds a lock on a movie file for one call.
class HeldLock {
 public:
  explicit HeldLock(MovFileIo& io) : io_(io) {}
  ~HeldLock() {
    if (held_) io_.Unlock();
  }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

  MovErr Take(MovFileIo::LockKind kind, std::chrono::milliseconds wait) {
    MovErr err = io_.Lock(kind, wait);
    held_ = err == MovErr::Ok;
    return err;
  }

 private:
  MovFileIo& io_;
  bool held_ = false;
};

// 64 bits over a header's bytes (CRC-32 and Adler-32 side by side), to tell
// whether a header is still the one read; not a defence against forgery.
class HeaderDigest {
 public:
  void Add(std::span<const uint8_t> bytes) {
    crc_ = crc32_z(crc_, bytes.data(), bytes.size());
    adler_ = adler32_z(adler_, bytes.data(), bytes.size());
  }
  uint64_t Value() const { return (static_cast<uint64_t>(crc_) << 32) | adler_; }

 private:
  uLong crc_ = crc32_z(0, Z_NULL, 0);
  uLong adler_ = adler32_z(0, Z_NULL, 0);
};

// The header that readers take: the first in the file.
const MovAtom* FirstHeader(const std::vector<MovAtom>& atoms) {
  auto moov = std::find_if(atoms.begin(), atoms.end(), [](const MovAtom& atom) { return atom.type == MovFourCC("moov"); });
  return moov == atoms.end() ? nullptr : &*moov;
}

// Space a save may take back: free atoms, and atoms of type 0 (zeros).
bool IsSpare(const MovAtom& atom) { return atom.type == MovFourCC("free") || atom.type == 0; }

// Whether a chunk of media starts inside the atom (chunkStarts sorted).
bool HoldsMedia(const MovAtom& atom, const std::vector<uint64_t>& chunkStarts) {
  auto first = std::lower_bound(chunkStarts.begin(), chunkStarts.end(), atom.offset);
  return first != chunkStarts.end() && *first < atom.End();
}

MovErr WriteAtomHeader(MovFileIo& io, uint64_t at, uint32_t type, uint64_t size) {
  std::vector<uint8_t> bytes;
  MovByteWriter(bytes).AtomHeader(type, size);
  return io.WriteAt(at, bytes.data(), bytes.size());
}

// Whether bytes read where a header lay still start that header: a 'moov'
// atom of its size.
bool StartsLike(const MovAtom& header, std::span<const uint8_t> head, uint64_t available) {
  MovAtom atom;
  return MovAtomReader::ParseHeader(head, header.offset, available, atom) == MovErr::Ok &&
         atom.type == MovFourCC("moov") && atom.size == header.size;
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

}  // namespace

MovErr MovFile::OpenForRead(const std::string& path) { return Open(path, MovFileIo::Mode::Read); }

MovErr MovFile::OpenForUpdate(const std::string& path) { return Open(path, MovFileIo::Mode::Update); }

MovErr MovFile::Open(const std::string& path, MovFileIo::Mode mode) {
  Close();
  MovErr err = io_.Open(path, mode);
  HeldLock lock(io_);  // so that another process's save is never seen half done
  if (err == MovErr::Ok) err = lock.Take(MovFileIo::LockKind::Shared, lockWait_);
  if (err == MovErr::Ok) {
    err = GuardAllocation([this] {
      MovErr result = ScanTopLevel(layout_);
      return result == MovErr::Ok ? LoadHeader() : result;
    });
  }
  if (err == MovErr::Ok && io_.IsWritable()) err = NoteLiveHeader();
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
  ownHeaders_.clear();
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
    HeldLock lock(io_);  // so that another process's save is never seen half done
    MovErr err = lock.Take(MovFileIo::LockKind::Shared, lockWait_);
    if (err != MovErr::Ok) return err;  // not kept: a busy file may be tried again
    factsLoaded_ = true;
    factsResult_ = GuardAllocation([this] {
      MovErr result = CheckHeaderInPlace();
      for (size_t index = 0; result == MovErr::Ok && index < tracks_.size(); ++index) result = ReadTrackFacts(index);
      return result;
    });
  }
  return factsResult_;
}

// The header is read in parts after opening; another process's save since
// then may have freed it and reused its space. A header still starting where
// ours did with our size is taken as ours (a save into the same space leaves
// a header of the same movie there).
MovErr MovFile::CheckHeaderInPlace() {
  if (headerCompressed_) return MovErr::Ok;  // read whole at opening
  uint64_t fileSize = 0;
  MovErr err = io_.Size(fileSize);
  if (err != MovErr::Ok) return err;
  if (headerAtom_.End() > fileSize) return MovErr::FileChanged;
  uint8_t head[16] = {};
  const size_t headSize = static_cast<size_t>(std::min<uint64_t>(16, headerAtom_.size));
  err = io_.ReadAt(headerAtom_.offset, head, headSize);
  if (err != MovErr::Ok) return err;
  return StartsLike(headerAtom_, std::span<const uint8_t>(head, headSize), fileSize - headerAtom_.offset)
             ? MovErr::Ok
             : MovErr::FileChanged;
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
  if (tracksLoaded_) return tracksResult_;
  HeldLock lock(io_);  // so that another process's save is never seen half done
  MovErr err = lock.Take(MovFileIo::LockKind::Shared, lockWait_);
  if (err != MovErr::Ok) return err;  // not kept: a busy file may be tried again
  return LoadTracksLocked();
}

// LoadTracks() for callers that hold the file's lock already (taking the
// shared one again would turn a save's exclusive lock into a shared one).
MovErr MovFile::LoadTracksLocked() {
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
    // Another process's save since the opening may have freed the header and
    // reused its space (see CheckHeaderInPlace); opened for update, the
    // header read at opening is known byte for byte.
    if (!StartsLike(headerAtom_, std::span<const uint8_t>(bytes).first(std::min<size_t>(16, bytes.size())),
                    headerAtom_.size)) {
      return MovErr::FileChanged;
    }
    if (!ownHeaders_.empty()) {
      HeaderDigest digest;
      digest.Add(bytes);
      if (digest.Value() != ownHeaders_.front().digest) return MovErr::FileChanged;
    }
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
  HeldLock lock(io_);
  MovErr err = lock.Take(MovFileIo::LockKind::Exclusive, lockWait_);
  if (err == MovErr::Ok) err = io_.CheckStillAtPath();
  if (err != MovErr::Ok) return err;
  return GuardAllocation([this] { return SaveChanges(); });
}

// Runs with the file locked for writing. The tracks load only once the live
// header is known to be the one this object read, so what they are read from
// is what the save replaces.
MovErr MovFile::SaveChanges() {
  Layout layout;
  MovErr err = ScanTopLevel(layout);
  if (err == MovErr::Ok) err = CheckLiveHeaderIsOurs(layout);
  if (err == MovErr::Ok) err = LoadTracksLocked();
  if (err != MovErr::Ok) return err;
  const MovAtom live = *FirstHeader(layout.atoms);

  std::vector<uint8_t> header = Serialized(HeaderWithUserData());
  if (header.size() > kMaxHeaderSize) return MovErr::SizeLimitExceeded;
  const std::vector<uint64_t> chunkStarts = ChunkStarts();
  err = PrepareForHeader(layout, chunkStarts);
  uint64_t at = 0;
  if (err == MovErr::Ok) err = WriteHiddenHeader(layout, chunkStarts, header, at);
  if (err == MovErr::Ok) err = SwitchHeaders(at, header, live);
  if (err == MovErr::Ok) err = DropTrailingFreeSpace(layout, chunkStarts);
  if (err == MovErr::Ok) err = io_.Sync();
  if (err != MovErr::Ok) return err;  // the changes stay marked, so a later save writes them

  headerAtom_ = MovAtom{MovFourCC("moov"), at, header.size(), 8, false};
  root_ = headerAtom_;
  headerCompressed_ = false;
  moov_ = HeaderWithUserData();
  ownHeaders_ = {ownHeaders_.back()};
  userData_.ClearChanged();
  for (auto& track : tracks_) track.UserData().ClearChanged();
  layout_ = std::move(layout);
  return MovErr::Ok;
}

// Remembers the header just read, so that a save can tell whether another
// process has saved since. Called with the file locked.
MovErr MovFile::NoteLiveHeader() {
  HeaderStamp stamp{headerAtom_.offset, headerAtom_.size, 0};
  MovErr err = DigestOf(headerAtom_, stamp.digest);
  if (err == MovErr::Ok) ownHeaders_ = {stamp};
  return err;
}

MovErr MovFile::DigestOf(const MovAtom& atom, uint64_t& digest) {
  HeaderDigest running;
  std::vector<uint8_t> block;
  for (uint64_t done = 0; done < atom.size;) {
    size_t count = static_cast<size_t>(std::min<uint64_t>(kCopyBlock, atom.size - done));
    block.resize(count);
    MovErr err = io_.ReadAt(atom.offset + done, block.data(), count);
    if (err != MovErr::Ok) return err;
    running.Add(block);
    done += count;
  }
  digest = running.Value();
  return MovErr::Ok;
}

// The header that readers take (the first) must be one this object read or
// wrote, byte for byte; else another process saved since, and writing now
// would throw its change away.
MovErr MovFile::CheckLiveHeaderIsOurs(const Layout& layout) {
  const MovAtom* live = FirstHeader(layout.atoms);
  if (!live) return MovErr::FileChanged;
  for (const HeaderStamp& stamp : ownHeaders_) {
    if (stamp.offset != live->offset || stamp.size != live->size) continue;
    uint64_t digest = 0;
    MovErr err = DigestOf(*live, digest);
    if (err != MovErr::Ok) return err;
    if (digest != stamp.digest) return MovErr::FileChanged;
    const HeaderStamp kept = stamp;
    ownHeaders_ = {kept};  // others an earlier failed save wrote are freed below
    return MovErr::Ok;
  }
  return MovErr::FileChanged;
}

std::vector<uint64_t> MovFile::ChunkStarts() const {
  std::vector<uint64_t> starts;
  for (const MovTrack& track : tracks_) {
    const auto& offsets = track.Samples().ChunkOffsets();
    starts.insert(starts.end(), offsets.begin(), offsets.end());
  }
  std::sort(starts.begin(), starts.end());
  return starts;
}

// Clears what earlier saves cut short may have left: headers after the live
// one are freed (and synced, so none can come to lead once the live one is
// freed), free space and debris at the end of the file are cut off, and a
// last atom that runs to the end of the file gets its real size, or a header
// appended after it would fall inside it. Of an incomplete trailing atom only
// a header, free space or fewer than 8 bytes is ours to drop (all our writers
// hold the lock); any other one may hold media, so the file is left alone.
MovErr MovFile::PrepareForHeader(Layout& layout, const std::vector<uint64_t>& chunkStarts) {
  const uint64_t liveOffset = FirstHeader(layout.atoms)->offset;
  bool retired = false;
  for (const MovAtom& atom : layout.atoms) {
    if (atom.type != MovFourCC("moov") || atom.offset == liveOffset) continue;
    MovErr err = io_.WriteAt(atom.offset + 4, kFreeType, sizeof kFreeType);
    if (err != MovErr::Ok) return err;
    retired = true;
  }
  if (retired) {
    MovErr err = io_.Sync();
    if (err == MovErr::Ok) err = ScanTopLevel(layout);
    if (err != MovErr::Ok) return err;
  }
  if (layout.hasTail) {
    bool leftover = layout.fileSize - layout.completeEnd < 8 || layout.tailType == MovFourCC("moov") ||
                    layout.tailType == MovFourCC("free");
    if (!leftover) return MovErr::InvalidMovie;
  }
  MovErr err = DropTrailingFreeSpace(layout, chunkStarts);
  if (err != MovErr::Ok) return err;
  const MovAtom& last = layout.atoms.back();
  if (!last.extendsToEnd) return MovErr::Ok;
  if (last.size > UINT32_MAX) return MovErr::FeatureUnsupported;
  std::vector<uint8_t> size;
  MovByteWriter(size).U32(static_cast<uint32_t>(last.size));
  err = io_.WriteAt(last.offset, size.data(), size.size());
  if (err == MovErr::Ok) err = ScanTopLevel(layout);
  return err;
}

// Cuts off the free atoms (and atoms of type 0, which is what an extension
// of the file cut short looks like) at the end of the file, and any
// incomplete atom after them; rescans.
MovErr MovFile::DropTrailingFreeSpace(Layout& layout, const std::vector<uint64_t>& chunkStarts) {
  MovErr err = ScanTopLevel(layout);
  if (err != MovErr::Ok) return err;
  uint64_t cut = layout.completeEnd;
  for (auto atom = layout.atoms.rbegin(); atom != layout.atoms.rend(); ++atom) {
    if (!IsSpare(*atom) || HoldsMedia(*atom, chunkStarts)) break;
    cut = atom->offset;
  }
  if (cut == layout.fileSize) return MovErr::Ok;
  err = io_.Truncate(cut);
  if (err == MovErr::Ok) err = ScanTopLevel(layout);
  return err;
}

// Runs of adjacent free atoms that hold no media, each small enough for one
// 32-bit atom header. Atoms with a 64-bit header are left alone: rewriting
// such a header could not be done with one write that lands whole.
std::vector<MovFile::FreeRun> MovFile::ReusableRuns(const Layout& layout,
                                                    const std::vector<uint64_t>& chunkStarts) const {
  std::vector<FreeRun> runs;
  bool extending = false;
  for (const MovAtom& atom : layout.atoms) {
    bool reusable = atom.type == MovFourCC("free") && atom.headerSize == 8 && !atom.extendsToEnd &&
                    !HoldsMedia(atom, chunkStarts);
    if (!reusable) {
      extending = false;
      continue;
    }
    if (extending && runs.back().size + atom.size <= UINT32_MAX) {
      runs.back().size += atom.size;
      runs.back().atoms += 1;
    } else {
      runs.push_back(FreeRun{atom.offset, atom.size, 1});
      extending = true;
    }
  }
  return runs;
}

// Writes the new header where no reader looks at it yet: inside the best
// fitting run of free space, or at the end of the file, labelled 'free' and
// synced.
MovErr MovFile::WriteHiddenHeader(const Layout& layout, const std::vector<uint64_t>& chunkStarts,
                                  const std::vector<uint8_t>& header, uint64_t& at) {
  const uint64_t size = header.size();
  const FreeRun* best = nullptr;
  std::vector<FreeRun> runs = ReusableRuns(layout, chunkStarts);
  for (const FreeRun& run : runs) {
    bool fits = run.size == size || run.size >= size + 8;  // what is left must hold a 'free' atom
    if (fits && (!best || run.size < best->size)) best = &run;
  }
  if (best) {
    at = best->offset;
    return WriteIntoFreeRun(*best, header);
  }
  if (layout.hasTail) return MovErr::InvalidMovie;
  at = layout.completeEnd;
  return AppendHidden(at, header);
}

// A run of several atoms becomes one first, so that the header's bytes land
// inside a single free atom whatever part of them reaches the disk. What the
// header leaves of the run gets its own 'free' header before the new header's
// size is written.
MovErr MovFile::WriteIntoFreeRun(const FreeRun& run, const std::vector<uint8_t>& header) {
  MovErr err = MovErr::Ok;
  if (run.atoms > 1) {
    err = WriteAtomHeader(io_, run.offset, MovFourCC("free"), run.size);
    if (err == MovErr::Ok) err = io_.Sync();
  }
  if (err == MovErr::Ok && run.size > header.size()) {
    err = WriteAtomHeader(io_, run.offset + header.size(), MovFourCC("free"), run.size - header.size());
  }
  if (err == MovErr::Ok) err = io_.WriteAt(run.offset + 8, header.data() + 8, header.size() - 8);
  if (err == MovErr::Ok) err = io_.Sync();
  return err;
}

// The file grows by zeros first (which readers take for padding up to its
// end), then gets a complete 'free' atom holding the header.
MovErr MovFile::AppendHidden(uint64_t at, const std::vector<uint8_t>& header) {
  MovErr err = io_.Extend(at + header.size());
  if (err != MovErr::Ok) return err;
  err = WriteAtomHeader(io_, at, MovFourCC("free"), header.size());
  if (err == MovErr::Ok) err = io_.WriteAt(at + 8, header.data() + 8, header.size() - 8);
  if (err == MovErr::Ok) err = io_.Sync();
  if (err != MovErr::Ok) io_.Truncate(at);  // best effort; nothing else lies there
  return err;
}

// One 8-byte write of its size and type turns the hidden copy into a header.
// Should a crash let only half of it land, readers still see complete atoms:
// the copy as free space of its new size, or a header whose last child is
// the free space after it. Once that is synced the old header becomes free
// space. The final sync is the caller's.
MovErr MovFile::SwitchHeaders(uint64_t newAt, const std::vector<uint8_t>& header, const MovAtom& live) {
  HeaderDigest digest;
  digest.Add(header);
  ownHeaders_.push_back(HeaderStamp{newAt, header.size(), digest.Value()});
  MovErr err = io_.WriteAt(newAt, header.data(), 8);
  if (err == MovErr::Ok) err = io_.Sync();
  if (err == MovErr::Ok) err = io_.WriteAt(live.offset + 4, kFreeType, sizeof kFreeType);
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
  if (!io_.IsOpen()) return MovErr::BadArgument;
  HeldLock lock(io_);
  MovErr err = lock.Take(MovFileIo::LockKind::Shared, lockWait_);
  if (err == MovErr::Ok) err = LoadTracksLocked();
  if (err != MovErr::Ok) return err;
  return GuardAllocation([&] { return FlattenCopy(path, options); });
}

MovErr MovFile::FlattenCopy(const std::string& path, const MovFlattenOptions& options) {
  MovErr err = MovErr::Ok;
  struct stat target {};
  uint64_t device = 0;
  uint64_t inode = 0;
  err = io_.Identity(device, inode);
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

  MovFileReplacement copy;
  err = copy.Create(path);
  MovFileIo& out = copy.Io();
  if (err == MovErr::Ok) err = out.WriteAt(0, prefix.data(), prefix.size());
  if (err == MovErr::Ok) err = out.WriteAt(prefix.size(), header.data(), header.size());
  if (err == MovErr::Ok) err = CopyMedia(out, media, prefix.size() + header.size(), options);
  if (err == MovErr::Ok) err = copy.Commit(lockWait_);
  return err;
}

}  // namespace hc::movfile
