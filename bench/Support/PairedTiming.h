#pragma once
// Side-by-side timing of our code and an anchor doing the same work in the
// same run: one pair of runs per round, the order alternating between rounds
// (so neither side always meets the caches the other warmed or cooled), and
// the median of the per-round ratios as the figure. Both run on this
// process's cores: a child process inherits its affinity.
//
// Each benchmark iteration is one round; Report() prints
//   ours_ms, <anchor>_ms   median time of each side,
//   x_<anchor>             median of ours / anchor over the rounds (below 1: ours is faster),
//   rounds                 how many pairs were measured.
// ctest runs every benchmark briefly with HC_BENCH_SMOKE set; SmokeRun()
// tells a benchmark to shrink its input and rounds there.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace hc::bench {

using Clock = std::chrono::steady_clock;

inline bool SmokeRun() {
  const char* text = std::getenv("HC_BENCH_SMOKE");
  return text && *text && *text != '0';
}

// The rounds a paired benchmark runs: the given count, or two in a smoke run
// (still one round of each order).
inline int Rounds(int count) { return SmokeRun() ? 2 : count; }

// Seconds a call takes; negative when it answers false.
template <class Body>
double SecondsOf(Body&& body) {
  const auto start = Clock::now();
  const bool ok = body();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return ok ? seconds : -1.0;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

class PairedTimes {
 public:
  explicit PairedTimes(std::string anchorName) : m_anchorName(std::move(anchorName)) {}

  // One round: each body once, ours first on even rounds. A body answers
  // false when its work failed; the round is then not counted. `prepare`
  // runs before each body, outside the timing (to drop or warm caches
  // equally for both sides).
  template <class Ours, class Anchor, class Prepare>
  bool RunRound(Ours&& ours, Anchor&& anchor, Prepare&& prepare) {
    double oursSeconds = 0;
    double anchorSeconds = 0;
    const bool oursFirst = m_ours.size() % 2 == 0;
    for (int side = 0; side < 2; ++side) {
      prepare();
      if ((side == 0) == oursFirst) {
        oursSeconds = SecondsOf(ours);
      } else {
        anchorSeconds = SecondsOf(anchor);
      }
    }
    if (oursSeconds < 0 || anchorSeconds < 0) return false;
    Add(oursSeconds, anchorSeconds);
    return true;
  }
  template <class Ours, class Anchor>
  bool RunRound(Ours&& ours, Anchor&& anchor) {
    return RunRound(ours, anchor, [] {});
  }

  void Add(double oursSeconds, double anchorSeconds) {
    m_ours.push_back(oursSeconds);
    m_anchor.push_back(anchorSeconds);
  }
  double LastOurs() const { return m_ours.empty() ? 0 : m_ours.back(); }
  double MedianOurs() const { return Median(m_ours); }
  double MedianAnchor() const { return Median(m_anchor); }
  // Median over the rounds of ours / anchor.
  double MedianRatio() const {
    std::vector<double> ratios;
    for (size_t i = 0; i < m_ours.size(); ++i) {
      if (m_anchor[i] > 0) ratios.push_back(m_ours[i] / m_anchor[i]);
    }
    return Median(ratios);
  }

  void Report(benchmark::State& state) const {
    state.counters["ours_ms"] = MedianOurs() * 1e3;
    state.counters[m_anchorName + "_ms"] = MedianAnchor() * 1e3;
    state.counters["x_" + m_anchorName] = MedianRatio();
    state.counters["rounds"] = static_cast<double>(m_ours.size());
  }

 private:
  std::string m_anchorName;
  std::vector<double> m_ours;
  std::vector<double> m_anchor;
};

}  // namespace hc::bench
