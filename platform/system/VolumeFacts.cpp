#include "platform/system/VolumeFacts.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/system/FileErr.h"

namespace hc::system {

namespace fs = std::filesystem;

namespace {

bool HasOption(std::string_view options, std::string_view wanted) {
  while (!options.empty()) {
    const size_t comma = options.find(',');
    if (options.substr(0, comma) == wanted) return true;
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  return false;
}

// The kernel writes space, tab, line break and backslash in these texts as
// a backslash and three octal digits.
std::string DecodeMountText(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const bool octal = text[i] == '\\' && i + 3 < text.size();
    if (octal && text[i + 1] >= '0' && text[i + 1] <= '3' && text[i + 2] >= '0' && text[i + 2] <= '7' &&
        text[i + 3] >= '0' && text[i + 3] <= '7') {
      decoded.push_back(static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
      i += 3;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start < line.size()) {
    const size_t end = line.find(' ', start);
    const size_t stop = end == std::string_view::npos ? line.size() : end;
    if (stop > start) fields.push_back(line.substr(start, stop - start));
    start = stop + 1;
  }
  return fields;
}

bool ParseDeviceNumbers(std::string_view text, uint32_t& major, uint32_t& minor) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const char* end = text.data() + text.size();
  auto [afterMajor, majorErr] = std::from_chars(text.data(), text.data() + colon, major);
  auto [afterMinor, minorErr] = std::from_chars(text.data() + colon + 1, end, minor);
  return majorErr == std::errc() && minorErr == std::errc() && afterMajor == text.data() + colon && afterMinor == end;
}

bool ParseMountLine(std::string_view line, MountEntry& entry) {
  const std::vector<std::string_view> fields = SplitFields(line);
  // id, parent, major:minor, root, mount point, options, optional fields…,
  // "-", type, source, super options.
  size_t separator = 6;
  while (separator < fields.size() && fields[separator] != "-") ++separator;
  if (separator + 2 >= fields.size()) return false;
  if (!ParseDeviceNumbers(fields[2], entry.major, entry.minor)) return false;
  entry.root = DecodeMountText(fields[3]);
  entry.mountPoint = DecodeMountText(fields[4]);
  entry.mountOptions = std::string(fields[5]);
  entry.fsType = DecodeMountText(fields[separator + 1]);
  entry.source = DecodeMountText(fields[separator + 2]);
  entry.superOptions = separator + 3 < fields.size() ? std::string(fields[separator + 3]) : std::string();
  return true;
}

// Reads a whole file of unknown size (kernel files report none) up to the
// limit; kFileErrFileTooBig beyond it.
int ReadBounded(const fs::path& path, size_t limit, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileErrFromErrno(errno);
  text.clear();
  char buffer[4096];
  int result = kFileErrNone;
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result = FileErrFromErrno(errno);
      break;
    }
    if (got == 0) break;
    if (text.size() + static_cast<size_t>(got) > limit) {
      result = kFileErrFileTooBig;
      break;
    }
    text.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return result;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::string Attribute(const fs::path& device, const char* name) {
  std::string text;
  if (ReadBounded(device / name, VolumeFacts::kMaxAttributeBytes, text) != kFileErrNone) return {};
  return Trimmed(text);
}

std::string FirstAttribute(const fs::path& device, const char* name, const char* fallback) {
  std::string text = Attribute(device, name);
  return text.empty() ? Attribute(device, fallback) : text;
}

DeviceChainEntry ReadDeviceEntry(const fs::path& device, std::string subsystem) {
  DeviceChainEntry entry;
  entry.name = device.filename().string();
  entry.subsystem = std::move(subsystem);
  entry.model = FirstAttribute(device, "model", "product");
  entry.revision = FirstAttribute(device, "rev", "firmware_rev");
  entry.vendor = Attribute(device, "vendor");
  // PCI and USB devices give numeric vendor ids here, not names.
  if (entry.vendor.starts_with("0x")) entry.vendor.clear();
  if (entry.subsystem == "usb") entry.serial = Attribute(device, "serial");
  entry.manufacturer = Attribute(device, "manufacturer");
  entry.loopBackingFile = Attribute(device, "loop/backing_file");
  return entry;
}

bool IsBelow(const fs::path& path, const fs::path& top) {
  const std::string& text = path.native();
  const std::string& prefix = top.native();
  return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0 && text[prefix.size()] == '/';
}

bool MountHoldsPath(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return true;
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

bool MountEntry::IsWritable() const { return !HasOption(mountOptions, "ro") && !HasOption(superOptions, "ro"); }

VolumeFacts::VolumeFacts(VolumeFactRoots roots) : m_roots(std::move(roots)) {}

std::vector<MountEntry> VolumeFacts::ParseMountTable(std::string_view text) {
  std::vector<MountEntry> entries;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    MountEntry entry;
    if (ParseMountLine(line, entry)) entries.push_back(std::move(entry));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return entries;
}

int VolumeFacts::ReadMountTable(std::vector<MountEntry>& entries) const {
  std::string text;
  const int err = ReadBounded(m_roots.mountTable, kMaxMountTableBytes, text);
  if (err != kFileErrNone) return err == kFileErrFileTooBig ? err : kFileErrIO;
  entries = ParseMountTable(text);
  return kFileErrNone;
}

int VolumeFacts::FindMountForPath(std::string_view path, MountEntry& mount) const {
  std::error_code error;
  const fs::path resolved = path.empty() ? fs::path() : fs::canonical(fs::path(path), error);
  if (path.empty() || error) return kFileErrNotFound;
  std::vector<MountEntry> entries;
  if (const int err = ReadMountTable(entries); err != kFileErrNone) return err;
  const MountEntry* best = nullptr;
  for (const MountEntry& entry : entries) {
    if (!MountHoldsPath(entry.mountPoint, resolved.native())) continue;
    if (!best || entry.mountPoint.size() >= best->mountPoint.size()) best = &entry;
  }
  if (!best) return kFileErrNotFound;
  mount = *best;
  return kFileErrNone;
}

int VolumeFacts::ReadDeviceChain(uint32_t major, uint32_t minor, std::vector<DeviceChainEntry>& chain) const {
  chain.clear();
  std::error_code error;
  const fs::path sysfs(m_roots.sysfs);
  const fs::path devices = fs::canonical(sysfs / "devices", error);
  if (error) return kFileErrNotFound;
  const std::string link = std::to_string(major) + ":" + std::to_string(minor);
  fs::path device = fs::canonical(sysfs / "dev" / "block" / link, error);
  if (error || !IsBelow(device, devices)) return kFileErrNotFound;
  for (; IsBelow(device, devices) && chain.size() < kMaxChainLength; device = device.parent_path()) {
    // Grouping folders ("block", "virtual", a PCI domain) are no devices.
    const fs::path subsystemLink = fs::read_symlink(device / "subsystem", error);
    if (error) continue;
    chain.push_back(ReadDeviceEntry(device, subsystemLink.filename().string()));
    if (chain.back().subsystem == "pci") break;
  }
  return kFileErrNone;
}

}  // namespace hc::system
