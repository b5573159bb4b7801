#include "platform/runtime/MainThreadQueue.h"

#include <deque>
#include <mutex>
#include <thread>

#include "platform/runtime/MessageSend.h"

namespace hc::runtime {

namespace {

struct QueueState {
  std::mutex lock;
  std::deque<MainThreadQueue::Task> tasks;
  std::function<void()> wake;
  std::thread::id mainThread;
  bool mainThreadSet = false;
};

QueueState& State() {
  static QueueState* state = new QueueState();
  return *state;
}

}  // namespace

void MainThreadQueue::MarkMainThread() {
  QueueState& state = State();
  std::lock_guard guard(state.lock);
  state.mainThread = std::this_thread::get_id();
  state.mainThreadSet = true;
}

bool MainThreadQueue::IsMainThread() {
  QueueState& state = State();
  std::lock_guard guard(state.lock);
  return state.mainThreadSet && state.mainThread == std::this_thread::get_id();
}

void MainThreadQueue::Post(Task task) {
  QueueState& state = State();
  std::function<void()> wake;
  {
    std::lock_guard guard(state.lock);
    state.tasks.push_back(std::move(task));
    wake = state.wake;
  }
  if (wake) wake();
}

size_t MainThreadQueue::Drain() {
  QueueState& state = State();
  size_t ran = 0;
  for (;;) {
    Task task;
    {
      std::lock_guard guard(state.lock);
      if (!state.mainThreadSet) {
        state.mainThread = std::this_thread::get_id();
        state.mainThreadSet = true;
      }
      if (state.mainThread != std::this_thread::get_id() || state.tasks.empty()) return ran;
      task = std::move(state.tasks.front());
      state.tasks.pop_front();
    }
    task();
    ++ran;
  }
}

size_t MainThreadQueue::GetPendingCount() {
  QueueState& state = State();
  std::lock_guard guard(state.lock);
  return state.tasks.size();
}

void MainThreadQueue::SetWakeHandler(std::function<void()> wake) {
  QueueState& state = State();
  std::lock_guard guard(state.lock);
  state.wake = std::move(wake);
}

void PerformOnMainThread(Id target, Selector selector, Value argument) {
  MainThreadQueue::Post([target = ObjectRef(target), selector, argument = std::move(argument)]() {
    const Value arguments[] = {argument};
    Send(target.Get(), selector, arguments, nullptr);
  });
}

}  // namespace hc::runtime
