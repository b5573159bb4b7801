#include "DecimalCommaLocale.h"

#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

extern char** environ;

namespace {

constexpr const char* kLocaleName = "de_DE.UTF-8";

locale_t TryNewLocale() { return newlocale(LC_ALL_MASK, kLocaleName, static_cast<locale_t>(nullptr)); }

bool RunLocaledef(const std::string& output) {
  const char* argv[] = {"localedef", "-i", "de_DE", "-f", "UTF-8", output.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "localedef", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  // Exit status 1 only reports warnings; the locale is written all the same.
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}

locale_t CompileIntoTemporaryFolder() {
  if (access("/usr/share/i18n/locales/de_DE", R_OK) != 0) return nullptr;
  const char* tmp = getenv("TMPDIR");
  std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/kscommon-locale.XXXXXX";
  if (!mkdtemp(folder.data())) return nullptr;
  static std::string compiledFolder = folder;
  atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(compiledFolder, ignored);
  });
  if (!RunLocaledef(folder + "/" + kLocaleName)) return nullptr;
  setenv("LOCPATH", folder.c_str(), 1);
  return TryNewLocale();
}

}  // namespace

// glibc keeps the LOCPATH search list of a locale load without freeing it.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

locale_t DecimalCommaLocale() {
  static const locale_t locale = [] {
    locale_t found = TryNewLocale();
    return found ? found : CompileIntoTemporaryFolder();
  }();
  return locale;
}

ScopedDecimalCommaLocale::ScopedDecimalCommaLocale() {
  const locale_t locale = DecimalCommaLocale();
  if (!locale) return;
  const char* previous = setlocale(LC_ALL, nullptr);
  m_previousGlobal = previous ? strdup(previous) : nullptr;
  if (!setlocale(LC_ALL, kLocaleName)) {
    free(m_previousGlobal);
    m_previousGlobal = nullptr;
    return;
  }
  m_previousThread = uselocale(locale);
  m_active = true;
}

ScopedDecimalCommaLocale::~ScopedDecimalCommaLocale() {
  if (!m_active) return;
  uselocale(m_previousThread);
  setlocale(LC_ALL, m_previousGlobal ? m_previousGlobal : "C");
  free(m_previousGlobal);
}
