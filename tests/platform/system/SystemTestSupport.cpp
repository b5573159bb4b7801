#include "SystemTestSupport.h"

#include "platform/system/RunLoop.h"

hc::system::FileOperation::StatusCallback Recorder(std::vector<DeliveredStatus>& log) {
  return [&log](const hc::system::FileOperationStatus& status) {
    log.push_back({status, std::chrono::steady_clock::now()});
  };
}

void RunUntilComplete(const std::vector<DeliveredStatus>& log) {
  auto loop = hc::system::RunLoop::Current();
  loop->RunUntil(
      [&] { return !log.empty() && log.back().status.stage == hc::system::FileOperationStage::kComplete; },
      std::chrono::seconds(60));
  loop->RunFor(std::chrono::milliseconds(250));
}
