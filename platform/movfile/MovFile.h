#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/movfile/MovAtom.h"
#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovCompressedHeader.h"
#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovFileIo.h"
#include "platform/movfile/MovMetadataItem.h"
#include "platform/movfile/MovTrack.h"
#include "platform/movfile/MovUserData.h"

namespace hc::movfile {

struct MovFlattenOptions {
  // Store the new header compressed ('cmov', zlib).
  bool compressHeader = false;
  // Called while media data is copied; answering false cancels the flatten.
  std::function<bool(uint64_t bytesDone, uint64_t bytesTotal)> progress;
};

// One QuickTime movie file: its header, tracks and user data, read from the
// file's atoms whether the header comes before or after the media data.
//
// Opening reads little of a long movie: the atom headers of the movie header
// and of its tracks, the movie's time scale and duration, and the movie's and
// tracks' user data and metadata. The tracks' facts and sample tables come
// with LoadTracks(), which reads the rest of the header once; saving,
// flattening and BuildHeader() load them when they haven't been. Should
// another process have saved the movie since it was opened, loading answers
// FileChanged rather than read what took the old header's place.
//
// Save() writes changed user data back in place without moving or rewriting
// media data. The new header goes into free space that no media and no live
// header occupies (the best fitting run of 'free' atoms), or at the end of
// the file: it is written there inside a complete 'free' atom and synced,
// then relabelled 'moov' with one write and synced, and only then is the old
// header relabelled 'free'. Free atoms left at the end of the file are cut
// off. At every moment the file holds a complete header that comes first
// (the old one until the new one is in place) and only complete atoms, so a
// save cut short leaves a playable movie with its old or its new contents;
// one cut short between its last two syncs leaves both headers, the first
// live, until the next save frees the other.
//
// Saves and flattens hold an advisory lock on the file (opening and loading
// the tracks hold it shared while they read), so two processes never write it at once, and a
// save answers FileChanged when the file's live header is no longer the one
// this object read or last wrote (another process saved in between), or
// when the path now names another file; FileNotFound once the movie was
// deleted. The caller then reopens the movie and makes its change again.
//
// One object serves one thread at a time.
class MovFile {
 public:
  static constexpr uint64_t kMaxHeaderSize = MovCompressedHeader::kMaxExpandedSize;
  static constexpr size_t kMaxTopLevelAtoms = 1u << 16;
  static constexpr size_t kMaxTracks = 1u << 12;
  static constexpr uint32_t kMaxSampleSize = uint32_t{256} << 20;
  static constexpr std::chrono::milliseconds kDefaultLockWait{10000};

  MovFile() = default;
  MovFile(const MovFile&) = delete;
  MovFile& operator=(const MovFile&) = delete;

  MovErr OpenForRead(const std::string& path);
  // Opens an existing movie for reading and saving; never creates or empties a file.
  MovErr OpenForUpdate(const std::string& path);
  void Close();
  bool IsOpen() const { return io_.IsOpen(); }

  uint32_t TimeScale() const { return timeScale_; }
  uint64_t Duration() const { return duration_; }

  // Reads the tracks' facts and sample tables (once; later calls answer the
  // first one's result).
  MovErr LoadTracks();
  // Reads the tracks' facts without their bulk tables (sample sizes, times
  // and chunk offsets): each track's sample table then has facts only (see
  // MovSampleTable::ParseFacts). Reads all of the header but those tables,
  // once; after LoadTracks() there is nothing left to read.
  MovErr LoadTrackFacts();
  // Tracks in header order, from index 0. A track's user data is there from
  // the opening on; its other facts and its tables once LoadTracks() is Ok.
  size_t TrackCount() const { return tracks_.size(); }
  MovTrack& Track(size_t index) { return tracks_[index]; }
  const MovTrack& Track(size_t index) const { return tracks_[index]; }
  MovTrack* FindTrackById(uint32_t trackId);

  MovUserData& UserData() { return userData_; }
  const MovUserData& UserData() const { return userData_; }
  // The movie's metadata items (see MovMetadataReader).
  MovErr Metadata(std::vector<MovMetadataItem>& items) const;
  // Whether every track's declared samples could lie in this file (see
  // MovSampleTable::CheckAgainstFileSize); players check before handing the
  // file to a demuxer that indexes every sample. Loads the tracks' facts.
  MovErr CheckSampleTables();

  // The bytes of one sample (numbers from 1) of a track of this movie and,
  // when asked, the index (from 1) of its sample description. The tracks
  // must have been loaded.
  MovErr ReadSample(const MovTrack& track, uint64_t sampleNumber, std::vector<uint8_t>& bytes,
                    uint32_t* descriptionIndex = nullptr) const;

  bool HasChanges() const;
  // Writes changed user data back (see above); without changes it writes
  // nothing. The changes count as saved only once the save is durable: a
  // failed save may be tried again.
  MovErr Save();
  // Writes a self-contained copy with the header first and the media data
  // after it (chunk offsets shifted); the file at `path` is replaced only
  // once the copy is complete, and keeps its permissions (a new file gets
  // those the umask leaves). A copy cut short leaves no file behind.
  MovErr FlattenTo(const std::string& path, const MovFlattenOptions& options = {});

