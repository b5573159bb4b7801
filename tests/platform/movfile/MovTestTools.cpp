#include "MovTestTools.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovChunkOffsets.h"
#include "platform/movfile/MovCompressedHeader.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

extern char** environ;

namespace movtest {

using namespace hc::movfile;

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "movtest-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

static ToolResult Run(const std::vector<std::string>& argv, int captured) {
  ToolResult result;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], captured);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, captured == STDOUT_FILENO ? STDERR_FILENO : STDOUT_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return result;
  }
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    result.out.append(buffer, static_cast<size_t>(got));
  }
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

ToolResult RunTool(const std::vector<std::string>& argv) { return Run(argv, STDOUT_FILENO); }

std::string RunToolErrors(const std::vector<std::string>& argv) {
  ToolResult result = Run(argv, STDERR_FILENO);
  return result.status == 0 ? result.out : "failed: " + result.out;
}

bool HaveTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && ::access((folder + "/" + name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void CopyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

uint64_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

static void RunFfmpeg(std::vector<std::string> args) {
  args.insert(args.begin(), {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"});
  if (RunTool(args).status != 0) throw std::runtime_error("ffmpeg failed making " + args.back());
}

void MakeThreeTrackMovie(const std::string& path, bool headerFirst) {
  std::vector<std::string> args = {"-f", "lavfi", "-i", "testsrc=size=64x32:rate=10:duration=1",
                                   "-f", "lavfi", "-i", "sine=frequency=440:duration=1:sample_rate=8000",
                                   "-f", "lavfi", "-i", "testsrc2=size=32x32:rate=5:duration=1",
                                   "-map", "0", "-map", "1", "-map", "2", "-c:v", "mpeg4", "-c:a", "pcm_s16le",
                                   "-metadata", "title=Hello", "-metadata", "comment=Note", "-fflags", "+bitexact"};
  if (headerFirst) args.insert(args.end(), {"-movflags", "+faststart"});
  args.push_back(path);
  RunFfmpeg(args);
}

void MakeVideoMovie(const std::string& path, const std::vector<std::string>& extraOptions) {
  std::vector<std::string> args = {"-f", "lavfi", "-i", "testsrc=size=64x32:rate=10:duration=2",
                                   "-c:v", "libx264", "-g", "10", "-bf", "2", "-pix_fmt", "yuv420p",
                                   "-fflags", "+bitexact"};
  args.insert(args.end(), extraOptions.begin(), extraOptions.end());
  args.push_back(path);
  RunFfmpeg(args);
}

std::string FrameMd5(const std::string& path) {
  ToolResult result = RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-i", path, "-map", "0",
                               "-f", "framemd5", "-"});
  return result.status == 0 ? result.out : "ffmpeg failed";
}

std::string ProbeStreams(const std::string& path) {
  ToolResult result = RunTool({"ffprobe", "-v", "error", "-show_streams", "-show_format", path});
  if (result.status != 0) return "ffprobe failed";
  std::istringstream lines(result.out);
  std::string line;
  std::string kept;
  while (std::getline(lines, line)) {
    if (line.rfind("filename=", 0) == 0 || line.rfind("size=", 0) == 0 || line.rfind("bit_rate=", 0) == 0) continue;
    kept += line + "\n";
  }
  return kept;
}

void MakeMovieBeyond4GiB(const std::string& source, const std::string& path) {
  MovFile movie;
  if (movie.OpenForRead(source) != MovErr::Ok) throw std::runtime_error("cannot read " + source);
  std::vector<uint8_t> file = ReadBytes(source);
  const MovAtom* mdat = nullptr;
  const MovAtom* ftyp = nullptr;
  for (const auto& atom : movie.TopLevelAtoms()) {
    if (atom.type == MovFourCC("mdat")) mdat = &atom;
    if (atom.type == MovFourCC("ftyp")) ftyp = &atom;
  }
  if (!mdat || !ftyp) throw std::runtime_error("no mdat or ftyp");
  const uint64_t gap = (uint64_t{1} << 32) + 4096;  // a 'free' atom larger than 32 bits can say
  const uint64_t mdatAt = ftyp->size + gap;
  const uint64_t shift = mdatAt - mdat->offset;
  MovAtomNode header;
  if (movie.BuildHeader(header) != MovErr::Ok) throw std::runtime_error("cannot build the header");
  MovChunkOffsets::Remap(header, [&](uint64_t old, uint64_t& moved) {
    moved = old + shift;
    return true;
  });
  std::vector<uint8_t> headerBytes;
  header.Serialize(headerBytes);

  std::vector<uint8_t> head(file.begin(), file.begin() + static_cast<long>(ftyp->size));
  MovByteWriter(head).AtomHeader(MovFourCC("free"), gap);
  WriteBytes(path, head);
  int fd = ::open(path.c_str(), O_WRONLY);
  auto put = [fd](uint64_t at, const uint8_t* data, size_t count) {
    if (::pwrite(fd, data, count, static_cast<off_t>(at)) != static_cast<ssize_t>(count)) {
      throw std::runtime_error("pwrite failed");
    }
  };
  put(mdatAt, file.data() + mdat->offset, static_cast<size_t>(mdat->size));
  put(mdatAt + mdat->size, headerBytes.data(), headerBytes.size());
  ::close(fd);
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void RewriteHeader(const std::string& source, const std::string& path,
                   const std::function<void(MovAtomNode&)>& edit, bool compress) {
  MovFile movie;
  if (movie.OpenForRead(source) != MovErr::Ok) throw std::runtime_error("cannot read " + source);
  MovAtomNode header;
  if (movie.BuildHeader(header) != MovErr::Ok) throw std::runtime_error("cannot build the header of " + source);
  const MovAtom at = movie.HeaderAtom();
  movie.Close();
  edit(header);
  std::vector<uint8_t> moov;
  header.Serialize(moov);
  if (compress) {
    std::vector<uint8_t> packed;
    if (MovCompressedHeader::Compress(moov, packed) != MovErr::Ok) throw std::runtime_error("cannot compress");
    moov = std::move(packed);
  }
  std::vector<uint8_t> bytes = ReadBytes(source);
  if (at.End() != bytes.size()) throw std::runtime_error(source + " does not end with its header");
  bytes.resize(static_cast<size_t>(at.offset));
  bytes.insert(bytes.end(), moov.begin(), moov.end());
  WriteBytes(path, bytes);
}

void SetSampleTableAtom(MovAtomNode& moov, size_t trackIndex, uint32_t type, const std::vector<uint8_t>& payload) {
  MovAtomNode* trak = moov.FindChild(MovFourCC("trak"), trackIndex + 1);
  MovAtomNode* stbl = trak ? trak->FindPath({MovFourCC("mdia"), MovFourCC("minf"), MovFourCC("stbl")}) : nullptr;
  if (!stbl) throw std::runtime_error("no sample table");
  if (MovAtomNode* leaf = stbl->FindChild(type)) {
    leaf->SetPayload(payload);
  } else {
    stbl->Children().push_back(MovAtomNode::Leaf(type, payload));
  }
}

std::vector<uint8_t> Words(const std::vector<uint32_t>& words) {
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  writer.U32(0);
  for (uint32_t word : words) writer.U32(word);
  return bytes;
}

}  // namespace movtest
