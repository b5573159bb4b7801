#include "DiskImageLaunchCheck.h"

#include <cstdlib>

#include "KsTrace.h"

namespace {

std::string Localized(const DiskImageLaunchCheck::Localizer& localize, std::string_view text) {
  return localize ? localize(text) : std::string(text);
}

}  // namespace

bool DiskImageLaunchCheck::MayLaunchFrom(std::string_view applicationPath) const {
  if (!m_workspace.PathIsWithinDiskImage(applicationPath)) return true;
  const hc::foundation::PlistValue properties = m_workspace.PropertiesForPath(applicationPath);
  const hc::foundation::PlistValue* mountPoint = properties.GetItem(NSWorkspace_QzAdditions::kMountOnNameKey);
  const std::string* mountPath = mountPoint ? mountPoint->AsString() : nullptr;
  bool writable = false;
  return mountPath && m_workspace.GetFileSystemInfoForPath(*mountPath, &writable) && writable;
}

DiskImageLaunchCheck::Alert DiskImageLaunchCheck::RefusalAlert(std::string_view processName,
                                                               const Localizer& localize) {
  Alert alert;
  alert.title = Localized(localize, processName);
  std::string message = Localized(localize, kMessageFormat);
  if (const size_t placeholder = message.find("%@"); placeholder != std::string::npos) {
    message.replace(placeholder, 2, processName);
  }
  alert.message = std::move(message);
  alert.button = Localized(localize, kButton);
  return alert;
}

void DiskImageLaunchCheck::RefuseUnlessLaunchable(std::string_view applicationPath, std::string_view processName,
                                                  const Localizer& localize, const AlertPresenter& present) const {
  if (MayLaunchFrom(applicationPath)) return;
  KS_TRACE(KsTrace::kError, "Refusing to run from the disk image holding %s", std::string(applicationPath));
  if (present) present(RefusalAlert(processName, localize));
  std::exit(kRefusalExitStatus);
}
