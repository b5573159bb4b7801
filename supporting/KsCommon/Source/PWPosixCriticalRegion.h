#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "PWCriticalRegion.h"

// The critical region over a mutex and a condition variable, with an owner
// and an entry depth so the owner may enter again.
class PWPosixCriticalRegion : public PWCriticalRegion {
 public:
  PWPosixCriticalRegion() = default;
  ~PWPosixCriticalRegion() override = default;

  int Enter() override;
  int Exit() override;

 private:
  std::mutex m_mutex;
  std::condition_variable m_free;
  std::thread::id m_owner;
  unsigned m_depth = 0;
};
