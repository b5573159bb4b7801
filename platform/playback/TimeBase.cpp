#include "platform/playback/TimeBase.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace hc::playback {

uint64_t TimeBase::MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

TimeBase::TimeBase(int32_t timeScale) : timeScale_(timeScale > 0 ? timeScale : 600) {
  anchorHost_ = MonotonicNanoseconds();
}

TimeBase::~TimeBase() {
  if (master_) master_->RemoveChangeObserver(masterObserver_);
}

void TimeBase::SetHostClock(HostClock clock) {
  std::lock_guard lock(mutex_);
  const uint64_t before = hostClock_ ? hostClock_() : MonotonicNanoseconds();
  anchor_ = PositionLocked(before);
  hostClock_ = std::move(clock);
  anchorHost_ = hostClock_ ? hostClock_() : MonotonicNanoseconds();
}

uint64_t TimeBase::HostNow() const {
  std::lock_guard lock(mutex_);
  return NowLocked();
}

// A slave reads the clock its master runs on.
uint64_t TimeBase::NowLocked() const {
  if (master_) return master_->HostNow();
  return hostClock_ ? hostClock_() : MonotonicNanoseconds();
}

bool TimeBase::UsesMonotonicClock() const {
  std::lock_guard lock(mutex_);
  return !hostClock_ && (!master_ || master_->UsesMonotonicClock());
}

int32_t TimeBase::TimeScale() const {
  std::lock_guard lock(mutex_);
  return timeScale_;
}

bool TimeBase::SetTimeScale(int32_t scale) {
  if (scale <= 0) return false;
  std::lock_guard lock(mutex_);
  timeScale_ = scale;
  return true;
}

int64_t TimeBase::ToScale(double seconds, int32_t scale) {
  if (scale <= 0 || !std::isfinite(seconds)) return 0;
  const double value = std::round(seconds * scale);
  if (value >= 9.2e18) return INT64_MAX;
  if (value <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(value);
}

TimeBase::Position TimeBase::PositionLocked(uint64_t hostTime) const {
  if (master_) {
    Position position = master_->PositionAt(hostTime);
    position.seconds -= masterOffset_;
    return position;
  }
  if (rate_ == 0.0) return anchor_;
  const double elapsed = (static_cast<double>(hostTime) - static_cast<double>(anchorHost_)) / 1e9;
  const double raw = anchor_.seconds + rate_ * elapsed;
  const double span = stop_ - start_;
  if (looping_ && span > 0.0) {
    if (raw >= start_ && raw < stop_) return {anchor_.lap, raw};
    const double laps = std::floor((raw - start_) / span);
    return {anchor_.lap + static_cast<int64_t>(laps), raw - laps * span};
  }
  return {anchor_.lap, std::clamp(raw, start_, std::max(start_, stop_))};
}

void TimeBase::ReanchorLocked(uint64_t hostTime) {
  if (!master_) anchor_ = PositionLocked(hostTime);
  anchorHost_ = hostTime;
}

TimeBase::Position TimeBase::PositionAt(uint64_t hostTime) const {
  std::lock_guard lock(mutex_);
  return PositionLocked(hostTime);
}

TimeBase::Position TimeBase::PositionNow() const {
  std::lock_guard lock(mutex_);
  return PositionLocked(NowLocked());
}

double TimeBase::Seconds() const { return PositionNow().seconds; }

int64_t TimeBase::GetTime(int32_t scale) const { return ToScale(Seconds(), scale); }

void TimeBase::SetTime(int64_t value, int32_t scale) {
  if (scale <= 0) return;
  SetSeconds(static_cast<double>(value) / scale);
}

void TimeBase::SetSeconds(double seconds) {
  if (!std::isfinite(seconds)) return;
  {
    std::lock_guard lock(mutex_);
    const uint64_t now = NowLocked();
    if (master_) {
      masterOffset_ = master_->PositionAt(now).seconds - seconds;
    } else {
      ReanchorLocked(now);
      anchor_.seconds = std::clamp(seconds, start_, std::max(start_, stop_));
    }
    ++generation_;
  }
  Changed(true);
}

int64_t TimeBase::GetStartTime(int32_t scale) const { return ToScale(StartSeconds(), scale); }
int64_t TimeBase::GetStopTime(int32_t scale) const { return ToScale(StopSeconds(), scale); }

double TimeBase::StartSeconds() const {
  std::lock_guard lock(mutex_);
  return start_;
}

double TimeBase::StopSeconds() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

void TimeBase::SetStartTime(int64_t value, int32_t scale) {
  if (scale <= 0) return;
  {
    std::lock_guard lock(mutex_);
    ReanchorLocked(hostClock_ ? hostClock_() : MonotonicNanoseconds());
    start_ = static_cast<double>(value) / scale;
    anchor_.seconds = std::clamp(anchor_.seconds, start_, std::max(start_, stop_));
    ++generation_;
  }
  Changed(true);
}

void TimeBase::SetStopTime(int64_t value, int32_t scale) {
  if (scale <= 0) return;
  {
    std::lock_guard lock(mutex_);
    ReanchorLocked(hostClock_ ? hostClock_() : MonotonicNanoseconds());
    stop_ = static_cast<double>(value) / scale;
    anchor_.seconds = std::clamp(anchor_.seconds, start_, std::max(start_, stop_));
    ++generation_;
  }
  Changed(true);
}

double TimeBase::Rate() const {
  std::lock_guard lock(mutex_);
  return master_ ? master_->Rate() : rate_;
}

void TimeBase::SetRate(double rate) {
  if (!std::isfinite(rate)) return;
  {
    std::lock_guard lock(mutex_);
    ReanchorLocked(hostClock_ ? hostClock_() : MonotonicNanoseconds());
    const int direction = rate > 0.0 ? 1 : (rate < 0.0 ? -1 : 0);
    if (direction != 0 && direction != lastDirection_) {
      lastDirection_ = direction;
      ++generation_;
    }
    rate_ = rate;
  }
  Changed(false);
}

bool TimeBase::IsLooping() const {
  std::lock_guard lock(mutex_);
  return master_ ? master_->IsLooping() : looping_;
}

void TimeBase::SetLooping(bool looping) {
  {
    std::lock_guard lock(mutex_);
    if (looping == looping_) return;
    ReanchorLocked(hostClock_ ? hostClock_() : MonotonicNanoseconds());
    looping_ = looping;
    ++generation_;
  }
  Changed(true);
}

void TimeBase::SetMasterTimeBase(std::shared_ptr<TimeBase> master, int64_t offsetValue,
                                 int32_t offsetScale) {
  if (master.get() == this) return;
  std::shared_ptr<TimeBase> previous;
  int previousObserver = 0;
  {
    std::lock_guard lock(mutex_);
    const Position here = PositionLocked(NowLocked());
    previous = std::move(master_);
    previousObserver = masterObserver_;
    master_.reset();
    anchor_ = here;
    anchorHost_ = NowLocked();
    if (master) {
      master_ = master;
      masterOffset_ = offsetScale > 0 ? static_cast<double>(offsetValue) / offsetScale : 0.0;
    }
    ++generation_;
  }
  if (previous) previous->RemoveChangeObserver(previousObserver);
  if (master) {
    std::weak_ptr<TimeBase> self = weak_from_this();
    const int id = master->AddChangeObserver([self] {
      if (auto slave = self.lock()) slave->OnMasterChanged();
    });
    std::lock_guard lock(mutex_);
    masterObserver_ = id;
  }
  Changed(true);
}

std::shared_ptr<TimeBase> TimeBase::MasterTimeBase() const {
  std::lock_guard lock(mutex_);
  return master_;
}

uint64_t TimeBase::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_ + (master_ ? master_->Generation() : 0);
}

