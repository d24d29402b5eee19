// The decimal character and the digit grouping of the thread's locale, as the system reports them.
#include "numtext/NumText.h"

#include <windows.h>

char FetchLocaleDecimalSeparator() {
  // Two bytes hold one character and its terminator; a longer separator does not fit,
  // the call fails, and '.' stands in.
  char buffer[2] = {0, 0};
  const int count = GetLocaleInfoA(GetThreadLocale(), LOCALE_SDECIMAL, buffer, sizeof buffer);
  return count > 0 ? buffer[0] : '.';
}

TDigitGrouping FetchLocaleDigitGrouping() {
  // UTF-16, as the clipboard gives another program's text: a no-break space (French, Russian)
  // is U+00A0 or U+202F there. A longer separator does not fit, and no grouping is read.
  wchar_t separator[2] = {0, 0};
  if (GetLocaleInfoW(GetThreadLocale(), LOCALE_STHOUSAND, separator, 2) <= 0) return TDigitGrouping{};
  // At most ten characters with the terminator, as the system documents it.
  char pattern[10] = {0};
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_SGROUPING, pattern, sizeof pattern) <= 0) return TDigitGrouping{};
  return ReadDigitGrouping(static_cast<char16_t>(separator[0]), pattern);
}
