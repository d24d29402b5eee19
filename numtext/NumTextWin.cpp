// The decimal character of the thread's locale, as the system reports it.
#include "numtext/NumText.h"

#include <windows.h>

char FetchLocaleDecimalSeparator() {
  // Two bytes hold one character and its terminator; a longer separator does not fit,
  // the call fails, and '.' stands in.
  char buffer[2] = {0, 0};
  const int count = GetLocaleInfoA(GetThreadLocale(), LOCALE_SDECIMAL, buffer, sizeof buffer);
  return count > 0 ? buffer[0] : '.';
}