void TimeBase::SetEndCallback(EndCallback callback) {
  std::lock_guard lock(mutex_);
  endCallback_ = std::move(callback);
}

void TimeBase::Update() {
  EndCallback callback;
  bool atEnd = false;
  {
    std::lock_guard lock(mutex_);
    if (master_ || looping_ || rate_ == 0.0) return;
    const uint64_t now = hostClock_ ? hostClock_() : MonotonicNanoseconds();
    const Position position = PositionLocked(now);
    const double stop = std::max(start_, stop_);
    if (rate_ > 0.0 && position.seconds >= stop) {
      atEnd = true;
    } else if (!(rate_ < 0.0 && position.seconds <= start_)) {
      return;
    }
    anchor_ = {position.lap, atEnd ? stop : start_};
    anchorHost_ = now;
    rate_ = 0.0;
    callback = endCallback_;
  }
  Changed(false);
  if (callback) callback(atEnd);
}

int TimeBase::AddChangeObserver(std::function<void()> observer) {
  std::lock_guard lock(mutex_);
  const int id = nextObserverId_++;
  observers_[id] = std::move(observer);
  return id;
}

void TimeBase::RemoveChangeObserver(int id) {
  std::lock_guard lock(mutex_);
  observers_.erase(id);
}

void TimeBase::OnMasterChanged() { Changed(false); }

void TimeBase::Changed(bool /*jumped*/) {
  std::vector<std::function<void()>> snapshot;
  {
    std::lock_guard lock(mutex_);
    snapshot.reserve(observers_.size());
    for (const auto& entry : observers_) snapshot.push_back(entry.second);
  }
  for (const auto& observer : snapshot) observer();
}

}  // namespace hc::playback
