#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "KsAppErr.h"
#include "PWFormat.h"
#include "PWString.h"

// The trace facility: a level per category (the base name of a source file,
// extension included), read from a settings file, and console output.
class KsTrace {
 public:
  enum TraceLevel { kNone = 0, kUnexpected = 1, kError = 2, kWarning = 3, kVerbose = 4 };

  // Reads the XML settings file; a missing or malformed file changes nothing.
  static void LoadSettings(const PWStringRef& path, bool defaultVerbose);
  static TraceLevel GetLevel(const PWStringRef& category);
  static TraceLevel GetLevelForFile(const char* category);

  template <class... Args>
  static bool Write(TraceLevel level, const char* file, unsigned line, std::string_view format,
                    const Args&... args) {
    if (!ShouldWrite(level, file)) return true;
    if constexpr (sizeof...(Args) == 0) {
      WriteLine(file, line, PWFormatToString(format, {}));
    } else {
      const PWFormatArg list[] = {PWFormatArg(args)...};
      WriteLine(file, line, PWFormatToString(format, list));
    }
    return true;
  }

  // Traces a failing return ("%s: Returning AppErr %i.") and answers the code,
  // so callers can write `return KS_TRACE_ERR(err, "Method");`. -607 and -902
  // are never traced.
  static eAppErr ReturnAppErr(eAppErr code, const char* file, const char* method, unsigned line);

  // Replaces the console as the destination of trace lines (tests); an empty
  // function restores the console. The sink gets each line without its line
  // break, one call at a time; it must not trace itself. A "TraceFile" named
  // in the settings receives the lines either way.
  static void SetOutputSink(std::function<void(const std::string&)> sink);
  // Forgets the loaded settings (tests).
  static void ResetSettings();

  static std::string_view CategoryOfFile(const char* file);

 private:
  static bool ShouldWrite(TraceLevel level, const char* file);
  static void WriteLine(const char* file, unsigned line, const std::string& message);
};

#define KS_TRACE_ERR(code, method) KsTrace::ReturnAppErr((code), __FILE__, (method), __LINE__)
#define KS_TRACE(level, ...) KsTrace::Write((level), __FILE__, __LINE__, __VA_ARGS__)

// errno (read now, or the given value) translated into the eAppErr space.
eAppErr AppErrFromErrno();
eAppErr AppErrFromErrnoValue(int errnoValue);
// A Mac OS style error code (as the platform layers answer them) translated.
eAppErr AppErrFromOSErr(int osErr);
