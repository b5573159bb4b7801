#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace hc::playback {

// Movie time as a function of host time: time = anchor time + rate x (host
// time - anchor host time), kept between a start and a stop time. At an end
// the time base either stops there (rate 0, then the end callback) or, when
// looping, wraps to the other end and counts the lap. A time base with a
// master follows the master's time less an offset, and the master's rate.
//
// Host time is nanoseconds of the monotonic clock unless a host clock is set
// (tests and benchmarks drive it by hand). Hold time bases by shared_ptr:
// a slave follows its master through a weak link. Every call is thread-safe;
// callbacks run on the thread that made the change or called Update, after
// the time base's lock is released.
class TimeBase : public std::enable_shared_from_this<TimeBase> {
 public:
  using HostClock = std::function<uint64_t()>;
  // atEnd: true at the stop time (playing forwards), false at the start time.
  using EndCallback = std::function<void(bool atEnd)>;

  // Where the time base is: the lap (changes by one at each wrap of a looping
  // time base, down when playing backwards) and the time in seconds.
  struct Position {
    int64_t lap = 0;
    double seconds = 0.0;
  };

  static uint64_t MonotonicNanoseconds();

  explicit TimeBase(int32_t timeScale = 600);
  TimeBase(const TimeBase&) = delete;
  TimeBase& operator=(const TimeBase&) = delete;
  ~TimeBase();

  void SetHostClock(HostClock clock);
  uint64_t HostNow() const;
  bool UsesMonotonicClock() const;

  int32_t TimeScale() const;
  // Keeps the current time; scales of 0 or less are refused.
  bool SetTimeScale(int32_t scale);

  // Times in the asked scale (rounded to nearest); a scale of 0 or less reads 0.
  int64_t GetTime(int32_t scale) const;
  void SetTime(int64_t value, int32_t scale);
  double Seconds() const;
  void SetSeconds(double seconds);
  Position PositionNow() const;
  Position PositionAt(uint64_t hostTime) const;

  int64_t GetStartTime(int32_t scale) const;
  void SetStartTime(int64_t value, int32_t scale);
  int64_t GetStopTime(int32_t scale) const;
  void SetStopTime(int64_t value, int32_t scale);
  double StartSeconds() const;
  double StopSeconds() const;

  // The rate the time base runs at: its own, or its master's.
  double Rate() const;
  void SetRate(double rate);
  bool IsLooping() const;
  void SetLooping(bool looping);

  // offset: the master's time (in the offset's scale) at which this time base
  // reads 0. A null master frees the time base at its current time.
  void SetMasterTimeBase(std::shared_ptr<TimeBase> master, int64_t offsetValue, int32_t offsetScale);
  std::shared_ptr<TimeBase> MasterTimeBase() const;

  // Changes when the time jumps (set, rewound, range changed) or the
  // direction of play reverses, so that readers ahead of the time start over.
  uint64_t Generation() const;

  void SetEndCallback(EndCallback callback);
  // Stops a non-looping time base that ran past an end and calls the end
  // callback. Reading the time never changes state; this does.
  void Update();

  // Called after every change of time, rate, range or looping (and those of
  // the master), with the lock released. Returns an id for removal.
  int AddChangeObserver(std::function<void()> observer);
  void RemoveChangeObserver(int id);

 private:
  Position PositionLocked(uint64_t hostTime) const;
  uint64_t NowLocked() const;
  void ReanchorLocked(uint64_t hostTime);
  void Changed(bool jumped);
  void OnMasterChanged();
  static int64_t ToScale(double seconds, int32_t scale);

  mutable std::mutex mutex_;
  HostClock hostClock_;
  int32_t timeScale_;
  uint64_t anchorHost_ = 0;
  Position anchor_;
  double rate_ = 0.0;
  double start_ = 0.0;
  double stop_ = 0.0;
  bool looping_ = false;
  int lastDirection_ = 1;
  uint64_t generation_ = 1;
  std::shared_ptr<TimeBase> master_;
  int masterObserver_ = 0;
  double masterOffset_ = 0.0;
  EndCallback endCallback_;
  std::map<int, std::function<void()>> observers_;
  int nextObserverId_ = 1;
};

}  // namespace hc::playback
