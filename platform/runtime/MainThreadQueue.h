#pragma once

#include <cstddef>
#include <functional>

#include "platform/runtime/Object.h"
#include "platform/runtime/Selector.h"
#include "platform/runtime/Value.h"

namespace hc::runtime {

// Work posted from any thread to run later on the main thread. The shell
// installs a wake handler that schedules a Drain on its event loop; tests
// call Drain themselves. Posting never waits.
class MainThreadQueue {
 public:
  using Task = std::function<void()>;

  // Makes the calling thread the main thread (the first Drain does so when
  // nobody did).
  static void MarkMainThread();
  static bool IsMainThread();
  static void Post(Task task);
  // Runs every task posted so far and those they post, in order; only on
  // the main thread (elsewhere nothing runs). Answers how many ran.
  static size_t Drain();
  static size_t GetPendingCount();
  // Called (on the posting thread) after each post; null removes it.
  static void SetWakeHandler(std::function<void()> wake);
};

// Sends the selector with one argument to the target on the main thread,
// keeping both until then.
void PerformOnMainThread(Id target, Selector selector, Value argument);

}  // namespace hc::runtime
