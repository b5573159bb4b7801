#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/GlContext.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VideoTexture.h"

// Small movies made once per test program with ffmpeg, and what the playback
// tests compare against: ffmpeg's own pictures and ffprobe's facts.
namespace playtest {

enum class Fixture {
  Fps24,      // 64x48 H.264 with B-frames, 24 fps, 2 s
  Fps25,      // the same at 25 fps
  Fps2997,    // the same at 30000/1001 fps
  WithSound,  // 25 fps, 2 s, and a 440 Hz AAC sound track
  // 25 fps, 2 s: 64x48 4:2:0 for the first second, then 96x64 4:2:2 (the
  // stream's own parameter sets change; the track header keeps the first size)
  SizeChange,
};

struct FixtureFacts {
  int fpsNum;
  int fpsDen;
  int frames;
};
FixtureFacts FactsOf(Fixture fixture);

// The fixture's path; made on first use (empty when ffmpeg is missing).
const std::string& MoviePath(Fixture fixture);
// A fresh file in the fixtures' temporary folder.
std::string ScratchPath(const std::string& name);
bool HaveFfmpeg();

hc::playback::DataReference FileReference(const std::string& path);
std::unique_ptr<hc::playback::Movie> OpenMovie(const std::string& path);

// ffmpeg's picture at `seconds` (-ss, then one frame as raw BGRA).
std::vector<uint8_t> FfmpegFrameBgra(const std::string& path, const std::string& seconds);
// ffmpeg's decoded picture at `seconds` in its own pixel format, unconverted (planes one after another).
std::vector<uint8_t> FfmpegFrameRaw(const std::string& path, const std::string& seconds,
                                    const std::string& pixelFormat);
// Frame k's start, written the way ffmpeg reads it: rounded down to the microsecond.
std::string FrameStartText(const FixtureFacts& facts, int frame);

// A pixel format and context made current on the calling thread.
struct GlTestContext {
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> context;
  bool Make();
};

// A video texture read back as BGRA rows, top row first.
std::vector<uint8_t> ReadTexture(const hc::playback::VideoTexture& texture);
// One plane of a planar video texture, rows top first, one or two bytes a texel.
std::vector<uint8_t> ReadPlane(const hc::playback::VideoTexture& texture, int plane);
// Largest difference between two byte strings of equal length (255 when lengths differ).
int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace playtest
