// The player on a 3840 x 1920 H.264 movie (ffmpeg's fast-to-decode fixture
// with the sample presentation written in), drawn in a 1280 x 720 view on a
// virtual X server with Mesa's software OpenGL:
// - frames drawn per second while it plays, against bare decoding of the
//   same file by ffmpeg (same decoder thread count: automatic on both sides,
//   same cores, the two sides interleaved over the repetitions, median ratio
//   printed). The movie plays at 8 times its speed and the display link runs
//   at 240 refreshes a second, so that neither the movie's own frame rate nor
//   the refresh caps the count: what limits it is decoding, uploading and
//   drawing;
// - the main thread's share of the processor time spent meanwhile;
// - a paused, unchanging window: processor time per second of wall time.
// Without a display the program runs itself again under xvfb-run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "General/ProgramStartUp.h"
#include "HcDocumentController.h"
#include "HcHalcyonView.h"
#include "HcMainThreadPump.h"
#include "HcMovie.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "MovieBenchSupport.h"

namespace {

constexpr int kCores = 4;
constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 720;
constexpr double kRate = 8.0;
constexpr double kRefreshRate = 240.0;

bool Smoke() {
  const char* smoke = std::getenv("HC_BENCH_SMOKE");
  return smoke != nullptr && smoke[0] == '1';
}
int Repetitions() { return Smoke() ? 1 : 5; }
double PlaySeconds() { return Smoke() ? 1.0 : 4.0; }

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Spin(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
}

bool WaitFor(const std::function<bool()>& condition, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
  return true;
}

// The fixture with the sample presentation, copied once per run.
const std::string& PlayerMovie() {
  static const std::string path = [] {
    const std::string& fixture = moviebench::MoviePath(moviebench::MovieKind::FastToDecode);
    if (fixture.empty()) return std::string();
    const std::string copy = fixture + ".player.mov";
    QFile::remove(QString::fromStdString(copy));
    if (!QFile::copy(QString::fromStdString(fixture), QString::fromStdString(copy))) return std::string();
    if (QProcess::execute(QStringLiteral(HC_SAMPLE_PRESENTATION_TOOL), {QString::fromStdString(copy)}) != 0) {
      return std::string();
    }
    return copy;
  }();
  return path;
}

struct PlayerRun {
  bool ok = false;
  double drawnPerSecond = 0.0;
  double mainThreadShare = 0.0;
};

class OpenPlayer {
 public:
  bool Open(const std::string& path) {
    HcError error;
    m_document = m_documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(QString::fromStdString(path)), true,
                                                           &error);
    if (!m_document || m_document->windowControllers().empty()) return false;
    HcViewerWindowController* controller = m_document->windowControllers().front().get();
    m_view = controller->halcyonView();
    m_movie = m_document->movie();
    if (!m_view || !m_movie) return false;
    // The view at 1280 x 720 whatever the window's controls take.
    QWidget* window = m_view->window();
    for (int i = 0; i < 3; ++i) {
      window->resize(window->width() + kViewWidth - m_view->width(), window->height() + kViewHeight - m_view->height());
      Spin(0.2);
    }
    m_view->stopTimer();
    m_view->setRefreshRate(kRefreshRate);
    m_view->startTimer();
    m_movie->setLooping(true);
    return m_view->size() == QSize(kViewWidth, kViewHeight) && WaitFor([&] { return m_view->framesDrawn() > 2; }, 30);
  }
  void Close() { m_documents.closeAllDocuments(); }

  PlayerRun Play(double seconds) {
    PlayerRun run;
    m_movie->setCurrentTime(0.0);
    m_movie->setRate(kRate);
    Spin(0.5);  // the decoder's queue fills
    const uint64_t drawnBefore = m_view->framesDrawn();
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double processStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
    Spin(seconds);
    const double main = Seconds(CLOCK_THREAD_CPUTIME_ID) - mainStart;
    const double process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
    const uint64_t drawn = m_view->framesDrawn() - drawnBefore;
    m_movie->setRate(0.0);
    run.drawnPerSecond = static_cast<double>(drawn) / wall;
    run.mainThreadShare = process > 0 ? main / process : 0.0;
    run.ok = drawn > 0;
    return run;
  }

