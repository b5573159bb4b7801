#include "platform/gl/DisplayLink.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <system_error>

namespace hc::gl {

namespace {

constexpr long double kNanosecondsPerSecond = 1e9L;

uint64_t MonotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000ull + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

DisplayLink::DisplayLink(Timing timing) : timing_(timing) {}

DisplayLink::~DisplayLink() {
  Stop();
  JoinEndedThread();
}

GlError DisplayLink::SetRefreshRate(double hertz) {
  if (!std::isfinite(hertz) || hertz <= 0.0 || hertz > kHighestRefreshRate) {
    return GlError::BadArgument;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (running_) return GlError::AlreadyRunning;
  refreshRate_ = hertz;
  return GlError::None;
}

double DisplayLink::RefreshRate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return refreshRate_;
}

GlError DisplayLink::Start(OutputCallback callback) {
  if (!callback) return GlError::BadArgument;
  if (OnLinkThread()) return GlError::CalledFromLinkThread;
  if (IsRunning()) return GlError::AlreadyRunning;
  JoinEndedThread();  // a thread whose callback stopped the link may still be ending
  std::lock_guard<std::mutex> lock(mutex_);
  if (running_) return GlError::AlreadyRunning;
  callback_ = std::move(callback);
  origin_ = NowLocked();
  nextIndex_ = 1;
  deliveredIndex_ = 0;
  stopRequested_ = false;
  try {
    thread_ = std::thread(&DisplayLink::Run, this);
    linkThread_ = thread_.get_id();
  } catch (const std::system_error&) {
    callback_ = nullptr;
    return GlError::ThreadStartFailed;
  }
  running_ = true;
  return GlError::None;
}

GlError DisplayLink::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) return GlError::None;
    running_ = false;
    stopRequested_ = true;
  }
  wake_.notify_all();
  delivered_.notify_all();
  if (!OnLinkThread()) JoinEndedThread();
  return GlError::None;
}

void DisplayLink::JoinEndedThread() {
  if (!thread_.joinable() || OnLinkThread()) return;
  thread_.join();
  linkThread_ = std::thread::id();
}

bool DisplayLink::OnLinkThread() const { return std::this_thread::get_id() == linkThread_.load(); }

bool DisplayLink::IsRunning() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

GlError DisplayLink::GetNextOutputTime(DisplayTimeStamp* out) const {
  if (out == nullptr) return GlError::BadArgument;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!running_) return GlError::NotRunning;
  *out = StampOf(FirstIndexAfter(NowLocked()));
  return GlError::None;
}

GlError DisplayLink::AdvanceManualClock(uint64_t nanoseconds) {
  if (timing_ != Timing::Manual) return GlError::WrongMode;
  if (OnLinkThread()) return GlError::CalledFromLinkThread;
  std::unique_lock<std::mutex> lock(mutex_);
  if (nanoseconds > std::numeric_limits<uint64_t>::max() - manualNow_) return GlError::BadArgument;
  const uint64_t target = manualNow_ + nanoseconds;
  // Step from refresh to refresh so that the thread sees each one.
  while (running_ && HostTimeOf(nextIndex_) <= target) {
    const int64_t index = nextIndex_;
    manualNow_ = HostTimeOf(index);
    wake_.notify_all();
    delivered_.wait(lock, [&] { return deliveredIndex_ >= index || (!running_ && !inCallback_); });
  }
  manualNow_ = target;
  return GlError::None;
}

uint64_t DisplayLink::ManualClockTime() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return manualNow_;
}

void DisplayLink::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopRequested_) {
    WaitForRefresh(lock, nextIndex_);
    if (stopRequested_) break;
    // A late wake-up reports the latest refresh that has passed, not a stale one.
    const int64_t index = std::max(nextIndex_, FirstIndexAfter(NowLocked()) - 1);
    const DisplayTimeStamp now = StampOf(index);
    const DisplayTimeStamp output = StampOf(index + 1);
    inCallback_ = true;
    lock.unlock();
    callback_(now, output);
    lock.lock();
    inCallback_ = false;
    deliveredIndex_ = index;
    nextIndex_ = std::max(index + 1, FirstIndexAfter(NowLocked()));
    delivered_.notify_all();
  }
}

void DisplayLink::WaitForRefresh(std::unique_lock<std::mutex>& lock, int64_t index) {
  const uint64_t due = HostTimeOf(index);
  while (!stopRequested_) {
    const uint64_t now = NowLocked();
    if (now >= due) return;
    if (timing_ == Timing::Manual) {
      wake_.wait(lock);
    } else {
      wake_.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::nanoseconds(due - now));
    }
  }
}

uint64_t DisplayLink::NowLocked() const {
  return timing_ == Timing::Manual ? manualNow_ : MonotonicNow();
}

uint64_t DisplayLink::HostTimeOf(int64_t index) const {
  return origin_ + static_cast<uint64_t>(std::llround(static_cast<long double>(index) *
                                                       kNanosecondsPerSecond / refreshRate_));
}

int64_t DisplayLink::FirstIndexAfter(uint64_t hostTime) const {
  if (hostTime < origin_) return 0;
  const long double elapsed = static_cast<long double>(hostTime - origin_);
  auto index = static_cast<int64_t>(std::floor(elapsed * refreshRate_ / kNanosecondsPerSecond));
  // The division may land one refresh off either way; settle it on exact times.
  while (index > 0 && HostTimeOf(index) > hostTime) --index;
  while (HostTimeOf(index) <= hostTime) ++index;
  return index;
}

DisplayTimeStamp DisplayLink::StampOf(int64_t index) const {
  DisplayTimeStamp stamp;
  stamp.version = DisplayTimeStamp::kCurrentVersion;
  stamp.videoTimeScale =
      static_cast<int32_t>(std::llround(refreshRate_ * kVideoUnitsPerRefresh));
  stamp.videoTime = index * kVideoUnitsPerRefresh;
  stamp.hostTime = HostTimeOf(index);
  stamp.rateScalar = 1.0;
  stamp.videoRefreshPeriod = kVideoUnitsPerRefresh;
  stamp.flags = DisplayTimeStamp::kVideoTimeValid | DisplayTimeStamp::kHostTimeValid |
                DisplayTimeStamp::kRateScalarValid | DisplayTimeStamp::kVideoRefreshPeriodValid;
  return stamp;
}

}  // namespace hc::gl
