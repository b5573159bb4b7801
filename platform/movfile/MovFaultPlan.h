#pragma once

#include <cstddef>

namespace hc::movfile {

// Lets a test stop a file's writes at a chosen step, as a crash or a full disk
// would. Steps are counted over writes, syncs, truncations and extensions
// from 1; the failing step fails and, while `persistent`, every later one
// fails too, so no clean-up reaches the disk. A failing write lands in part
// when tornWrite is set: the 512-byte sectors it covers before its middle
// land whole, the rest not at all (a write within one sector never lands
// half, as on a disk). A plan that is not persistent fails that one step
// only, as a passing error (a full disk, a network volume's hiccup) would.
struct MovFaultPlan {
  size_t failAtStep = 0;  // 0: never
  bool tornWrite = true;
  bool persistent = true;
};

}  // namespace hc::movfile
