#pragma once

#include <string>
#include <vector>

// Movies for the playback benchmarks and the anchor they are measured
// against: ffmpeg decoding the same file with the same thread count on the
// same cores, in the same run, interleaved with our side.
namespace moviebench {

constexpr int kWidth = 3840;
constexpr int kHeight = 1920;
constexpr int kFps = 30;
constexpr int kFrames = 90;  // 3 s

enum class MovieKind {
  FastToDecode,  // a smooth test pattern, baseline-like settings: decoding is cheap
  RealLooking,   // High profile, B-frames, grain that changes every frame, as cameras write
};
const char* NameOf(MovieKind kind);

// The movie's path, made once per machine and kept in the temporary folder
// (empty when ffmpeg is missing or fails).
const std::string& MoviePath(MovieKind kind);

// Keeps this process (and the processes it starts) on `cores` processors;
// answers how many it got.
int PinToCores(int cores);

struct FfmpegRun {
  bool ok = false;
  double decodeSeconds = 0.0;  // ffmpeg's own figure: decoder set-up and decoding, after the file is opened
};
// `ffmpeg -threads N -i movie -f null -`, timed by ffmpeg itself.
FfmpegRun RunFfmpegDecode(const std::string& path, int threads);

double Median(std::vector<double> values);
double PeakMemoryMiB();
long MinorPageFaults();

}  // namespace moviebench
