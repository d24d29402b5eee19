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
  // One byte of the system code page, as the clipboard's CF_TEXT holds it: a no-break space
  // is 0xA0 there. A longer separator does not fit, and no grouping is read.
  char separator[2] = {0, 0};
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_STHOUSAND, separator, sizeof separator) <= 0) return TDigitGrouping{};
  // At most ten characters with the terminator, as the system documents it.
  char pattern[10] = {0};
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_SGROUPING, pattern, sizeof pattern) <= 0) return TDigitGrouping{};
  return ReadDigitGrouping(separator[0], pattern);
}
