#pragma once

#include <cstddef>

namespace hc::movfile {

// Lets a test stop a file's writes at a chosen step, as a crash or a full disk
// would. Steps are counted over writes, syncs and truncations from 1; the
// failing step fails (a write lands half when tornWrite is set) and every
// later one fails too, so no clean-up reaches the disk.
struct MovFaultPlan {
  size_t failAtStep = 0;  // 0: never
  bool tornWrite = true;
};

}  // namespace hc::movfile
