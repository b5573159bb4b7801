#pragma once

#include <string>

// Facts about the user, the machine and the system for a feedback report,
// read from the user database, /etc/os-release, /proc and /sys (below
// `root`, "/" on a running system) without running any program.
class KsSystemFacts {
 public:
  // Larger files are not read.
  static constexpr size_t kMaxFactBytes = 1u << 20;

  explicit KsSystemFacts(std::string root = "/");

  // The user's full name from the user database, else the login name.
  static std::string UserFullName();
  static std::string MachineName();
  // "<NAME> <VERSION_ID> (Build <kernel release>)".
  std::string PlatformDescription() const;
  // The system profile: a property list (XML) of the system, kernel,
  // processor, memory, machine and graphics facts found.
  std::string SystemProfileXml() const;

 private:
  std::string Read(const std::string& relative) const;
  std::string OsReleaseValue(const std::string& key) const;

  std::string m_root;
};
