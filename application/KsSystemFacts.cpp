#include "KsSystemFacts.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>
#include <system_error>

#include "platform/foundation/PlistValue.h"
#include "platform/foundation/PlistXml.h"

namespace hf = hc::foundation;

namespace {

std::string Trimmed(std::string text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The value after "key<separator>" on the first line that starts so.
std::string LineValue(const std::string& text, const std::string& key, char separator) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, key.size(), key) != 0) continue;
    const std::string rest = Trimmed(line.substr(key.size()));
    if (rest.empty() || rest[0] != separator) continue;
    return Trimmed(rest.substr(1));
  }
  return "";
}

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

size_t CountLinesStartingWith(const std::string& text, const std::string& start) {
  size_t count = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) count += line.compare(0, start.size(), start) == 0;
  return count;
}

void SetIfKnown(hf::PlistValue& dictionary, const char* key, const std::string& value) {
  if (!value.empty()) dictionary.SetItem(key, hf::PlistValue::FromString(value));
}

}  // namespace

KsSystemFacts::KsSystemFacts(std::string root) : m_root(std::move(root)) {}

std::string KsSystemFacts::UserFullName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return "";
  const std::string gecos = found->pw_gecos ? found->pw_gecos : "";
  const std::string fullName = Trimmed(gecos.substr(0, gecos.find(',')));
  return fullName.empty() ? std::string(found->pw_name ? found->pw_name : "") : fullName;
}

std::string KsSystemFacts::MachineName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

std::string KsSystemFacts::Read(const std::string& relative) const {
  const std::filesystem::path path = std::filesystem::path(m_root) / relative;
  std::ifstream file(path, std::ios::binary);
  if (!file) return "";
  std::string text;
  text.resize(kMaxFactBytes);
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  return text;
}

std::string KsSystemFacts::OsReleaseValue(const std::string& key) const {
  std::string text = Read("etc/os-release");
  if (text.empty()) text = Read("usr/lib/os-release");
  return Unquoted(LineValue(text, key, '='));
}

std::string KsSystemFacts::PlatformDescription() const {
  std::string name = OsReleaseValue("NAME");
  if (name.empty()) name = "Linux";
  const std::string kernel = Trimmed(Read("proc/sys/kernel/osrelease"));
  return name + " " + OsReleaseValue("VERSION_ID") + " (Build " + kernel + ")";
}

std::string KsSystemFacts::SystemProfileXml() const {
  hf::PlistValue profile = hf::PlistValue::NewDictionary();
  SetIfKnown(profile, "SystemName", OsReleaseValue("PRETTY_NAME"));
  SetIfKnown(profile, "KernelRelease", Trimmed(Read("proc/sys/kernel/osrelease")));
  SetIfKnown(profile, "KernelVersion", Trimmed(Read("proc/sys/kernel/version")));
  const std::string cpuInfo = Read("proc/cpuinfo");
  SetIfKnown(profile, "ProcessorName", LineValue(cpuInfo, "model name", ':'));
  if (const size_t processors = CountLinesStartingWith(cpuInfo, "processor")) {
    profile.SetItem("ProcessorCount", hf::PlistValue::FromInteger(static_cast<int64_t>(processors)));
  }
  SetIfKnown(profile, "Memory", LineValue(Read("proc/meminfo"), "MemTotal", ':'));
  SetIfKnown(profile, "MachineVendor", Trimmed(Read("sys/class/dmi/id/sys_vendor")));
  SetIfKnown(profile, "MachineModel", Trimmed(Read("sys/class/dmi/id/product_name")));
  std::error_code error;
  hf::PlistValue graphics = hf::PlistValue::NewArray();
  for (std::filesystem::directory_iterator it(std::filesystem::path(m_root) / "sys/class/drm", error), end;
       !error && it != end; it.increment(error)) {
    const std::string card = it->path().filename().string();
    if (card.rfind("card", 0) != 0 || card.find('-') != std::string::npos) continue;
    const std::string base = "sys/class/drm/" + card + "/device/";
    graphics.Append(hf::PlistValue::FromString(card + " " + Trimmed(Read(base + "vendor")) + ":" +
                                               Trimmed(Read(base + "device"))));
  }
  profile.SetItem("Graphics", std::move(graphics));
  std::string xml;
  hf::PlistXml::Write(profile, &xml);
  return xml;
}
