#pragma once

// What the file-operation suite records of the statuses it is delivered.

#include <chrono>
#include <vector>

#include "FileTestSupport.h"
#include "platform/system/FileOperation.h"

// Every status one operation delivered, with when it came.
struct DeliveredStatus {
  hc::system::FileOperationStatus status;
  std::chrono::steady_clock::time_point time;
};

// Makes the callback that records into `log`.
hc::system::FileOperation::StatusCallback Recorder(std::vector<DeliveredStatus>& log);
// Runs this thread's loop until the log ends with a completion (or 60 s),
// then a little longer to catch anything after it.
void RunUntilComplete(const std::vector<DeliveredStatus>& log);
