#include "PlaybackTestMovies.h"

#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "tests/platform/movfile/MovTestTools.h"

namespace playtest {
namespace {

movtest::TempDir& Folder() {
  static movtest::TempDir folder;
  return folder;
}

std::string RateText(const FixtureFacts& facts) {
  return std::to_string(facts.fpsNum) + "/" + std::to_string(facts.fpsDen);
}

// Two halves whose streams repeat their parameter sets, joined without
// re-encoding: the decoder meets the new size and layout midway.
std::string MakeSizeChange() {
  const std::string path = Folder().File("sizechange.mov");
  const std::string list = Folder().File("sizechange.txt");
  const std::pair<const char*, const char*> halves[] = {{"testsrc=size=64x48", "yuv420p"},
                                                        {"testsrc2=size=96x64", "yuv422p"}};
  std::string listText;
  for (const auto& [source, pixelFormat] : halves) {
    const std::string half = Folder().File(std::string("half-") + pixelFormat + ".mov");
    if (movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                          std::string(source) + ":rate=25:duration=1", "-c:v", "libx264", "-preset", "ultrafast",
                          "-g", "12", "-bf", "2", "-pix_fmt", pixelFormat, "-x264-params", "repeat-headers=1",
                          "-fflags", "+bitexact", half})
            .status != 0) {
      return {};
    }
    listText += "file '" + half + "'\n";
  }
  movtest::WriteBytes(list, std::vector<uint8_t>(listText.begin(), listText.end()));
  if (movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "concat", "-safe", "0", "-i", list,
                        "-c", "copy", path})
          .status != 0) {
    return {};
  }
  return path;
}

std::string Make(Fixture fixture) {
  if (fixture == Fixture::SizeChange) return MakeSizeChange();
  const FixtureFacts facts = FactsOf(fixture);
  const std::string path = Folder().File("fixture" + std::to_string(static_cast<int>(fixture)) + ".mov");
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                   "testsrc=size=64x48:rate=" + RateText(facts) + ":duration=2"};
  if (fixture == Fixture::WithSound) {
    argv.insert(argv.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=2", "-c:a", "aac"});
  }
  argv.insert(argv.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-bf", "2", "-pix_fmt", "yuv420p",
                           "-fflags", "+bitexact", path});
  if (movtest::RunTool(argv).status != 0) return {};
  return path;
}

}  // namespace

FixtureFacts FactsOf(Fixture fixture) {
  switch (fixture) {
    case Fixture::Fps24: return {24, 1, 48};
    case Fixture::Fps2997: return {30000, 1001, 60};
    case Fixture::Fps25:
    case Fixture::WithSound:
    case Fixture::SizeChange: return {25, 1, 50};
  }
  return {25, 1, 50};
}

bool HaveFfmpeg() { return movtest::HaveTool("ffmpeg") && movtest::HaveTool("ffprobe"); }

const std::string& MoviePath(Fixture fixture) {
  static std::mutex mutex;
  static std::map<Fixture, std::string> made;
  std::lock_guard lock(mutex);
  auto it = made.find(fixture);
  if (it == made.end()) it = made.emplace(fixture, HaveFfmpeg() ? Make(fixture) : std::string()).first;
  return it->second;
}

std::string ScratchPath(const std::string& name) { return Folder().File(name); }

hc::playback::DataReference FileReference(const std::string& path) {
  hc::playback::DataReference reference;
  hc::playback::DataReference::FromPath(path, &reference);
  return reference;
}

std::unique_ptr<hc::playback::Movie> OpenMovie(const std::string& path) {
  std::unique_ptr<hc::playback::Movie> movie;
  hc::playback::Movie::Open(FileReference(path), &movie);
  return movie;
}

std::vector<uint8_t> FfmpegFrameBgra(const std::string& path, const std::string& seconds) {
  const movtest::ToolResult result =
      movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-ss", seconds, "-i", path, "-frames:v", "1",
                        "-f", "rawvideo", "-pix_fmt", "bgra", "-"});
  return std::vector<uint8_t>(result.out.begin(), result.out.end());
}

std::vector<uint8_t> FfmpegFrameRaw(const std::string& path, const std::string& seconds,
                                    const std::string& pixelFormat) {
  const movtest::ToolResult result =
      movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-ss", seconds, "-i", path, "-frames:v", "1",
                        "-f", "rawvideo", "-pix_fmt", pixelFormat, "-"});
  return std::vector<uint8_t>(result.out.begin(), result.out.end());
}

std::string FrameStartText(const FixtureFacts& facts, int frame) {
  const int64_t micros = (int64_t{frame} * facts.fpsDen * 1000000) / facts.fpsNum;
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(micros / 1000000),
                static_cast<long long>(micros % 1000000));
  return text;
}

bool GlTestContext::Make() {
  if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != hc::gl::GlError::None) return false;
  if (hc::gl::GlContext::Create(*format, nullptr, &context) != hc::gl::GlError::None) return false;
  return context->MakeCurrent() == hc::gl::GlError::None;
}

std::vector<uint8_t> ReadTexture(const hc::playback::VideoTexture& texture) {
  std::vector<uint8_t> pixels(static_cast<size_t>(texture.Width()) * texture.Height() * 4);
  glBindTexture(texture.Target(), texture.Name());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(texture.Target(), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  glBindTexture(texture.Target(), 0);
  return pixels;
}

std::vector<uint8_t> ReadPlane(const hc::playback::VideoTexture& texture, int plane) {
  const hc::playback::VideoTexture::Plane& facts = texture.PlaneAt(plane);
  const bool pairs = facts.format == hc::playback::VideoPlaneFormat::LumaAlpha8;
  std::vector<uint8_t> texels(static_cast<size_t>(facts.width) * facts.height * (pairs ? 2 : 1));
  glBindTexture(texture.Target(), facts.name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(texture.Target(), 0, pairs ? GL_LUMINANCE_ALPHA : GL_LUMINANCE, GL_UNSIGNED_BYTE, texels.data());
  glBindTexture(texture.Target(), 0);
  return texels;
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 255;
  int largest = 0;
  for (size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
  return largest;
}

}  // namespace playtest
