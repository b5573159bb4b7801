#pragma once

#include <atomic>
#include <thread>

// A small lock word for very short critical sections (a pointer swap, a map
// lookup). Spins briefly, then yields so a preempted holder can finish.
class KsSpinLock {
 public:
  void Lock() {
    for (int spins = 0; m_word.exchange(true, std::memory_order_acquire); ++spins) {
      if (spins > 64) std::this_thread::yield();
    }
  }
  void Unlock() { m_word.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> m_word{false};
};

class KsSpinLockGuard {
 public:
  explicit KsSpinLockGuard(KsSpinLock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~KsSpinLockGuard() { m_lock.Unlock(); }
  KsSpinLockGuard(const KsSpinLockGuard&) = delete;
  KsSpinLockGuard& operator=(const KsSpinLockGuard&) = delete;

 private:
  KsSpinLock& m_lock;
};
