#include "Utilities/StdErrParseReporter.h"

#include <unistd.h>

#include <cerrno>

#include "PWFormat.h"
#include "Utilities/ParseLocation.h"

std::string StdErrParseReporter::FormatWarning(const ParseLocation* location, eAppErr code,
                                               const PWStringRef& message) {
  const PWStringRef where = location ? location->CreateString() : PWStringRef("(unknown location)");
  // The message is an argument, never a format: a "%" in it prints as it is.
  const PWFormatArg args[] = {PWFormatArg(code), PWFormatArg(where), PWFormatArg(message)};
  return PWFormatToString("Parse warning %i (%@): %@\n", args);
}

void StdErrParseReporter::AddWarning(const ParseLocation* location, eAppErr code, const PWStringRef& message) {
  const std::string line = FormatWarning(location, code, message);
  size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = write(STDERR_FILENO, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    written += static_cast<size_t>(n);
  }
}