  // How long opening, saving and flattening wait for another process's lock
  // on the file before answering FileBusy.
  void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

  // Where the header lies in the file, and whether it was stored compressed.
  const MovAtom& HeaderAtom() const { return headerAtom_; }
  bool HeaderWasCompressed() const { return headerCompressed_; }
  const std::vector<MovAtom>& TopLevelAtoms() const { return layout_.atoms; }
  // The header as a save would write it: as read, with the current user data.
  // Loads the tracks.
  MovErr BuildHeader(MovAtomNode& header);

  // Byte counts and the fault plan of the underlying file.
  MovFileIo& Io() { return io_; }

 private:
  struct Layout {
    std::vector<MovAtom> atoms;  // complete top-level atoms
    uint64_t completeEnd = 0;    // end of the last complete atom
    uint64_t fileSize = 0;
    bool hasTail = false;        // bytes after the last complete atom
    uint32_t tailType = 0;       // type of an incomplete trailing atom, 0 when unreadable
  };

  MovErr Open(const std::string& path, MovFileIo::Mode mode);
  MovErr ScanTopLevel(Layout& layout);
  MovErr LoadHeader();
  MovErr ExpandCompressedHeader();
  MovErr ReadHeaderBytes(uint64_t offset, uint8_t* out, size_t count);
  MovErr ReadPayload(const MovAtom& atom, std::vector<uint8_t>& payload);
  MovErr ChildAtoms(const MovAtom& parent, std::vector<MovAtom>& children);
  MovErr ReadOutline(const std::vector<MovAtom>& children);
  MovErr ReadTrackUserData(const MovAtom& trak, MovUserData& userData);
  MovErr ParseMovieHeader(std::span<const uint8_t> payload);
  MovErr CheckHeaderInPlace();
  MovErr LoadTracksLocked();
  MovErr ParseWholeHeader();
  struct FactsCounts;
  MovErr ReadTrackFacts(size_t index);
  MovErr ReadFactsTree(const MovAtom& atom, size_t depth, bool samplePath, MovAtomNode& node, FactsCounts& counts);
  MovErr ReadDeclaredCount(const MovAtom& table, FactsCounts& counts);
  MovAtomNode HeaderWithUserData() const;
  MovErr SaveChanges();
  MovErr FlattenCopy(const std::string& path, const MovFlattenOptions& options);
  // A header that this object read or wrote, as it lies in the file.
  struct HeaderStamp {
    uint64_t offset = 0;
    uint64_t size = 0;
    uint64_t digest = 0;
  };
  struct FreeRun {
    uint64_t offset = 0;
    uint64_t size = 0;
    size_t atoms = 0;
  };

  MovErr NoteLiveHeader();
  MovErr DigestOf(const MovAtom& atom, uint64_t& digest);
  MovErr CheckLiveHeaderIsOurs(const Layout& layout);
  std::vector<uint64_t> ChunkStarts() const;
  MovErr PrepareForHeader(Layout& layout, const std::vector<uint64_t>& chunkStarts);
  MovErr DropTrailingFreeSpace(Layout& layout, const std::vector<uint64_t>& chunkStarts);
  std::vector<FreeRun> ReusableRuns(const Layout& layout, const std::vector<uint64_t>& chunkStarts) const;
  MovErr WriteHiddenHeader(const Layout& layout, const std::vector<uint64_t>& chunkStarts,
                           const std::vector<uint8_t>& header, uint64_t& at);
  MovErr WriteIntoFreeRun(const FreeRun& run, const std::vector<uint8_t>& header);
  MovErr AppendHidden(uint64_t at, const std::vector<uint8_t>& header);
  MovErr SwitchHeaders(uint64_t newAt, const std::vector<uint8_t>& header, const MovAtom& live);
  MovErr BuildFlatHeader(MovAtomNode header, const std::vector<MovAtom>& media, uint64_t prefixSize, bool compress,
                         std::vector<uint8_t>& bytes, uint64_t& reserved);
  MovErr CopyMedia(MovFileIo& out, const std::vector<MovAtom>& media, uint64_t at,
                   const MovFlattenOptions& options);

  mutable MovFileIo io_;  // reading samples moves its counters, not the movie
  std::chrono::milliseconds lockWait_ = kDefaultLockWait;
  std::vector<HeaderStamp> ownHeaders_;  // the header read, and any a failed save wrote
  Layout layout_;
  MovAtom headerAtom_;
  bool headerCompressed_ = false;
  // Where the movie header's atom lies: in the file, or for a compressed
  // header at the start of `expanded_` (kept until the tracks are loaded).
  MovAtom root_;
  std::vector<uint8_t> expanded_;
  size_t walkBudget_ = 0;
  std::vector<uint8_t> movieMeta_;  // payload of the header's own 'meta'
  std::vector<MovAtom> trakAtoms_;
  bool tracksLoaded_ = false;
  MovErr tracksResult_ = MovErr::Ok;
  bool factsLoaded_ = false;
  MovErr factsResult_ = MovErr::Ok;
  MovAtomNode moov_;  // the whole header, once the tracks are loaded
  uint32_t timeScale_ = 0;
  uint64_t duration_ = 0;
  std::vector<MovTrack> tracks_;
  MovUserData userData_;
};

}  // namespace hc::movfile
