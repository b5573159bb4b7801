#include "InterfaceCommon/StatusReport.h"

eAppErr StatusReport::SetStatus(eAppErr status) {
  m_status.store(status, std::memory_order_release);
  return AppErr::kNoErr;
}

PWStringRef StatusReport::GetDescription() const {
  std::lock_guard<std::mutex> guard(m_descriptionLock);
  return m_description;
}

eAppErr StatusReport::SetDescription(const PWStringRef& description) {
  DidChangeCaller change(this, kDescriptionId);
  std::lock_guard<std::mutex> guard(m_descriptionLock);
  m_description = description;
  return AppErr::kNoErr;
}
