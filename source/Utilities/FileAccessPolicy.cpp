#include "Utilities/FileAccessPolicy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "KsTrace.h"

namespace {

thread_local const FileAccessPolicy* t_currentPolicy = nullptr;

// The path with every symbolic link followed; empty when it doesn't exist.
std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
}

// Whether the path is the folder or lies below it (both real paths).
bool IsInside(std::string_view path, std::string_view folder) {
  if (path.size() < folder.size() || path.substr(0, folder.size()) != folder) return false;
  if (path.size() == folder.size() || folder == "/") return true;
  return path[folder.size()] == '/';
}

// The real path of what an open descriptor refers to: the file actually
// read, whatever was swapped in under its name meanwhile.
std::string RealPathOfDescriptor(int descriptor) {
  const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<size_t>(length));
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
  ~Descriptor() {
    if (m_descriptor >= 0) ::close(m_descriptor);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_descriptor; }

 private:
  int m_descriptor;
};

eAppErr Refuse(const char* why, const PWStringRef& path) {
  KS_TRACE(KsTrace::kWarning, "Not reading \"%@\": %s", path, why);
  return KS_TRACE_ERR(AppErr::kBadArgument, "ReadFile");
}

}  // namespace

FileAccessPolicy FileAccessPolicy::InsideFolders(const std::vector<std::string>& folders) {
  FileAccessPolicy policy;
  policy.m_restricted = true;
  for (const std::string& folder : folders) {
    std::string real = folder.empty() ? std::string() : RealPath(folder);
    if (!real.empty()) policy.m_folders.push_back(std::move(real));
  }
  return policy;
}

bool FileAccessPolicy::Covers(const std::string& folder) const {
  if (!m_restricted) return true;
  for (const std::string& mine : m_folders) {
    if (IsInside(folder, mine)) return true;
  }
  return false;
}

FileAccessPolicy FileAccessPolicy::NarrowedBy(const FileAccessPolicy& other) const {
  if (!other.m_restricted) return *this;
  if (!m_restricted) return other;
  // Folder trees meet only where one lies inside the other: the deeper one
  // is what both allow.
  FileAccessPolicy both;
  both.m_restricted = true;
  for (const std::string& folder : m_folders) {
    if (other.Covers(folder)) both.m_folders.push_back(folder);
  }
  for (const std::string& folder : other.m_folders) {
    if (Covers(folder) && !both.Covers(folder)) both.m_folders.push_back(folder);
  }
  return both;
}

bool FileAccessPolicy::Allows(const std::string& realPath) const {
  return !realPath.empty() && Covers(realPath);
}

eAppErr FileAccessPolicy::ReadFile(const PWStringRef& path, std::string* contents) const {
  if (!contents) return KS_TRACE_ERR(AppErr::kBadArgument, "ReadFile");
  if (path.IsNull() || path.IsEmpty()) return KS_TRACE_ERR(AppErr::kBadArgument, "ReadFile");
  std::string name = path.Str();
  if (m_restricted && name.front() != '/') {
    if (m_folders.empty()) return Refuse("no folder may be read", path);
    name = m_folders.front() + "/" + name;
  }
  // Looked at before opening, so that no device or pipe is ever opened.
  struct stat facts {};
  if (::stat(name.c_str(), &facts) != 0) return Refuse("no such file", path);
  if (!S_ISREG(facts.st_mode)) return Refuse("not a regular file", path);
  Descriptor file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Get() < 0) return Refuse("can't be opened", path);
  // And again once open: the name may have been swapped meanwhile.
  if (::fstat(file.Get(), &facts) != 0 || !S_ISREG(facts.st_mode)) return Refuse("not a regular file", path);
  if (static_cast<uint64_t>(facts.st_size) > kMaxFileBytes) return Refuse("larger than the limit", path);
  if (m_restricted && !Allows(RealPathOfDescriptor(file.Get()))) return Refuse("outside the allowed folders", path);

  std::string bytes;
  bytes.reserve(static_cast<size_t>(facts.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refuse("read failed", path);
    if (got == 0) break;
    // The file may have grown since it was looked at.
    if (bytes.size() + static_cast<size_t>(got) > kMaxFileBytes) return Refuse("larger than the limit", path);
    bytes.append(chunk, static_cast<size_t>(got));
  }
  *contents = std::move(bytes);
  return AppErr::kNoErr;
}

eAppErr FileAccessPolicy::ReadText(const PWStringRef& path, PWStringRef* text) const {
  if (!text) return KS_TRACE_ERR(AppErr::kBadArgument, "ReadText");
  std::string bytes;
  const eAppErr err = ReadFile(path, &bytes);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ReadText");
  PWStringRef decoded = bytes.empty() ? PWStringRef("") :
                                        PWStringCreateWithBytes(bytes.data(), PWStringEncoding::kUTF8, bytes.size());
  if (decoded.IsNull()) return Refuse("not UTF-8 text", path);
  *text = decoded;
  return AppErr::kNoErr;
}

FileAccessPolicy FileAccessPolicy::Current() {
  return t_currentPolicy ? *t_currentPolicy : FileAccessPolicy();
}

FileAccessPolicy::Scope::Scope(const FileAccessPolicy& policy)
    : m_previous(t_currentPolicy), m_policy(Current().NarrowedBy(policy)) {
  t_currentPolicy = &m_policy;
}

FileAccessPolicy::Scope::~Scope() { t_currentPolicy = m_previous; }
