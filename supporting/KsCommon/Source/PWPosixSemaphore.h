#pragma once

#include <condition_variable>
#include <mutex>

#include "PWSemaphore.h"

// The semaphore over a mutex and a condition variable.
class PWPosixSemaphore : public PWSemaphore {
 public:
  PWPosixSemaphore() = default;
  ~PWPosixSemaphore() override = default;

  bool Signal(int count) override;
  bool Wait() override;

 private:
  std::mutex m_mutex;
  std::condition_variable m_available;
  int m_count = 0;
};
