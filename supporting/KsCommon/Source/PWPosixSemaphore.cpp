#include "PWPosixSemaphore.h"

#include <algorithm>

bool PWPosixSemaphore::Signal(int count) {
  if (count <= 0) return true;
  int added;
  {
    std::lock_guard lock(m_mutex);
    added = std::min(count, kMaxCount - m_count);
    m_count += added;
  }
  if (added == 1) {
    m_available.notify_one();
  } else if (added > 1) {
    m_available.notify_all();
  }
  return true;
}

bool PWPosixSemaphore::Wait() {
  std::unique_lock lock(m_mutex);
  m_available.wait(lock, [this] { return m_count > 0; });
  --m_count;
  return true;
}
