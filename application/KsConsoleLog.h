#pragma once

#include <optional>
#include <string>

// The console log of a feedback report: the entries of the user's journal
// on this machine whose sender (syslog identifier, else the command name)
// holds "org.kestrel" or "Halcyon", oldest first, one line each:
// "<local time> <L<priority>>: <message>". Read through the journal's
// library; no program is run.
class KsConsoleLog {
 public:
  static constexpr const char* kSenderMarks[] = {"org.kestrel", "Halcyon"};
  // Only the newest entries are read.
  static constexpr size_t kMaxEntries = 20000;
  static constexpr size_t kMaxBytes = 8u << 20;

  // None when the journal can't be opened or holds no entry of ours.
  static std::optional<std::string> Read();
  // One line of the log.
  static std::string FormatLine(double secondsSince1970, int priority, const std::string& message);
  static bool IsOurSender(const std::string& sender);
};
