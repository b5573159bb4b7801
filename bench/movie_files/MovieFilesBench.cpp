// Figures of the movie file layer: how much of a long movie opening and
// reading its movie and track user data reads (against FFmpeg opening the
// same file and reading its metadata), and how much saving one new item
// writes and adds to the file over twenty saves.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovChunkOffsets.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

extern char** environ;

using namespace hc::movfile;

namespace {

constexpr uint64_t kGap = uint64_t{4} << 30;
// The long movie: four hours at 25 frames a second, one frame a chunk.
constexpr uint32_t kLongMovieFrames = 4 * 3600 * 25;

bool Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A header-last movie of 10 s, and the same media behind a 4 GiB hole.
class Movies {
 public:
  Movies() {
    std::string pattern = (std::filesystem::temp_directory_path() / "movbench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    small_ = dir_ + "/small.mov";
    large_ = dir_ + "/large.mov";
    if (!Spawn({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                "testsrc=size=320x160:rate=25:duration=10", "-c:v", "mpeg4", "-metadata", "title=Bench", small_})) {
      throw std::runtime_error("ffmpeg failed");
    }
    MakeLarge();
  }
  ~Movies() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& Small() const { return small_; }
  const std::string& Large() const { return large_; }
  std::string Scratch() const { return dir_ + "/scratch.mov"; }

 private:
  // The small movie's media behind a 4 GiB hole, with a header that a
  // four-hour movie would have: its video track's size and chunk tables list
  // every frame (the small movie's frames over and over), megabytes of them.
  void MakeLarge() {
    MovFile movie;
    if (movie.OpenForRead(small_) != MovErr::Ok || movie.LoadTracks() != MovErr::Ok) {
      throw std::runtime_error("cannot read the movie");
    }
    const MovAtom* mdat = nullptr;
    for (const auto& atom : movie.TopLevelAtoms()) {
      if (atom.type == MovFourCC("mdat")) mdat = &atom;
    }
    if (!mdat) throw std::runtime_error("no media data");
    std::ifstream in(small_, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    const uint64_t mdatAt = 16 + kGap;
    MovAtomNode header;
    if (movie.BuildHeader(header) != MovErr::Ok) throw std::runtime_error("cannot build the header");
    LengthenVideoTrack(movie, header, mdatAt - mdat->offset);
    std::vector<uint8_t> bytes;
    MovByteWriter(bytes).AtomHeader(MovFourCC("free"), kGap + 16);
    int fd = ::open(large_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    ok = ok && ::pwrite(fd, file.data() + mdat->offset, mdat->size, static_cast<off_t>(mdatAt)) ==
                   static_cast<ssize_t>(mdat->size);
    bytes.clear();
    header.Serialize(bytes);
    largeHeaderBytes_ = bytes.size();
    ok = ok && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(mdatAt + mdat->size)) ==
                   static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write the large movie");
  }

  static void LengthenVideoTrack(const MovFile& movie, MovAtomNode& header, uint64_t shift) {
    const MovTrack& video = movie.Track(0);
    const uint64_t frames = video.Samples().SampleCount();
    if (frames == 0) throw std::runtime_error("no frames");
    std::vector<uint8_t> sizes, offsets, times, chunks;
    MovByteWriter sizeWriter(sizes), offsetWriter(offsets), timeWriter(times), chunkWriter(chunks);
    sizeWriter.U32(0);
    sizeWriter.U32(0);
    sizeWriter.U32(kLongMovieFrames);
    offsetWriter.U32(0);
    offsetWriter.U32(kLongMovieFrames);
    for (uint32_t i = 0; i < kLongMovieFrames; ++i) {
      uint64_t offset = 0;
      uint32_t size = 0;
      uint32_t description = 0;
      video.Samples().SampleLocation(1 + i % frames, offset, size, description);
      sizeWriter.U32(size);
      offsetWriter.U64(offset + shift);
    }
    for (uint32_t word : {0u, 1u, kLongMovieFrames, video.MediaTimeScale() / 25}) timeWriter.U32(word);
    for (uint32_t word : {0u, 1u, 1u, 1u, 1u}) chunkWriter.U32(word);
    MovAtomNode* stbl = header.FindChild(MovFourCC("trak"))
                            ->FindPath({MovFourCC("mdia"), MovFourCC("minf"), MovFourCC("stbl")});
    std::erase_if(stbl->Children(), [](const MovAtomNode& child) {
      return child.Type() != MovFourCC("stsd");  // the rest is rebuilt below
    });
    stbl->Children().push_back(MovAtomNode::Leaf(MovFourCC("stts"), times));
    stbl->Children().push_back(MovAtomNode::Leaf(MovFourCC("stsc"), chunks));
    stbl->Children().push_back(MovAtomNode::Leaf(MovFourCC("stsz"), sizes));
    stbl->Children().push_back(MovAtomNode::Leaf(MovFourCC("co64"), offsets));
  }

  std::string dir_;
  std::string small_;
  std::string large_;
  uint64_t largeHeaderBytes_ = 0;

 public:
  uint64_t LargeHeaderBytes() const { return largeHeaderBytes_; }
};

const Movies& GetMovies() {
  static const Movies movies;
  return movies;
}

// Ours: open the movie and read the movie's and every track's user data.
uint64_t OursReadingUserData(const std::string& path) {
  MovFile movie;
  if (movie.OpenForRead(path) != MovErr::Ok) throw std::runtime_error("open failed");
  size_t bytes = 0;
  for (size_t i = 0; i < movie.UserData().ItemCount(); ++i) bytes += movie.UserData().ItemPayloadAt(i).size();
  for (size_t t = 0; t < movie.TrackCount(); ++t) {
    const MovUserData& userData = movie.Track(t).UserData();
    for (size_t i = 0; i < userData.ItemCount(); ++i) bytes += userData.ItemPayloadAt(i).size();
  }
  benchmark::DoNotOptimize(bytes);
  return movie.Io().BytesRead();
}

// What a player reads with our reader before FFmpeg opens the file: the
// tracks' facts and the check of their declared samples.
uint64_t OursCheckingForPlayback(const std::string& path) {
  MovFile movie;
  if (movie.OpenForRead(path) != MovErr::Ok || movie.CheckSampleTables() != MovErr::Ok) {
    throw std::runtime_error("check failed");
  }
  return movie.Io().BytesRead();
}

// The anchor: FFmpeg opening the same file through reads we count, and
// reading the movie's and the streams' metadata.
struct CountedFile {
  int fd = -1;
  int64_t position = 0;
  uint64_t bytesRead = 0;
};

int ReadCounted(void* opaque, uint8_t* buffer, int size) {
  auto* file = static_cast<CountedFile*>(opaque);
  const ssize_t got = ::pread(file->fd, buffer, static_cast<size_t>(size), file->position);
  if (got <= 0) return AVERROR_EOF;
  file->position += got;
  file->bytesRead += static_cast<uint64_t>(got);
  return static_cast<int>(got);
}

int64_t SeekCounted(void* opaque, int64_t offset, int whence) {
  auto* file = static_cast<CountedFile*>(opaque);
  const int64_t size = ::lseek(file->fd, 0, SEEK_END);
  if (whence == AVSEEK_SIZE) return size;
  switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: file->position = offset; break;
    case SEEK_CUR: file->position += offset; break;
    case SEEK_END: file->position = size + offset; break;
    default: return -1;
  }
  return file->position;
}

uint64_t FfmpegReadingMetadata(const std::string& path) {
  CountedFile file;
  file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) throw std::runtime_error("cannot open " + path);
  constexpr int kBuffer = 32768;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
  AVIOContext* io = avio_alloc_context(buffer, kBuffer, 0, &file, &ReadCounted, nullptr, &SeekCounted);
  AVFormatContext* format = avformat_alloc_context();
  format->pb = io;
  const bool opened = avformat_open_input(&format, nullptr, nullptr, nullptr) == 0;
  size_t entries = 0;
  if (opened) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(format->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) ++entries;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
      entry = nullptr;
      while ((entry = av_dict_get(format->streams[i]->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) ++entries;
    }
    avformat_close_input(&format);
  } else {
    avformat_free_context(format);
  }
  benchmark::DoNotOptimize(entries);
  av_freep(&io->buffer);
  avio_context_free(&io);
  ::close(file.fd);
  if (!opened) throw std::runtime_error("FFmpeg cannot open " + path);
  return file.bytesRead;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// Ours and the anchor take turns on the same file, one of each per iteration.
void BM_OpenLongMovieAndReadUserData(benchmark::State& state) {
  const Movies& movies = GetMovies();
  uint64_t oursBytes = 0;
  uint64_t anchorBytes = 0;
  std::vector<double> oursSeconds;
  std::vector<double> anchorSeconds;
  std::vector<double> ratios;
  for (auto _ : state) {
    try {
      auto start = std::chrono::steady_clock::now();
      oursBytes = OursReadingUserData(movies.Large());
      auto middle = std::chrono::steady_clock::now();
      anchorBytes = FfmpegReadingMetadata(movies.Large());
      auto end = std::chrono::steady_clock::now();
      oursSeconds.push_back(std::chrono::duration<double>(middle - start).count());
      anchorSeconds.push_back(std::chrono::duration<double>(end - middle).count());
      ratios.push_back(oursSeconds.back() / anchorSeconds.back());
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      return;
    }
  }
  state.counters["header_bytes"] = static_cast<double>(movies.LargeHeaderBytes());
  state.counters["ours_bytes_read"] = static_cast<double>(oursBytes);
  state.counters["ffmpeg_bytes_read"] = static_cast<double>(anchorBytes);
  state.counters["bytes_ratio"] = anchorBytes ? static_cast<double>(oursBytes) / static_cast<double>(anchorBytes) : 0;
  state.counters["ours_us"] = Median(oursSeconds) * 1e6;
  state.counters["ffmpeg_us"] = Median(anchorSeconds) * 1e6;
  state.counters["time_ratio_median"] = Median(ratios);
  if (oursBytes > (64u << 10)) state.SkipWithError("opening and reading user data read more than 64 KB");
}
BENCHMARK(BM_OpenLongMovieAndReadUserData)->Unit(benchmark::kMillisecond)->Iterations(9);

// Opening for playback: our reading before FFmpeg's, against FFmpeg's own
// (which reads the whole header, as playing needs).
void BM_CheckLongMovieForPlayback(benchmark::State& state) {
  const Movies& movies = GetMovies();
  uint64_t oursBytes = 0;
  uint64_t anchorBytes = 0;
  std::vector<double> ratios;
  for (auto _ : state) {
    try {
      auto start = std::chrono::steady_clock::now();
      oursBytes = OursCheckingForPlayback(movies.Large());
      auto middle = std::chrono::steady_clock::now();
      anchorBytes = FfmpegReadingMetadata(movies.Large());
      auto end = std::chrono::steady_clock::now();
      ratios.push_back(std::chrono::duration<double>(middle - start).count() /
                       std::chrono::duration<double>(end - middle).count());
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      return;
    }
  }
  state.counters["ours_bytes_read"] = static_cast<double>(oursBytes);
  state.counters["ffmpeg_bytes_read"] = static_cast<double>(anchorBytes);
  state.counters["time_ratio_median"] = Median(ratios);
  if (oursBytes > (64u << 10)) state.SkipWithError("the check read more than 64 KB");
}
BENCHMARK(BM_CheckLongMovieForPlayback)->Unit(benchmark::kMillisecond)->Iterations(9);

void BM_SaveOneNewItem(benchmark::State& state) {
  const Movies& movies = GetMovies();
  std::filesystem::copy_file(movies.Small(), movies.Scratch(), std::filesystem::copy_options::overwrite_existing);
  MovFile movie;
  if (movie.OpenForUpdate(movies.Scratch()) != MovErr::Ok) {
    state.SkipWithError("open failed");
    return;
  }
  const std::vector<uint8_t> item(2048, 0x42);
  const uint64_t sizeBefore = std::filesystem::file_size(movies.Scratch());
  uint64_t written = 0;
  for (auto _ : state) {
    movie.UserData().RemoveItems(MovFourCC("Hcpr"));
    movie.UserData().AppendItem(MovFourCC("Hcpr"), item);
    movie.Io().ResetCounters();
    if (movie.Save() != MovErr::Ok) {
      state.SkipWithError("save failed");
      break;
    }
    written = movie.Io().BytesWritten();
  }
  uint64_t media = 0;
  for (const auto& atom : movie.TopLevelAtoms()) {
    if (atom.type == MovFourCC("mdat")) media += atom.size;
  }
  state.counters["bytes_written"] = static_cast<double>(written);
  state.counters["header_bytes"] = static_cast<double>(movie.HeaderAtom().size);
  state.counters["media_bytes"] = static_cast<double>(media);
  // What the 20 saves added to the file: the space of old headers is taken
  // back, so about two headers at most.
  movie.Close();
  state.counters["file_growth_bytes"] =
      static_cast<double>(std::filesystem::file_size(movies.Scratch()) - sizeBefore);
}
BENCHMARK(BM_SaveOneNewItem)->Unit(benchmark::kMicrosecond)->Iterations(20);

}  // namespace