  // Processor seconds per wall second while paused and unchanged.
  double PausedCost(double seconds) {
    m_movie->setRate(0.0);
    // The decoder may still be catching up with the time it stopped at: the
    // window counts as unchanging once half a second passes without a draw.
    const auto settleEnd = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    uint64_t lastDrawn = m_view->framesDrawn();
    auto quietSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < settleEnd &&
           std::chrono::steady_clock::now() - quietSince < std::chrono::milliseconds(500)) {
      Spin(0.05);
      if (m_view->framesDrawn() != lastDrawn) {
        lastDrawn = m_view->framesDrawn();
        quietSince = std::chrono::steady_clock::now();
      }
    }
    const uint64_t drawnBefore = m_view->framesDrawn();
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double processStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    // Sleep through the main thread's own share too: nothing is asked of it.
    QThread::msleep(static_cast<unsigned long>(seconds * 1000));
    QCoreApplication::processEvents();
    const double process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
    m_pausedDraws = m_view->framesDrawn() - drawnBefore;
    return process / wall;
  }
  uint64_t PausedDraws() const { return m_pausedDraws; }

 private:
  HcViewerApplicationDelegate m_delegate;
  HcDocumentController m_documents{&m_delegate};
  HcViewerDocument* m_document = nullptr;
  HcHalcyonView* m_view = nullptr;
  HcMovie* m_movie = nullptr;
  uint64_t m_pausedDraws = 0;
};

// ffmpeg's decoding rate of the same file: frames per second of its own time.
double FfmpegFramesPerSecond(const std::string& path) {
  const moviebench::FfmpegRun run = moviebench::RunFfmpegDecode(path, 0);
  return run.ok && run.decodeSeconds > 0 ? moviebench::kFrames / run.decodeSeconds : 0.0;
}

void BM_PlayerDrawingAgainstBareDecode(benchmark::State& state) {
  const std::string& path = PlayerMovie();
  if (path.empty()) {
    state.SkipWithError("the movie could not be made");
    return;
  }
  std::vector<double> ratios, drawnRates, decodeRates, mainShares;
  double pausedCost = 0.0;
  uint64_t pausedDraws = 0;
  for (auto _ : state) {
    OpenPlayer player;
    if (!player.Open(path)) {
      state.SkipWithError("the player did not show the movie");
      return;
    }
    for (int repetition = 0; repetition < Repetitions(); ++repetition) {
      // Interleaved: the anchor before the player on even runs, after it on odd ones.
      double decode = repetition % 2 == 0 ? FfmpegFramesPerSecond(path) : 0.0;
      const PlayerRun run = player.Play(PlaySeconds());
      if (repetition % 2 == 1) decode = FfmpegFramesPerSecond(path);
      if (!run.ok || decode <= 0.0) {
        state.SkipWithError("a run failed");
        return;
      }
      drawnRates.push_back(run.drawnPerSecond);
      decodeRates.push_back(decode);
      ratios.push_back(run.drawnPerSecond / decode);
      mainShares.push_back(run.mainThreadShare);
    }
    pausedCost = player.PausedCost(Smoke() ? 1.0 : 3.0);
    pausedDraws = player.PausedDraws();
    player.Close();
  }
  state.counters["drawn_fps"] = moviebench::Median(drawnRates);
  state.counters["bare_decode_fps"] = moviebench::Median(decodeRates);
  state.counters["drawn_over_decode"] = moviebench::Median(ratios);
  state.counters["main_thread_share"] = moviebench::Median(mainShares);
  state.counters["paused_cpu_per_s"] = pausedCost;
  state.counters["paused_draws"] = static_cast<double>(pausedDraws);
  std::printf("player: %.1f frames drawn/s, bare decode %.1f frames/s, median ratio %.3f (goal >= 0.9); "
              "main thread %.1f%% of processor time; paused window %.4f processor s per s, %llu draws\n",
              moviebench::Median(drawnRates), moviebench::Median(decodeRates), moviebench::Median(ratios),
              100.0 * moviebench::Median(mainShares), pausedCost, static_cast<unsigned long long>(pausedDraws));
}

BENCHMARK(BM_PlayerDrawingAgainstBareDecode)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs the program again under a virtual X server when there is no display.
void EnsureDisplay(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && display[0] != '\0') return;
  if (std::getenv("HC_PLAYER_BENCH_UNDER_XVFB") != nullptr) return;
  setenv("HC_PLAYER_BENCH_UNDER_XVFB", "1", 1);
  std::vector<char*> arguments = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                                  const_cast<char*>("-screen 0 1920x1080x24")};
  for (int i = 0; i < argc; ++i) arguments.push_back(argv[i]);
  arguments.push_back(nullptr);
  execvp("xvfb-run", arguments.data());
  std::perror("xvfb-run");
}

}  // namespace

int main(int argc, char** argv) {
  EnsureDisplay(argc, argv);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("HC_RESOURCE_DIR", HC_SOURCE_DIR "/application/Resources", 0);
  moviebench::PinToCores(kCores);
  QStandardPaths::setTestModeEnabled(true);
  StartUpProcess();
  QCoreApplication::setAttribute(Qt::AA_DontCheckOpenGLContextThreadAffinity);
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  HcMainThreadPump pump;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
