#pragma once

#include <locale.h>

// A locale whose decimal separator is a comma (de_DE.UTF-8), or null when the
// machine can't provide one. When the system lacks it, it is compiled with
// localedef into a temporary folder named by LOCPATH (no root needed).
locale_t DecimalCommaLocale();

// Switches the whole process (setlocale) and the calling thread (uselocale)
// to the decimal-comma locale for the life of the object.
class ScopedDecimalCommaLocale {
 public:
  ScopedDecimalCommaLocale();
  ~ScopedDecimalCommaLocale();
  ScopedDecimalCommaLocale(const ScopedDecimalCommaLocale&) = delete;
  ScopedDecimalCommaLocale& operator=(const ScopedDecimalCommaLocale&) = delete;
  bool Active() const { return m_active; }

 private:
  bool m_active = false;
  char* m_previousGlobal = nullptr;
  locale_t m_previousThread = nullptr;
};
