#include "platform/playback/Movie.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/movfile/MovTestTools.h"
#include "PlaybackTestMovies.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/VideoDecoder.h"

extern char** environ;

using hc::playback::DataReference;
using hc::playback::Movie;
using hc::playback::MovieTrackInfo;
using hc::playback::PlaybackErr;
using playtest::Fixture;

namespace {

// ffprobe's value of one key ("key=value" lines) of the first section that has it.
std::string ProbeValue(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

class MovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
  }
};

TEST_F(MovieTest, FactsAgreeWithFfprobe) {
  for (Fixture fixture : {Fixture::Fps24, Fixture::Fps25, Fixture::Fps2997, Fixture::WithSound}) {
    const std::string& path = playtest::MoviePath(fixture);
    SCOPED_TRACE(path);
    auto movie = playtest::OpenMovie(path);
    ASSERT_TRUE(movie);
    const std::string video = movtest::RunTool({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                                "stream=time_base,nb_frames,duration,width,height", "-of",
                                                "default=noprint_wrappers=1", path}).out;
    const std::string format = movtest::RunTool({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                                                 "default=noprint_wrappers=1", path}).out;
    MovieTrackInfo track;
    ASSERT_TRUE(movie->FirstVisualTrack(true, &track));
    EXPECT_EQ("1/" + std::to_string(track.mediaTimeScale), ProbeValue(video, "time_base"));
    EXPECT_EQ(std::to_string(track.sampleCount), ProbeValue(video, "nb_frames"));
    EXPECT_EQ(std::to_string(playtest::FactsOf(fixture).frames), ProbeValue(video, "nb_frames"));
    EXPECT_EQ(std::to_string(track.encodedWidth), ProbeValue(video, "width"));
    EXPECT_EQ(std::to_string(track.encodedHeight), ProbeValue(video, "height"));
    EXPECT_NEAR(movie->DurationSeconds(), std::strtod(ProbeValue(format, "duration").c_str(), nullptr), 0.001);
    EXPECT_NEAR(static_cast<double>(track.duration) / movie->TimeScale(),
                std::strtod(ProbeValue(video, "duration").c_str(), nullptr), 0.001);
    EXPECT_EQ(movie->FirstSoundTrack(true, nullptr), fixture == Fixture::WithSound);
    EXPECT_TRUE(movie->TrackHasMediaAt(track.trackId, 0));
    EXPECT_FALSE(movie->TrackHasMediaAt(track.trackId, track.duration));
    EXPECT_FALSE(movie->TrackHasMediaAt(track.trackId + 100, 0));
    EXPECT_EQ(movie->GetLoadState(), Movie::LoadState::Complete);
    EXPECT_EQ(movie->MaxLoadedTime(), movie->Duration());
  }
}

TEST_F(MovieTest, BadInputAnswersClearErrors) {
  std::unique_ptr<Movie> movie;
  EXPECT_EQ(Movie::Open(DataReference(), &movie), PlaybackErr::BadArgument);
  EXPECT_EQ(Movie::Open(playtest::FileReference(playtest::ScratchPath("missing.mov")), &movie),
            PlaybackErr::FileNotFound);
  const std::string text = playtest::ScratchPath("text.mov");
  movtest::WriteBytes(text, movtest::Bytes("this is not a movie at all, only some words\n"));
  EXPECT_EQ(Movie::Open(playtest::FileReference(text), &movie), PlaybackErr::InvalidMovie);
  // Cut before the movie header (ffmpeg writes it last): nothing to play.
  const std::vector<uint8_t> whole = movtest::ReadBytes(playtest::MoviePath(Fixture::Fps25));
  const std::string cut = playtest::ScratchPath("cut.mov");
  movtest::WriteBytes(cut, std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2));
  const PlaybackErr cutResult = Movie::Open(playtest::FileReference(cut), &movie);
  EXPECT_TRUE(PlaybackFailed(cutResult)) << hc::playback::PlaybackErrName(cutResult);
  // A codec nobody decodes: the sample description's format renamed.
  std::vector<uint8_t> renamed = whole;
  bool found = false;
  for (size_t i = 0; i + 4 <= renamed.size(); ++i) {
    if (renamed[i] == 'a' && renamed[i + 1] == 'v' && renamed[i + 2] == 'c' && renamed[i + 3] == '1') {
      renamed[i] = 'z';
      renamed[i + 1] = 'z';
      renamed[i + 2] = 'z';
      renamed[i + 3] = 'z';
      found = true;
    }
  }
  ASSERT_TRUE(found);
  const std::string unknown = playtest::ScratchPath("unknown-codec.mov");
  movtest::WriteBytes(unknown, renamed);
  EXPECT_EQ(Movie::Open(playtest::FileReference(unknown), &movie), PlaybackErr::UnsupportedCodec);
  EXPECT_FALSE(movie);
}

