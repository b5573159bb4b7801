#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "NSWorkspace_QzAdditions.h"

// The player refuses to start from a mounted disk image whose volume can't
// be written (a copy on a writable image starts normally): it shows an alert
// and exits with a failure status before anything else of launching runs.
class DiskImageLaunchCheck {
 public:
  static constexpr int kRefusalExitStatus = 1;
  static constexpr const char* kMessageFormat =
      "%@ can not be run from within a mounted disk-image. Please copy the application to your Applications "
      "directory.";
  static constexpr const char* kButton = "OK";

  struct Alert {
    std::string title;
    std::string message;
    std::string button;
  };
  // English text in, the user's language out (the English text is the key).
  using Localizer = std::function<std::string(std::string_view)>;
  using AlertPresenter = std::function<void(const Alert&)>;

  explicit DiskImageLaunchCheck(const NSWorkspace_QzAdditions& workspace) : m_workspace(workspace) {}

  // False when the application lies within a disk image whose volume is not
  // reported writable or whose file-system information can't be read.
  bool MayLaunchFrom(std::string_view applicationPath) const;

  // The alert naming the process in its title and message.
  static Alert RefusalAlert(std::string_view processName, const Localizer& localize);

  // Checks the application's path; when it may not launch, presents the
  // alert and ends the process with kRefusalExitStatus.
  void RefuseUnlessLaunchable(std::string_view applicationPath, std::string_view processName,
                              const Localizer& localize, const AlertPresenter& present) const;

 private:
  const NSWorkspace_QzAdditions& m_workspace;
};
