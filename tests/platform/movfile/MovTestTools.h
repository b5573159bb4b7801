#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/movfile/MovAtomNode.h"

// Helpers of the movie file tests: a temporary folder, files as bytes, and
// the independent tools (ffmpeg, ffprobe, exiftool, mediainfo) run as child
// processes with an argument vector.
namespace movtest {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct ToolResult {
  int status = -1;
  std::string out;
};

// Runs a program found on PATH; stdout is captured, stderr discarded.
ToolResult RunTool(const std::vector<std::string>& argv);
// The same, capturing what the program writes to stderr instead (its warnings).
std::string RunToolErrors(const std::vector<std::string>& argv);
bool HaveTool(const std::string& name);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void CopyFile(const std::string& from, const std::string& to);
uint64_t FileSize(const std::string& path);

// A movie of one second: a 64x32 video track (10 fps, MPEG-4 part 2), a PCM
// sound track and a second 32x32 video track (5 fps); header first or last.
void MakeThreeTrackMovie(const std::string& path, bool headerFirst);
// One video track (H.264 with B-frames, 2 s) with extra ffmpeg output options.
void MakeVideoMovie(const std::string& path, const std::vector<std::string>& extraOptions = {});

// ffmpeg's per-frame digests of every stream, the independent check that
// media data is untouched.
std::string FrameMd5(const std::string& path);
// ffprobe's streams and format, less the lines naming the file or its size.
std::string ProbeStreams(const std::string& path);

// Copies a header-last movie into a sparse file whose media data lies past
// 4 GiB (behind a large 'free' atom), with 64-bit chunk offsets.
void MakeMovieBeyond4GiB(const std::string& source, const std::string& path);

std::vector<uint8_t> Bytes(const std::string& text);

// Copies a header-last movie with its header edited (and stored compressed
// when asked); the media data stays where it was.
void RewriteHeader(const std::string& source, const std::string& path,
                   const std::function<void(hc::movfile::MovAtomNode&)>& edit, bool compress = false);
// Replaces (or adds) a leaf of the index-th track's sample table ('stbl').
void SetSampleTableAtom(hc::movfile::MovAtomNode& moov, size_t trackIndex, uint32_t type,
                        const std::vector<uint8_t>& payload);
// A full-box payload (version and flags 0) followed by 32-bit words.
std::vector<uint8_t> Words(const std::vector<uint32_t>& words);

}  // namespace movtest