// A small movie declaring 2^26 pictures: FFmpeg would index every one (1.6 GB)
// if the file reached it.
TEST_F(MovieTest, RefusesSampleCountsTheFileCannotHold) {
  using hc::movfile::MovFourCC;
  const std::string path = playtest::ScratchPath("many-samples.mov");
  movtest::RewriteHeader(playtest::MoviePath(Fixture::Fps25), path, [](hc::movfile::MovAtomNode& moov) {
    movtest::SetSampleTableAtom(moov, 0, MovFourCC("stsz"), movtest::Words({1, 1u << 26}));
    movtest::SetSampleTableAtom(moov, 0, MovFourCC("stts"), movtest::Words({1, 1u << 26, 1}));
  });
  ASSERT_LT(movtest::FileSize(path), 64u * 1024);
  std::unique_ptr<Movie> movie;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Movie::Open(playtest::FileReference(path), &movie), PlaybackErr::InvalidSampleTable);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
  EXPECT_FALSE(movie);
}

TEST_F(MovieTest, PlayControlsAnnounceTheirActions) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  uint64_t host = 0;
  movie->GetTimeBase()->SetHostClock([&host] { return host; });
  std::vector<Movie::Action> actions;
  movie->SetActionCallback([&](const Movie::Action& action) { actions.push_back(action); });
  const int32_t scale = movie->TimeScale();
  movie->SetTime(scale * 3 / 2);
  movie->SetRate(1.0);
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].kind, Movie::Action::Kind::GoToTime);
  EXPECT_EQ(actions[0].time, scale * 3 / 2);
  EXPECT_EQ(actions[1].kind, Movie::Action::Kind::Play);
  EXPECT_EQ(actions[1].rate, 1.0);
  host += 400000000;  // 0.4 s
  movie->Task(10);
  EXPECT_EQ(actions.size(), 2u);
  host += 200000000;  // past the end
  movie->Task(10);
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[2].kind, Movie::Action::Kind::Finished);
  EXPECT_EQ(movie->Rate(), 0.0);
  EXPECT_EQ(movie->Time(), movie->Duration());
  // Times outside the movie are held at its ends.
  movie->SetTime(-5);
  EXPECT_EQ(movie->Time(), 0);
  movie->SetTime(movie->Duration() * 2);
  EXPECT_EQ(movie->Time(), movie->Duration());
}

TEST_F(MovieTest, SelectionOnlyPlaysWithinTheSelection) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  uint64_t host = 0;
  movie->GetTimeBase()->SetHostClock([&host] { return host; });
  const int32_t scale = movie->TimeScale();
  movie->SetSelection(scale / 2, scale / 2);  // 0.5 s .. 1 s
  int64_t start = 0;
  int64_t duration = 0;
  movie->GetSelection(&start, &duration);
  EXPECT_EQ(start, scale / 2);
  EXPECT_EQ(duration, scale / 2);
  movie->SetPlaySelectionOnly(true);
  EXPECT_EQ(movie->Time(), scale / 2);  // moved into the selection
  movie->SetLooping(true);
  movie->SetRate(1.0);
  host += 700000000;  // 0.7 s: once round the half-second selection
  EXPECT_NEAR(movie->GetTimeBase()->Seconds(), 0.7, 1e-6);
  movie->SetPlaySelectionOnly(false);
  movie->SetLooping(false);
  host += 2000000000;
  movie->Task(10);
  EXPECT_EQ(movie->Time(), movie->Duration());
  // A selection past the end is cut to the movie.
  movie->SetSelection(movie->Duration() - 10, 1000000);
  movie->GetSelection(&start, &duration);
  EXPECT_EQ(start + duration, movie->Duration());
}

TEST_F(MovieTest, FrameStepsLandInsideTheNextFrame) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps2997));
  ASSERT_TRUE(movie);
  const double frame = 1001.0 / 30000.0;
  for (int i = 1; i <= 40; ++i) {
    movie->StepFrames(1);
    const double seconds = movie->GetTimeBase()->Seconds();
    ASSERT_GE(seconds, i * frame - 1e-9) << "step " << i;
    ASSERT_LT(seconds, (i + 1) * frame) << "step " << i;
  }
  movie->StepFrames(-39);
  EXPECT_GE(movie->GetTimeBase()->Seconds(), frame - 1e-9);
  EXPECT_LT(movie->GetTimeBase()->Seconds(), 2 * frame);
  movie->StepFrames(-5);
  EXPECT_EQ(movie->Time(), 0);
}

