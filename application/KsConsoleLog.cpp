#include "KsConsoleLog.h"

#include <systemd/sd-journal.h>

#include <cstring>
#include <ctime>
#include <deque>

#include "KsTrace.h"

namespace {

// A field's value ("FIELD=value" in the journal); "" when the entry lacks it.
std::string Field(sd_journal* journal, const char* name) {
  const void* data = nullptr;
  size_t length = 0;
  if (sd_journal_get_data(journal, name, &data, &length) < 0) return "";
  const std::string text(static_cast<const char*>(data), length);
  const size_t equals = text.find('=');
  return equals == std::string::npos ? "" : text.substr(equals + 1);
}

}  // namespace

std::string KsConsoleLog::FormatLine(double secondsSince1970, int priority, const std::string& message) {
  const auto seconds = static_cast<time_t>(secondsSince1970);
  tm local{};
  localtime_r(&seconds, &local);
  char stamp[64] = {};
  strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(stamp) + " <L" + std::to_string(priority) + ">: " + message;
}

bool KsConsoleLog::IsOurSender(const std::string& sender) {
  for (const char* mark : kSenderMarks) {
    if (sender.find(mark) != std::string::npos) return true;
  }
  return false;
}

std::optional<std::string> KsConsoleLog::Read() {
  sd_journal* journal = nullptr;
  if (sd_journal_open(&journal, SD_JOURNAL_LOCAL_ONLY | SD_JOURNAL_CURRENT_USER) < 0) {
    KS_TRACE(KsTrace::kWarning, "The journal could not be opened");
    return std::nullopt;
  }
  std::deque<std::string> lines;
  size_t bytes = 0;
  size_t visited = 0;
  // Newest first, so that the limits keep the latest entries.
  sd_journal_seek_tail(journal);
  while (visited < kMaxEntries && bytes < kMaxBytes && sd_journal_previous(journal) > 0) {
    ++visited;
    std::string sender = Field(journal, "SYSLOG_IDENTIFIER");
    if (sender.empty()) sender = Field(journal, "_COMM");
    if (!IsOurSender(sender)) continue;
    uint64_t microseconds = 0;
    sd_journal_get_realtime_usec(journal, &microseconds);
    const std::string priority = Field(journal, "PRIORITY");
    const int level = priority.size() == 1 && priority[0] >= '0' && priority[0] <= '7' ? priority[0] - '0' : 6;
    lines.push_front(FormatLine(static_cast<double>(microseconds) / 1e6, level, Field(journal, "MESSAGE")));
    bytes += lines.front().size() + 1;
  }
  sd_journal_close(journal);
  if (lines.empty()) return std::nullopt;
  std::string log;
  log.reserve(bytes);
  for (const std::string& line : lines) log += line + "\n";
  return log;
}
