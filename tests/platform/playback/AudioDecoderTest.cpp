#include "platform/playback/AudioDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "PlaybackTestMovies.h"
#include "tests/platform/movfile/MovTestTools.h"

using hc::playback::AudioChunk;
using hc::playback::AudioDecoder;
using hc::playback::PlaybackErr;

namespace {

constexpr int kRate = 48000;
constexpr int kChannels = 2;

struct Decoded {
  PlaybackErr last = PlaybackErr::Ok;
  std::vector<AudioChunk> chunks;
  double Seconds() const {
    double seconds = 0.0;
    for (const AudioChunk& chunk : chunks) seconds += static_cast<double>(chunk.samples.size()) / kChannels / kRate;
    return seconds;
  }
};

Decoded DecodeAll(const std::string& path) {
  Decoded decoded;
  std::unique_ptr<AudioDecoder> decoder;
  decoded.last = AudioDecoder::Open(playtest::FileReference(path), 0, kRate, kChannels, &decoder);
  for (int i = 0; i < 10000 && decoded.last == PlaybackErr::Ok; ++i) {
    AudioChunk chunk;
    decoded.last = decoder->ReadChunk(chunk);
    if (decoded.last == PlaybackErr::Ok) decoded.chunks.push_back(std::move(chunk));
  }
  return decoded;
}

double Rms(const AudioChunk& chunk) {
  double sum = 0.0;
  for (float s : chunk.samples) sum += double{s} * s;
  return chunk.samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(chunk.samples.size()));
}

// An MPEG audio layer II track whose frames change from stereo at 48 kHz to
// mono at 44.1 kHz and back, half a second each: the track's description
// holds only the first, as with the movie that crashed the sound path.
std::string MakeTrackChangingMidStream() {
  const std::string path = playtest::ScratchPath("changing-sound.mov");
  std::vector<uint8_t> joined;
  const struct {
    const char* tone;
    const char* channels;
  } parts[] = {{"sine=frequency=440:sample_rate=48000:duration=0.5", "2"},
               {"sine=frequency=660:sample_rate=44100:duration=0.5", "1"},
               {"sine=frequency=440:sample_rate=48000:duration=0.5", "2"}};
  for (const auto& part : parts) {
    const std::string piece = playtest::ScratchPath("piece.mp2");
    if (movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i", part.tone, "-ac",
                          part.channels, "-c:a", "mp2", "-f", "mp2", piece})
            .status != 0) {
      return {};
    }
    const std::vector<uint8_t> bytes = movtest::ReadBytes(piece);
    joined.insert(joined.end(), bytes.begin(), bytes.end());
  }
  const std::string stream = playtest::ScratchPath("changing.mp2");
  movtest::WriteBytes(stream, joined);
  if (movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "mp3", "-i", stream, "-c:a",
                        "copy", "-f", "mov", path})
          .status != 0) {
    return {};
  }
  return path;
}

class AudioDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
  }
};

TEST_F(AudioDecoderTest, FramesUnlikeTheTrackAreResampledForWhatTheyAre) {
  const std::string path = MakeTrackChangingMidStream();
  ASSERT_FALSE(path.empty());
  const Decoded decoded = DecodeAll(path);
  EXPECT_EQ(decoded.last, PlaybackErr::EndOfMedia);
  EXPECT_NEAR(decoded.Seconds(), 1.5, 0.1);
  // Sound goes on through the mono stretch in the middle and after it.
  for (double at : {0.25, 0.75, 1.25}) {
    const AudioChunk* found = nullptr;
    for (const AudioChunk& chunk : decoded.chunks) {
      if (chunk.seconds <= at) found = &chunk;
    }
    ASSERT_NE(found, nullptr) << at;
    EXPECT_GT(Rms(*found), 0.03) << at;  // the tone's RMS is about 0.09
  }
}

TEST_F(AudioDecoderTest, FuzzedMovieWithFramesUnlikeItsTrackPlaysOrFailsCleanly) {
  // Without its name's extension, as the fuzz target hands it over: FFmpeg
  // then reads it as MPEG audio whose frames differ from its stream's facts.
  const std::string seed = std::string(HC_TEST_SOURCE_DIR) + "/tests/fuzz/playback/seeds/audio-frames-unlike-track.mov";
  const std::string path = playtest::ScratchPath("audio-frames-unlike-track");
  movtest::CopyFile(seed, path);
  ASSERT_GT(movtest::FileSize(path), 0u);
  const Decoded decoded = DecodeAll(path);
  EXPECT_TRUE(decoded.last == PlaybackErr::EndOfMedia || PlaybackFailed(decoded.last))
      << hc::playback::PlaybackErrName(decoded.last);
  for (const AudioChunk& chunk : decoded.chunks) {
    EXPECT_EQ(chunk.samples.size() % kChannels, 0u);
    for (float sample : chunk.samples) ASSERT_TRUE(std::isfinite(sample));
  }
}

}  // namespace
