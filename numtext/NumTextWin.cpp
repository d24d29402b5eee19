// The decimal character and the digit grouping of the thread's locale, as the system reports them.
#include "numtext/NumText.h"

#include <windows.h>

namespace {

// The grouping character in UTF-16, as the clipboard gives another program's text: a no-break
// space (French, Russian) is U+00A0 or U+202F there. A longer separator does not fit, and no
// grouping is read.
TDigitGrouping LocaleDigitGrouping(LCID locale) {
  wchar_t separator[2] = {0, 0};
  if (GetLocaleInfoW(locale, LOCALE_STHOUSAND, separator, 2) <= 0) return TDigitGrouping{};
  // At most ten characters with the terminator, as the system documents it.
  char pattern[10] = {0};
  if (GetLocaleInfoA(locale, LOCALE_SGROUPING, pattern, sizeof pattern) <= 0) return TDigitGrouping{};
  return ReadDigitGrouping(static_cast<char16_t>(separator[0]), pattern);
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
