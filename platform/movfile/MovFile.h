#pragma once

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
// flattening and BuildHeader() load them when they haven't been.
//
// Save() writes changed user data back in place without moving or rewriting
// media data: the new header is appended to the file and synced, then the old
// one becomes free space with one 4-byte write, and the file is synced again.
// Until that write lands the old header comes first and is the one readers
// take, so a save cut short leaves a playable movie with its old contents.
// Headers that such a save left behind are freed by the next one.
//
// One object serves one thread at a time.
class MovFile {
 public:
  static constexpr uint64_t kMaxHeaderSize = MovCompressedHeader::kMaxExpandedSize;
  static constexpr size_t kMaxTopLevelAtoms = 1u << 16;
  static constexpr size_t kMaxTracks = 1u << 12;
  static constexpr uint32_t kMaxSampleSize = uint32_t{256} << 20;

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
  // Writes changed user data back (see above); without changes it writes nothing.
  MovErr Save();
  // Writes a self-contained copy with the header first and the media data
  // after it (chunk offsets shifted); the file at `path` is replaced only
  // once the copy is complete.
  MovErr FlattenTo(const std::string& path, const MovFlattenOptions& options = {});

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
  MovErr ParseWholeHeader();
  struct FactsCounts;
  MovErr ReadTrackFacts(size_t index);
  MovErr ReadFactsTree(const MovAtom& atom, size_t depth, bool samplePath, MovAtomNode& node, FactsCounts& counts);
  MovErr ReadDeclaredCount(const MovAtom& table, FactsCounts& counts);
  MovAtomNode HeaderWithUserData() const;
  MovErr SaveChanges();
  MovErr FlattenCopy(const std::string& path, const MovFlattenOptions& options);
  MovErr PrepareAppend(const Layout& layout, uint64_t& appendAt);
  MovErr WriteNewHeader(const std::vector<uint8_t>& header, uint64_t appendAt);
  MovErr RetireOldHeaders(const Layout& layout);
  MovErr BuildFlatHeader(MovAtomNode header, const std::vector<MovAtom>& media, uint64_t prefixSize, bool compress,
                         std::vector<uint8_t>& bytes, uint64_t& reserved);
  MovErr CopyMedia(MovFileIo& out, const std::vector<MovAtom>& media, uint64_t at,
                   const MovFlattenOptions& options);

  mutable MovFileIo io_;  // reading samples moves its counters, not the movie
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
