#include "platform/movfile/MovFile.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <new>

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

}  // namespace

MovErr MovFile::OpenForRead(const std::string& path) { return Open(path, MovFileIo::Mode::Read); }

MovErr MovFile::OpenForUpdate(const std::string& path) { return Open(path, MovFileIo::Mode::Update); }

MovErr MovFile::Open(const std::string& path, MovFileIo::Mode mode) {
  Close();
  MovErr err = io_.Open(path, mode);
  HeldLock lock(io_);  // so that another process's save is never seen half done
  if (err == MovErr::Ok) err = lock.Take(MovFileIo::LockKind::Shared, lockWait_);
  if (err == MovErr::Ok) err = ScanTopLevel(layout_);
  if (err == MovErr::Ok) err = LoadHeader();
  if (err == MovErr::Ok && io_.IsWritable()) err = NoteLiveHeader();
  if (err != MovErr::Ok) Close();
  return err;
}

void MovFile::Close() {
  io_.Close();
  layout_ = Layout();
  headerAtom_ = MovAtom();
  headerCompressed_ = false;
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

MovErr MovFile::LoadHeader() {
  auto moov = std::find_if(layout_.atoms.begin(), layout_.atoms.end(),
                           [](const MovAtom& atom) { return atom.type == MovFourCC("moov"); });
  if (moov == layout_.atoms.end()) {
    return layout_.hasTail ? MovErr::InvalidMovie : MovErr::NoMovieFound;
  }
  if (moov->size > kMaxHeaderSize) return MovErr::SizeLimitExceeded;
  headerAtom_ = *moov;
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(moov->size));
  } catch (const std::bad_alloc&) {
    return MovErr::OutOfMemory;
  }
  MovErr err = io_.ReadAt(moov->offset, bytes.data(), bytes.size());
  if (err != MovErr::Ok) return err;
  auto payload = std::span<const uint8_t>(bytes).subspan(moov->headerSize);
  if (MovCompressedHeader::IsCompressed(payload)) {
    std::vector<uint8_t> expanded;
    err = MovCompressedHeader::Expand(payload, expanded);
    if (err != MovErr::Ok) return err;
    headerCompressed_ = true;
    bytes = std::move(expanded);
  }
  return ParseHeader(bytes);
}

MovErr MovFile::ParseHeader(std::span<const uint8_t> moovAtom) {
  MovErr err = MovAtomNode::Parse(moovAtom, moov_);
  if (err != MovErr::Ok) return err;
  const MovAtomNode* mvhd = moov_.FindChild(MovFourCC("mvhd"));
  if (!mvhd) return MovErr::InvalidMovie;
  MovByteReader reader(mvhd->Payload());
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
  if (!reader.Ok() || version > 1) return MovErr::InvalidMovie;

  for (const auto& child : moov_.Children()) {
    if (child.Type() != MovFourCC("trak")) continue;
    MovTrack track;
    err = MovTrack::Parse(child, timeScale_, track);
    if (err != MovErr::Ok) return err;
    tracks_.push_back(std::move(track));
  }
  if (const MovAtomNode* udta = moov_.FindChild(MovFourCC("udta"))) {
    return MovUserData::Parse(udta->Payload(), userData_);
  }
  return MovErr::Ok;
}

MovTrack* MovFile::FindTrackById(uint32_t trackId) {
  for (auto& track : tracks_) {
    if (track.TrackId() == trackId) return &track;
  }
  return nullptr;
}

std::vector<MovMetadataItem> MovFile::Metadata() const { return MovMetadataReader::Read(moov_, userData_); }

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
  bytes.resize(size);
  return io_.ReadAt(offset, bytes.data(), size);
}

bool MovFile::HasChanges() const {
  return userData_.IsChanged() ||
         std::any_of(tracks_.begin(), tracks_.end(), [](const MovTrack& t) { return t.UserData().IsChanged(); });
}

MovAtomNode MovFile::BuildHeader() const {
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
  Layout layout;
  if (err == MovErr::Ok) err = ScanTopLevel(layout);
  if (err == MovErr::Ok) err = CheckLiveHeaderIsOurs(layout);
  if (err != MovErr::Ok) return err;
  const MovAtom live = *FirstHeader(layout.atoms);

  std::vector<uint8_t> header = Serialized(BuildHeader());
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
  headerCompressed_ = false;
  moov_ = BuildHeader();
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
  if (err != MovErr::Ok) return err;
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
  err = BuildFlatHeader(BuildHeader(), media, prefix.size(), options.compressHeader, header, reserved);
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
