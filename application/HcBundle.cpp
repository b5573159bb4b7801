#include "HcBundle.h"

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "KsTrace.h"
#include "platform/foundation/PlistXml.h"
#include "platform/runtime/ClassRegistry.h"

namespace fs = std::filesystem;
namespace hf = hc::foundation;

namespace {

constexpr eAppErr kUnreadableBundle = -630;

// A plain file name: no folder part, and not "." or "..".
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::string InfoString(const hf::PlistValue& dictionary, const char* key) {
  const hf::PlistValue* item = dictionary.GetItem(key);
  return item && item->AsString() ? *item->AsString() : std::string();
}

bool ReadSmallFile(const fs::path& path, size_t limit, std::string& text) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || fs::file_size(path, error) > limit || error) return false;
  std::ifstream file(path, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad() && text.size() <= limit;
}

}  // namespace

eAppErr HcBundle::Open(std::string_view path, HcBundle* bundle) {
  if (!bundle || path.empty()) return KS_TRACE_ERR(AppErr::kBadArgument, "Open");
  std::error_code error;
  const fs::path folder(path);
  if (!fs::is_directory(folder, error)) return KS_TRACE_ERR(AppErr::kNotFound, "Open");
  std::string text;
  if (!ReadSmallFile(folder / "Info.plist", kMaxInfoBytes, text)) return KS_TRACE_ERR(AppErr::kNotFound, "Open");
  hf::PlistValue info;
  if (hf::FoundationFailed(hf::PlistXml::Read(text, &info)) || !info.AsDictionary()) {
    return KS_TRACE_ERR(kUnreadableBundle, "Open");
  }
  const std::string executable = InfoString(info, "CFBundleExecutable");
  if (!IsPlainName(executable)) return KS_TRACE_ERR(kUnreadableBundle, "Open");
  bundle->m_path = std::string(path);
  bundle->m_executable = executable;
  bundle->m_principalClass = InfoString(info, "NSPrincipalClass");
  bundle->m_library = nullptr;
  return AppErr::kNoErr;
}

eAppErr HcBundle::Load() {
  if (m_library) return AppErr::kNoErr;
  if (m_executable.empty()) return KS_TRACE_ERR(AppErr::kNotReady, "Load");
  const std::string library = (fs::path(m_path) / m_executable).string();
  m_library = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_library) {
    const char* reason = dlerror();
    KS_TRACE(KsTrace::kError, "Error loading bundle %s: %s", library, reason ? reason : "unknown");
    return KS_TRACE_ERR(kUnreadableBundle, "Load");
  }
  return AppErr::kNoErr;
}

hc::runtime::Class* HcBundle::GetPrincipalClass() const {
  if (!m_library || m_principalClass.empty()) return nullptr;
  return hc::runtime::LookUpClass(m_principalClass);
}

std::string HcBundle::PathForResource(std::string_view name, std::string_view type) const {
  const std::string file = std::string(name) + "." + std::string(type);
  if (m_path.empty() || !IsPlainName(name) || !IsPlainName(file)) return {};
  const fs::path resource = fs::path(m_path) / "Resources" / file;
  std::error_code error;
  return fs::is_regular_file(resource, error) ? resource.string() : std::string();
}
