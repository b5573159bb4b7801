#include "platform/playback/DecompressionSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "StillImageTestTools.h"
#include "platform/playback/GraphicsImporter.h"
#include "platform/movfile/ImageDescriptionWriter.h"
#include "platform/playback/InlineImageData.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace hc::playback;
using movtest::TempDir;

namespace {

// Inline pictures of each still type, made once.
struct Pictures {
  TempDir dir;
  std::map<std::string, InlineImage> byName;
  Pictures() {
    for (const char* name : {"a.png", "a.jpg", "a.tif", "a.bmp"}) {
      stilltest::MakePicture(dir.File(name), "64x48", name == std::string("a.jpg") ? "yuvj420p" : "rgb24");
      if (InlineImageData::ReadFirstPicture(dir.File(name), byName[name]) != PlaybackErr::Ok) {
        throw std::runtime_error(std::string("no inline picture from ") + name);
      }
    }
  }
  static const Pictures& Get() {
    static Pictures pictures;
    return pictures;
  }
  std::string Path(const std::string& name) const { return dir.File(name); }
};

// Counts completions and what they said.
struct Completions {
  std::mutex mutex;
  int drew = 0, cancelled = 0, failed = 0;
  PlaybackErr lastError = PlaybackErr::Ok;
  std::thread::id thread;
  DecompressionCompletion Make() {
    return [this](const DecompressionFrameResult& result) {
      std::lock_guard lock(mutex);
      thread = std::this_thread::get_id();
      if (result.cancelled) ++cancelled;
      else if (result.Drew()) ++drew;
      else { ++failed; lastError = result.error; }
    };
  }
};

// Frames of every still type decompress, at once or on the sequence's own
// thread, into the same pixels the graphics importer draws.
TEST(DecompressionSequenceTest, FramesDrawWhatTheImporterDraws) {
  const Pictures& pictures = Pictures::Get();
  for (const auto& [name, image] : pictures.byName) {
    SCOPED_TRACE(name);
    GraphicsImporter importer;
    ASSERT_EQ(importer.OpenFile(pictures.Path(name)), PlaybackErr::Ok);
    stilltest::GuardedBuffer expected(80, 40, 32);
    ASSERT_EQ(importer.Draw(expected.View()), PlaybackErr::Ok);

    stilltest::GuardedBuffer now(80, 40, 32), later(80, 40, 32);
    DecompressionSequence sequence;
    ASSERT_EQ(sequence.Begin(image.description, now.View()), PlaybackErr::Ok);
    EXPECT_EQ(sequence.CodecType(), importer.CodecType());
    ASSERT_EQ(sequence.DecompressFrame(image.data), PlaybackErr::Ok);
    EXPECT_EQ(now.Pixels(), expected.Pixels());
    EXPECT_TRUE(now.GuardsIntact());

    Completions completions;
    ASSERT_EQ(sequence.Begin(image.description, later.View()), PlaybackErr::Ok);
    std::vector<uint8_t> data = image.data;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sequence.DecompressFrame(data, completions.Make()), PlaybackErr::Ok);
    std::fill(data.begin(), data.end(), 0);  // the sequence keeps its own copy
    sequence.End(DecompressionSequence::EndMode::Drain);
    EXPECT_FALSE(sequence.IsOpen());
    EXPECT_EQ(completions.drew, 3);
    EXPECT_NE(completions.thread, std::this_thread::get_id());
    EXPECT_EQ(later.Pixels(), expected.Pixels());
  }
}

// An H.264 key frame taken from a movie decodes like ffmpeg's first frame.
TEST(DecompressionSequenceTest, MovieKeyFrameDecodesLikeFfmpeg) {
  TempDir dir;
  const std::string movie = dir.File("h264.mov");
  movtest::MakeVideoMovie(movie);
  InlineImage image;
  ASSERT_EQ(InlineImageData::ReadFirstPicture(movie, image), PlaybackErr::Ok);
  stilltest::GuardedBuffer buffer(64, 32, MovFourCC("BGRA"));
  DecompressionSequence sequence;
  ASSERT_EQ(sequence.Begin(image.description, buffer.View()), PlaybackErr::Ok);
  EXPECT_EQ(sequence.CodecType(), MovFourCC("avc1"));
  for (int frame = 0; frame < 2; ++frame) {  // the decoder is ready again after each picture
    ASSERT_EQ(sequence.DecompressFrame(image.data), PlaybackErr::Ok);
    EXPECT_LE(stilltest::MaxDifference(buffer.Pixels(), stilltest::FfmpegPixels(movie, 64, 32, "bgra")), 3);
  }
}

