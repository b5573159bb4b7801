#include "KsTrace.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <utility>
#include <vector>

namespace {

using LevelMap = std::map<PWStringRef, KsTrace::TraceLevel, PWStringLessNoCase>;

struct TraceState {
  // Settings: written at start-up (and by tests), read by every trace call.
  std::shared_mutex settingsMutex;
  std::optional<LevelMap> levels;
  bool defaultVerbose = false;

  // Output: one line at a time, so lines from several threads never mix.
  std::mutex outputMutex;
  int traceFile = -1;
  std::function<void(const std::string&)> sink;
};

// Never destroyed, so threads that trace while the process exits stay safe.
TraceState& State() {
  static TraceState* const state = new TraceState;
  return *state;
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
}

KsTrace::TraceLevel LevelOf(std::string_view category) {
  TraceState& state = State();
  std::shared_lock lock(state.settingsMutex);
  if (state.levels) {
    if (const auto found = state.levels->find(category); found != state.levels->end()) return found->second;
  }
  return state.defaultVerbose ? KsTrace::kVerbose : KsTrace::kNone;
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kWhitespace = " \t\r\n";
  const size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

// Reads an integer as the C "%i" conversion does: an optional sign, then
// hexadecimal after "0x", octal after a leading 0, decimal otherwise. Only a
// leading number counts; text without one gives nothing.
std::optional<long long> ParseInteger(std::string_view text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  int base = 10;
  if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    const size_t afterPrefix = pos + 2;
    if (afterPrefix < text.size() && std::isxdigit(static_cast<unsigned char>(text[afterPrefix]))) {
      base = 16;
      pos = afterPrefix;
    }
  } else if (pos < text.size() && text[pos] == '0') {
    base = 8;
  }
  long long value = 0;
  size_t digits = 0;
  for (; pos < text.size(); ++pos, ++digits) {
    const char c = text[pos];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    if (digit >= base) break;
    value = std::min(value * base + digit, 1LL << 40);
  }
  if (digits == 0) return std::nullopt;
  return negative ? -value : value;
}

std::optional<KsTrace::TraceLevel> ParseLevel(std::string_view text) {
  static constexpr std::pair<std::string_view, KsTrace::TraceLevel> kNames[] = {
      {"None", KsTrace::kNone},       {"Unexpected", KsTrace::kUnexpected}, {"Error", KsTrace::kError},
      {"Warning", KsTrace::kWarning}, {"Verbose", KsTrace::kVerbose},
  };
  for (const auto& [name, level] : kNames) {
    if (PWStringEqualNoCase(text, name)) return level;
  }
  const auto number = ParseInteger(text);
  if (!number) return std::nullopt;
  return static_cast<KsTrace::TraceLevel>(std::clamp<long long>(*number, KsTrace::kNone, KsTrace::kVerbose));
}

std::string_view ContentOf(const xmlChar* content) {
  return content ? std::string_view(reinterpret_cast<const char*>(content)) : std::string_view();
}

// The text of an element's first child, if that child is text.
std::optional<std::string> FirstChildText(xmlNodePtr element) {
  const xmlNodePtr child = element->children;
  if (!child || (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE)) return std::nullopt;
  const std::string_view text = Trimmed(ContentOf(child->content));
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

void OpenTraceFile(const std::string& path) {
  TraceState& state = State();
  std::lock_guard lock(state.outputMutex);
  if (state.traceFile >= 0) return;
  state.traceFile = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

// The file's bytes; nothing when it can't be read (or is too large to be settings).
std::optional<std::string> ReadWholeFile(const char* path) {
  constexpr size_t kMaxSettingsSize = 16 << 20;
  FILE* file = std::fopen(path, "rb");
  if (!file) return std::nullopt;
  std::string contents;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && contents.size() < kMaxSettingsSize) {
    contents.append(chunk, got);
  }
  const bool failed = std::ferror(file) != 0 || contents.size() >= kMaxSettingsSize;
  std::fclose(file);
  if (failed) return std::nullopt;
  return contents;
}

void ReadSettings(xmlNodePtr root) {
  std::vector<std::pair<PWStringRef, KsTrace::TraceLevel>> entries;
  for (xmlNodePtr node = root->children; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string_view name = ContentOf(node->name);
    const auto value = FirstChildText(node);
    if (!value) continue;
    if (PWStringEqualNoCase(name, "TraceFile")) {
      OpenTraceFile(*value);
    } else if (const auto level = ParseLevel(*value)) {
      entries.emplace_back(PWStringRef(name), *level);
    }
  }
  TraceState& state = State();
  std::unique_lock lock(state.settingsMutex);
  if (!state.levels) state.levels.emplace();
  for (auto& [category, level] : entries) state.levels->emplace(std::move(category), level);
}

}  // namespace

void KsTrace::LoadSettings(const PWStringRef& path, bool defaultVerbose) {
  TraceState& state = State();
  {
    std::unique_lock lock(state.settingsMutex);
    state.defaultVerbose = defaultVerbose;
  }
  if (path.IsNull()) return;
  const auto contents = ReadWholeFile(path.CStr());
  if (!contents) return;
  xmlInitParser();
  xmlDocPtr doc = xmlReadMemory(contents->data(), static_cast<int>(contents->size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!doc) return;
  {
    std::unique_lock lock(state.settingsMutex);
    if (!state.levels) state.levels.emplace();
  }
  const xmlNodePtr root = xmlDocGetRootElement(doc);
  if (root && ContentOf(root->name) == "TraceSettings") ReadSettings(root);
  xmlFreeDoc(doc);
}

KsTrace::TraceLevel KsTrace::GetLevel(const PWStringRef& category) {
  if (category.IsNull()) {
    TraceState& state = State();
    std::shared_lock lock(state.settingsMutex);
    return state.defaultVerbose ? kVerbose : kNone;
  }
  return LevelOf(category.View());
}

KsTrace::TraceLevel KsTrace::GetLevelForFile(const char* category) {
  return LevelOf(category ? std::string_view(category) : std::string_view());
}

std::string_view KsTrace::CategoryOfFile(const char* file) {
  if (!file) return {};
  const std::string_view path(file);
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool KsTrace::ShouldWrite(TraceLevel level, const char* file) { return LevelOf(CategoryOfFile(file)) >= level; }

void KsTrace::WriteLine(const char* file, unsigned line, const std::string& message) {
  std::string text = std::string(CategoryOfFile(file)) + "(" + std::to_string(line) + ") : " + message;
  TraceState& state = State();
  std::lock_guard lock(state.outputMutex);
  if (state.sink) {
    state.sink(text);
    text += '\n';
  } else {
    text += '\n';
    WriteAll(STDERR_FILENO, text);
  }
  if (state.traceFile >= 0) WriteAll(state.traceFile, text);
}

eAppErr KsTrace::ReturnAppErr(eAppErr code, const char* file, const char* method, unsigned line) {
  if (code == AppErr::kNotFound || code == AppErr::kNoValue) return code;
  Write(kError, file, line, "%s: Returning AppErr %i.", method, code);
  return code;
}

void KsTrace::SetOutputSink(std::function<void(const std::string&)> sink) {
  TraceState& state = State();
  std::lock_guard lock(state.outputMutex);
  state.sink = std::move(sink);
}

void KsTrace::ResetSettings() {
  TraceState& state = State();
  {
    std::unique_lock lock(state.settingsMutex);
    state.levels.reset();
    state.defaultVerbose = false;
  }
  std::lock_guard lock(state.outputMutex);
  if (state.traceFile >= 0) ::close(state.traceFile);
  state.traceFile = -1;
}
