#pragma once

#include <optional>
#include <string>
#include <vector>

// The player's crash reports: files in the crash report folder whose names
// begin with the executable's name. The newest is the one changed last (by
// modification time; the name decides between equal times). A file named
// "*.crash.log" holds several reports, separated by "\n\n**********\n\n";
// the last one is the newest.
class KsCrashReports {
 public:
  static constexpr const char* kSeparator = "\n\n**********\n\n";
  static constexpr const char* kMultipleReportSuffix = ".crash.log";
  // Larger reports are read up to this many bytes from their end.
  static constexpr size_t kMaxReportBytes = 4u << 20;

  // "$XDG_STATE_HOME/HalcyonPlayer/CrashReports" ($XDG_STATE_HOME defaults
  // to ~/.local/state).
  static std::string DefaultFolder();

  KsCrashReports(std::string folder, std::string executableName);

  const std::string& GetFolder() const { return m_folder; }
  // The report file names, newest first; none when the folder can't be listed.
  std::vector<std::string> CrashReportFiles() const;
  bool HasCrashReport() const { return !CrashReportFiles().empty(); }
  // The newest report's modification time in seconds since 1970.
  std::optional<double> NewestReportTime() const;
  // The text of the newest report; none without one.
  std::optional<std::string> LastCrashReport() const;

 private:
  std::string m_folder;
  std::string m_executableName;
};
