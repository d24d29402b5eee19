// The decimal character and the digit grouping of the thread's locale, as the system reports them.
#include "numtext/NumText.h"

#include <windows.h>

namespace {

// The grouping, in one byte of the system code page, as the clipboard's CF_TEXT holds it: a
// no-break space is 0xA0 there. A longer separator does not fit, and no grouping is read.
TDigitGrouping LocaleDigitGrouping(LCID locale) {
  char separator[2] = {0, 0};
  if (GetLocaleInfoA(locale, LOCALE_STHOUSAND, separator, sizeof separator) <= 0) return TDigitGrouping{};
  // At most ten characters with the terminator, as the system documents it.
  char pattern[10] = {0};
  if (GetLocaleInfoA(locale, LOCALE_SGROUPING, pattern, sizeof pattern) <= 0) return TDigitGrouping{};
  return ReadDigitGrouping(separator[0], pattern);
}

}  // namespace

TNumberFormat ReadLocaleNumberFormat() {
  const LCID locale = GetThreadLocale();
  TNumberFormat format;
  // Two bytes hold one character and its terminator; a longer separator does not fit,
  // the call fails, and '.' stands in.
  char decimal[2] = {0, 0};
  format.LocaleDecimalSeparator =
      GetLocaleInfoA(locale, LOCALE_SDECIMAL, decimal, sizeof decimal) > 0 ? decimal[0] : '.';
  format.LocaleDigitGrouping = LocaleDigitGrouping(locale);
  return format;
}
