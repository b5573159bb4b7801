#include "KsCrashReports.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct ReportFile {
  std::string name;
  double modified = 0;
};

std::optional<double> ModificationTime(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) / 1e9;
}

std::vector<ReportFile> ReportsNewestFirst(const std::string& folder, const std::string& prefix) {
  std::vector<ReportFile> reports;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0 || !it->is_regular_file(error)) continue;
    if (const std::optional<double> modified = ModificationTime(it->path().string())) {
      reports.push_back(ReportFile{name, *modified});
    }
  }
  std::sort(reports.begin(), reports.end(), [](const ReportFile& a, const ReportFile& b) {
    return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
  });
  return reports;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The file's last `limit` bytes at most.
std::optional<std::string> ReadTail(const std::string& path, size_t limit) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff size = file.tellg();
  if (size < 0) return std::nullopt;
  const std::streamoff start = size > static_cast<std::streamoff>(limit) ? size - static_cast<std::streamoff>(limit) : 0;
  file.seekg(start);
  std::string text(static_cast<size_t>(size - start), '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  return text;
}

}  // namespace

std::string KsCrashReports::DefaultFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::string base = state && state[0] == '/' ? state : "";
  if (base.empty()) {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : "") + "/.local/state";
  }
  return base + "/HalcyonPlayer/CrashReports";
}

KsCrashReports::KsCrashReports(std::string folder, std::string executableName)
    : m_folder(std::move(folder)), m_executableName(std::move(executableName)) {}

std::vector<std::string> KsCrashReports::CrashReportFiles() const {
  std::vector<std::string> names;
  for (ReportFile& report : ReportsNewestFirst(m_folder, m_executableName)) names.push_back(std::move(report.name));
  return names;
}

std::optional<double> KsCrashReports::NewestReportTime() const {
  const std::vector<ReportFile> reports = ReportsNewestFirst(m_folder, m_executableName);
  if (reports.empty()) return std::nullopt;
  return reports.front().modified;
}

std::optional<std::string> KsCrashReports::LastCrashReport() const {
  const std::vector<std::string> files = CrashReportFiles();
  if (files.empty()) return std::nullopt;
  std::optional<std::string> text = ReadTail(m_folder + "/" + files.front(), kMaxReportBytes);
  if (!text || !EndsWith(files.front(), kMultipleReportSuffix)) return text;
  const size_t separator = text->rfind(kSeparator);
  if (separator == std::string::npos) return text;
  return text->substr(separator + std::char_traits<char>::length(kSeparator));
}