// End with Cancel completes the queued frames as cancelled and lets the
// running one finish; destroying a sequence does the same.
TEST(DecompressionSequenceTest, EndCancelsQueuedFramesAndFinishesTheRunningOne) {
  const InlineImage& image = Pictures::Get().byName.at("a.jpg");
  stilltest::GuardedBuffer buffer(64, 48, 32);
  Completions completions;
  std::atomic<bool> release{false};
  std::atomic<bool> firstRunning{false};
  {
    DecompressionSequence sequence;
    ASSERT_EQ(sequence.Begin(image.description, buffer.View()), PlaybackErr::Ok);
    auto count = completions.Make();
    ASSERT_EQ(sequence.DecompressFrame(image.data,
                                       [&](const DecompressionFrameResult& result) {
                                         firstRunning = true;
                                         while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                         count(result);
                                       }),
              PlaybackErr::Ok);
    for (int i = 0; i < 19; ++i) ASSERT_EQ(sequence.DecompressFrame(image.data, completions.Make()), PlaybackErr::Ok);
    while (!firstRunning) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::thread ender([&] { sequence.End(DecompressionSequence::EndMode::Cancel); });
    while (sequence.PendingFrames() != 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    release = true;
    ender.join();
    EXPECT_EQ(completions.drew, 1);
    EXPECT_EQ(completions.cancelled, 19);
    EXPECT_EQ(sequence.PendingFrames(), 0u);

    ASSERT_EQ(sequence.Begin(image.description, buffer.View()), PlaybackErr::Ok);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(sequence.DecompressFrame(image.data, completions.Make()), PlaybackErr::Ok);
  }
  EXPECT_EQ(completions.drew + completions.cancelled, 30);
  EXPECT_EQ(completions.failed, 0);
}

// A completion may decompress again, at once or queued, and its End call is
// ignored instead of waiting for itself.
TEST(DecompressionSequenceTest, CompletionsMayDecompressAgain) {
  const InlineImage& image = Pictures::Get().byName.at("a.png");
  stilltest::GuardedBuffer buffer(64, 48, 32);
  DecompressionSequence sequence;
  ASSERT_EQ(sequence.Begin(image.description, buffer.View()), PlaybackErr::Ok);
  Completions completions;
  std::atomic<int> nested{-1};
  ASSERT_EQ(sequence.DecompressFrame(image.data,
                                     [&](const DecompressionFrameResult& result) {
                                       nested = static_cast<int>(sequence.DecompressFrame(image.data));
                                       sequence.End();
                                       sequence.DecompressFrame(image.data, completions.Make());
                                       completions.Make()(result);
                                     }),
            PlaybackErr::Ok);
  sequence.End();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(completions.drew, 2);
}

TEST(DecompressionSequenceTest, BadDescriptionsAndFramesAnswerClearErrors) {
  const InlineImage& png = Pictures::Get().byName.at("a.png");
  stilltest::GuardedBuffer buffer(16, 16, 32);
  auto describe = [](uint32_t codecType, uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes;
    ImageDescriptionWriter::Write({codecType, width, height, 24, 0, ""}, bytes);
    return bytes;
  };
  std::vector<uint8_t> noSize = describe(MovFourCC("png "), 1, 1);
  noSize[32] = noSize[33] = 0;  // width 0
  struct Case {
    const char* what;
    std::vector<uint8_t> description;
    PlaybackErr expected;
  };
  const Case cases[] = {
      {"MPEG-4 part 2, not decoded here", describe(MovFourCC("mp4v"), 64, 48), PlaybackErr::UnsupportedCodec},
      {"unknown codec", describe(MovFourCC("zzzz"), 64, 48), PlaybackErr::UnsupportedCodec},
      {"H.264 without its configuration", describe(MovFourCC("avc1"), 64, 48), PlaybackErr::CodecDataCorrupt},
      {"cut short", std::vector<uint8_t>(png.description.begin(), png.description.begin() + 50),
       PlaybackErr::InvalidSampleTable},
      {"size field past the end", [&] { auto d = png.description; d[3] = 200; return d; }(),
       PlaybackErr::InvalidSampleTable},
      {"zero width", noSize, PlaybackErr::InvalidSampleTable},
      {"empty", {}, PlaybackErr::InvalidSampleTable},
  };
  for (const Case& c : cases) {
    DecompressionSequence sequence;
    EXPECT_EQ(sequence.Begin(c.description, buffer.View()), c.expected) << c.what;
    EXPECT_FALSE(sequence.IsOpen()) << c.what;
  }

  DecompressionSequence sequence;
  EXPECT_EQ(sequence.DecompressFrame(png.data), PlaybackErr::BadArgument);  // not begun
  ImageBuffer noMemory = buffer.View();
  noMemory.base = nullptr;
  EXPECT_EQ(sequence.Begin(png.description, noMemory), PlaybackErr::BadArgument);
  ASSERT_EQ(sequence.Begin(png.description, buffer.View()), PlaybackErr::Ok);
  std::vector<uint8_t> damaged(png.data.begin(), png.data.begin() + static_cast<ptrdiff_t>(png.data.size() / 2));
  EXPECT_EQ(sequence.DecompressFrame(damaged), PlaybackErr::CodecDataCorrupt);
  EXPECT_EQ(sequence.DecompressFrame({}), PlaybackErr::CodecDataCorrupt);
  Completions completions;
  ASSERT_EQ(sequence.DecompressFrame(damaged, completions.Make()), PlaybackErr::Ok);
  ASSERT_EQ(sequence.DecompressFrame(png.data, completions.Make()), PlaybackErr::Ok);  // a good frame after a bad one
  sequence.End();
  EXPECT_EQ(completions.failed, 1);
  EXPECT_EQ(completions.lastError, PlaybackErr::CodecDataCorrupt);
  EXPECT_EQ(completions.drew, 1);
}

}  // namespace
