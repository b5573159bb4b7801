#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/gl/DisplayTimeStamp.h"
#include "platform/gl/GlError.h"

namespace hc::gl {

// Paces drawing: a thread of its own calls back once per display refresh with
// the time stamp of the refresh that just happened and of the one the frame
// being prepared will appear at. A callback that takes longer than a refresh
// makes the link skip the refreshes it missed; they are never queued.
//
// Timing::Manual replaces the monotonic clock by a test clock that only moves
// through AdvanceManualClock, so that tests see exactly the refreshes they ask
// for.
class DisplayLink {
 public:
  enum class Timing { RealTime, Manual };
  // now: the refresh just passed; outputTime: the next one, when the frame
  // drawn in this call reaches the screen. Runs on the link's thread and must
  // not throw.
  using OutputCallback =
      std::function<void(const DisplayTimeStamp& now, const DisplayTimeStamp& outputTime)>;

  static constexpr double kDefaultRefreshRate = 60.0;
  static constexpr double kHighestRefreshRate = 1000.0;
  // Video time units in one refresh.
  static constexpr int64_t kVideoUnitsPerRefresh = 1000;

  explicit DisplayLink(Timing timing = Timing::RealTime);
  DisplayLink(const DisplayLink&) = delete;
  DisplayLink& operator=(const DisplayLink&) = delete;
  // Stops the link. Must not run on the link's own thread.
  ~DisplayLink();

  // The display's refresh rate in hertz (above 0, at most kHighestRefreshRate);
  // only while stopped.
  GlError SetRefreshRate(double hertz);
  double RefreshRate() const;

  GlError Start(OutputCallback callback);
  // Waits for a running callback to finish: no callback runs after Stop
  // returns. Called from the callback itself it only asks the thread to end.
  // Stopping a stopped link does nothing.
  GlError Stop();
  bool IsRunning() const;

  // Time stamp of the first refresh after the current time.
  GlError GetNextOutputTime(DisplayTimeStamp* out) const;

  // Manual timing only: moves the test clock forward and returns once the
  // callback of every refresh passed on the way has finished.
  GlError AdvanceManualClock(uint64_t nanoseconds);
  uint64_t ManualClockTime() const;

 private:
  void Run();
  void WaitForRefresh(std::unique_lock<std::mutex>& lock, int64_t index);
  void JoinEndedThread();
  bool OnLinkThread() const;
  uint64_t NowLocked() const;
  uint64_t HostTimeOf(int64_t index) const;
  int64_t FirstIndexAfter(uint64_t hostTime) const;
  DisplayTimeStamp StampOf(int64_t index) const;

  const Timing timing_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;       // the link thread waits here for its next refresh
  std::condition_variable delivered_;  // AdvanceManualClock waits here for callbacks
  std::thread thread_;
  std::atomic<std::thread::id> linkThread_{};  // read without the lock by the thread checks
  OutputCallback callback_;
  double refreshRate_ = kDefaultRefreshRate;
  bool running_ = false;
  bool stopRequested_ = false;
  bool inCallback_ = false;
  uint64_t origin_ = 0;         // host time of refresh 0, the moment of Start
  int64_t nextIndex_ = 1;       // the next refresh the thread waits for
  int64_t deliveredIndex_ = 0;  // the last refresh whose callback finished
  uint64_t manualNow_ = 0;
};

}  // namespace hc::gl
