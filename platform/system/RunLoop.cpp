#include "platform/system/RunLoop.h"

#include <utility>

namespace hc::system {

using Clock = std::chrono::steady_clock;

// Owns the loop of one thread and closes it when the thread ends.
struct RunLoopThreadSlot {
  std::shared_ptr<RunLoop> loop;
  ~RunLoopThreadSlot() {
    if (loop) loop->Close();
  }
};

namespace {
thread_local RunLoopThreadSlot tSlot;
}  // namespace

std::shared_ptr<RunLoop> RunLoop::Current() {
  if (!tSlot.loop) tSlot.loop = std::shared_ptr<RunLoop>(new RunLoop());
  return tSlot.loop;
}

RunLoop::RunLoop() : m_owner(std::this_thread::get_id()) {}

RunLoop::~RunLoop() = default;

bool RunLoop::Post(Task task) {
  std::function<void()> handler;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_closed || !task) return false;
    m_tasks.push_back(std::move(task));
    handler = m_wakeHandler;
  }
  m_changed.notify_all();
  if (handler) handler();
  return true;
}

void RunLoop::Close() {
  std::deque<Task> dropped;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_closed = true;
    dropped.swap(m_tasks);
    m_wakeHandler = nullptr;
  }
  // The tasks (and whatever they hold) go outside the lock: their
  // destructors may post or close other loops.
}

RunLoop::Task RunLoop::Take(Clock::time_point deadline, bool wait) {
  std::unique_lock<std::mutex> guard(m_lock);
  if (wait && m_tasks.empty()) {
    const unsigned long wakeCount = m_wakeCount;
    m_changed.wait_until(guard, deadline, [&] { return !m_tasks.empty() || m_wakeCount != wakeCount; });
  }
  if (m_tasks.empty()) return {};
  Task task = std::move(m_tasks.front());
  m_tasks.pop_front();
  return task;
}

size_t RunLoop::RunPending() {
  if (!IsCurrent()) return 0;
  size_t queued = PendingCount();
  size_t ran = 0;
  while (ran < queued) {
    Task task = Take(Clock::now(), false);
    if (!task) break;
    task();
    ++ran;
  }
  return ran;
}

size_t RunLoop::RunOnce(Duration timeout) {
  if (!IsCurrent()) return 0;
  Task first = Take(Clock::now() + timeout, true);
  if (!first) return 0;
  first();
  return 1 + RunPending();
}

size_t RunLoop::RunFor(Duration duration) {
  if (!IsCurrent()) return 0;
  const Clock::time_point deadline = Clock::now() + duration;
  size_t ran = 0;
  while (Clock::now() < deadline) {
    Task task = Take(deadline, true);
    if (!task) continue;
    task();
    ++ran;
  }
  return ran;
}

bool RunLoop::RunUntil(const std::function<bool()>& done, Duration timeout) {
  if (!IsCurrent()) return false;
  const Clock::time_point deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    Task task = Take(deadline, true);
    if (task) task();
  }
  return true;
}

void RunLoop::Wake() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_wakeCount;
  }
  m_changed.notify_all();
}

void RunLoop::SetWakeHandler(std::function<void()> handler) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_wakeHandler = std::move(handler);
}

size_t RunLoop::PendingCount() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_tasks.size();
}

}  // namespace hc::system
