#include "PWPosixCriticalRegion.h"

#include <cerrno>

int PWPosixCriticalRegion::Enter() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock lock(m_mutex);
  m_free.wait(lock, [&] { return m_depth == 0 || m_owner == self; });
  m_owner = self;
  ++m_depth;
  return 0;
}

int PWPosixCriticalRegion::Exit() {
  {
    std::lock_guard lock(m_mutex);
    if (m_depth == 0 || m_owner != std::this_thread::get_id()) return EPERM;
    if (--m_depth > 0) return 0;
    m_owner = std::thread::id();
  }
  m_free.notify_one();
  return 0;
}