TEST_F(MovieTest, TrackMovieFollowsTheSharedMovie) {
  auto shared = playtest::OpenMovie(playtest::MoviePath(Fixture::WithSound));
  ASSERT_TRUE(shared);
  MovieTrackInfo video;
  ASSERT_TRUE(shared->FirstVisualTrack(true, &video));
  std::unique_ptr<Movie> track;
  EXPECT_EQ(Movie::CreateTrackMovie(*shared, 999, &track), PlaybackErr::InvalidTrack);
  ASSERT_EQ(Movie::CreateTrackMovie(*shared, video.trackId, &track), PlaybackErr::Ok);
  ASSERT_EQ(track->Tracks().size(), 1u);
  EXPECT_EQ(track->Tracks()[0].trackId, video.trackId);
  EXPECT_EQ(track->GetTimeBase()->MasterTimeBase(), shared->GetTimeBase());
  shared->SetTime(shared->TimeScale());
  EXPECT_EQ(track->Time(), track->TimeScale());
  shared->SetRate(1.5);
  EXPECT_EQ(track->Rate(), 1.5);
  shared->SetRate(0.0);
  // The shared movie hides its copy of the track; the track movie is unaffected.
  EXPECT_EQ(shared->SetTrackEnabled(video.trackId, false), PlaybackErr::Ok);
  EXPECT_FALSE(shared->FirstVisualTrack(true, nullptr));
  EXPECT_TRUE(track->FirstVisualTrack(true, nullptr));
  EXPECT_EQ(shared->SetTrackEnabled(12345, false), PlaybackErr::InvalidTrack);
}

TEST_F(MovieTest, PrerollCompletesFromTask) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  EXPECT_EQ(movie->Preroll(-1, 1.0), PlaybackErr::BadArgument);
  EXPECT_EQ(movie->Preroll(0, 1.0), PlaybackErr::Ok);
  std::vector<PlaybackErr> done;
  movie->PrePreroll(0, 1.0, [&](PlaybackErr error) { done.push_back(error); });
  for (int i = 0; i < 500 && done.empty(); ++i) {
    movie->Task(5);
    if (done.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(done, std::vector<PlaybackErr>{PlaybackErr::Ok});
}

// Movies over http: ffmpeg reads them from a local web server that Python serves.
TEST_F(MovieTest, OpensAndDecodesOverHttp) {
  if (!movtest::HaveTool("python3")) GTEST_SKIP() << "python3 missing";
  const std::string& path = playtest::MoviePath(Fixture::Fps25);
  const std::string folder = path.substr(0, path.rfind('/'));
  const std::string file = path.substr(path.rfind('/') + 1);
  const int port = 20000 + static_cast<int>(::getpid() % 20000);
  pid_t server = 0;
  std::vector<std::string> argv = {"python3", "-m", "http.server", std::to_string(port), "--bind", "127.0.0.1",
                                   "--directory", folder};
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  ASSERT_EQ(posix_spawnp(&server, "python3", &actions, nullptr, args.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  DataReference reference;
  ASSERT_EQ(DataReference::FromUrl("http://127.0.0.1:" + std::to_string(port) + "/" + file, &reference),
            PlaybackErr::Ok);
  std::unique_ptr<Movie> movie;
  PlaybackErr opened = PlaybackErr::NetworkError;
  for (int attempt = 0; attempt < 100 && opened != PlaybackErr::Ok; ++attempt) {
    opened = Movie::Open(reference, &movie);
    if (opened != PlaybackErr::Ok) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(opened, PlaybackErr::Ok);
  EXPECT_NEAR(movie->DurationSeconds(), 2.0, 0.001);
  EXPECT_EQ(movie->GetLoadState(), Movie::LoadState::PlaythroughOK);
  std::unique_ptr<hc::playback::VideoDecoder> decoder;
  ASSERT_EQ(hc::playback::VideoDecoder::Open(reference, 0, &decoder), PlaybackErr::Ok);
  ASSERT_EQ(decoder->SeekTo(1.0), PlaybackErr::Ok);
  hc::playback::DecodedFrame frame;
  ASSERT_EQ(decoder->ReadFrame(frame), PlaybackErr::Ok);
  EXPECT_NEAR(frame.seconds, 1.0, 1e-9);
  // A file the server does not have.
  ASSERT_EQ(DataReference::FromUrl("http://127.0.0.1:" + std::to_string(port) + "/missing.mov", &reference),
            PlaybackErr::Ok);
  EXPECT_EQ(Movie::Open(reference, &movie), PlaybackErr::NetworkError);
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
}

TEST_F(MovieTest, EmptyMovieAndVolume) {
  auto movie = Movie::CreateEmpty(1000);
  EXPECT_EQ(movie->TimeScale(), 1000);
  EXPECT_EQ(movie->Duration(), 0);
  EXPECT_TRUE(movie->Tracks().empty());
  EXPECT_TRUE(movie->Reference().IsEmpty());
  movie->SetRate(1.0);
  EXPECT_EQ(movie->Time(), 0);
  movie->SetVolume(0.25f);
  EXPECT_EQ(movie->Volume(), 0.25f);
  movie->SetVolume(9.0f);
  EXPECT_EQ(movie->Volume(), 4.0f);
  movie->SetMuted(true);
  EXPECT_TRUE(movie->IsMuted());
  EXPECT_EQ(movie->SetTimeScale(0), PlaybackErr::BadArgument);
}

}  // namespace
