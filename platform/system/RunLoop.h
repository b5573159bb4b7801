#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace hc::system {

// A queue of work for one thread. Any thread may post; only the owning thread
// runs what was posted, in posting order, when it runs the loop. Each thread
// gets its own loop on first request; the loop closes when its thread ends,
// dropping what is still queued and refusing later posts. The application
// shell drives the main thread's loop from its event loop (see
// SetWakeHandler); other threads run theirs for a time or until a condition.
class RunLoop {
 public:
  using Task = std::function<void()>;
  using Duration = std::chrono::steady_clock::duration;

  // The calling thread's loop, made on first request.
  static std::shared_ptr<RunLoop> Current();

  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  // Queues the task (any thread). False, and the task dropped, when the loop
  // is closed.
  bool Post(Task task);

  // The following run tasks on the calling thread, which must own the loop;
  // on another thread they run nothing and answer 0 (or false).

  // Runs the tasks queued now (tasks they post wait for the next run).
  size_t RunPending();
  // Waits up to the timeout for work, then runs what is queued; returns
  // early when woken.
  size_t RunOnce(Duration timeout);
  // Runs tasks as they arrive until the time has passed.
  size_t RunFor(Duration duration);
  // Runs tasks until `done` answers true (asked first, after each task and
  // when woken) or the time-out passes; answers `done`'s last answer.
  bool RunUntil(const std::function<bool()>& done, Duration timeout);

  // Makes a waiting run look at its condition again (any thread).
  void Wake();

  // Called on the posting thread each time a task is queued, so an outside
  // event loop can arrange for RunPending on the owning thread. Empty: none.
  void SetWakeHandler(std::function<void()> handler);

  bool IsCurrent() const { return std::this_thread::get_id() == m_owner; }
  size_t PendingCount() const;

 private:
  RunLoop();
  friend struct RunLoopThreadSlot;
  void Close();
  // Takes the next task, waiting until the deadline; empty when none came.
  Task Take(std::chrono::steady_clock::time_point deadline, bool wait);

  const std::thread::id m_owner;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  std::deque<Task> m_tasks;
  std::function<void()> m_wakeHandler;
  unsigned long m_wakeCount = 0;
  bool m_closed = false;
};

}  // namespace hc::system
