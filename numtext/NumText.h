// Reading numbers from single-byte text and comparing texts, to the character.
// Calculator numbers are 80-bit extended values; every step of the parse is done
// in that arithmetic so the program reads the same value on every machine.
#ifndef KWIX_NUMTEXT_NUMTEXT_H
#define KWIX_NUMTEXT_NUMTEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/X87.h"

// How the locale groups the digits of a number's integer part ("1,234.56", India's
// "1,23,456.78"): the grouping character as UTF-16 text has it, 0 for none, and the group
// sizes from the decimal point leftwards as LOCALE_SGROUPING writes them ("3;0" threes,
// "3;2;0" a three then twos, "3" one three and no grouping beyond, "0" none). Only numbers
// taken from another program are read with it; the pad writes none.
struct TDigitGrouping {
  char16_t separator = 0;
  std::vector<int> sizes;   // the group nearest the decimal point first
  bool repeatLast = false;  // the last size repeats for ever
};
// Reads a LOCALE_SGROUPING text; anything unreadable in it means no grouping.
TDigitGrouping ReadDigitGrouping(char16_t separator, const std::string& pattern);

// How the user's locale writes numbers.
struct TNumberFormat {
  // The decimal character of every number conversion and of the pad's decimal key.
  char LocaleDecimalSeparator = '.';
  TDigitGrouping LocaleDigitGrouping;
};

// The thread locale's, as the system reports it (Windows builds): a decimal separator longer
// than one character, or a failed call, gives '.'; a grouping character longer than one, or a
// failed call, no grouping.
TNumberFormat ReadLocaleNumberFormat();

// x × 10^n through three tables of the extended values nearest to the powers of ten,
// each product rounded before the next. Runs in the caller's floating-point state: the
// conversions call it inside their own masked, 64-bit, round-to-nearest scope.
// n >= 5120 gives +infinity and n <= -5120 zero, whatever x.
Extended ScaleByPowerOfTen(Extended x, int n);

// The number parse, with decimalSeparator as the decimal character: true and the value when
// the whole text is a number; value is left alone otherwise. Overflow fails, underflow gives
// a denormal or zero ("-." gives -0). The caller's control word comes back, with the
// exception flags cleared.
bool TryTextToNumber(const std::string& text, char decimalSeparator, Extended& value);
// Throws EConvertError "'<text>' is not a valid floating point value" on failure.
Extended TextToNumber(const std::string& text, char decimalSeparator);
// The parse of a number another program wrote, as the clipboard's UTF-16 text has it: as
// TryTextToNumber, and also with the integer part grouped exactly as the locale groups it
// ("-1,234,567.5"; no leading zero before a grouping character, no group without digits).
// A grouping character anywhere else, a group of another size, or any other character
// outside ASCII means the text is no number. A space as the locale's grouping character is
// not taken: blanks around a number are skipped, never read as grouping.
bool TryGroupedTextToNumber(const std::u16string& text, const TNumberFormat& format, Extended& value);

// The 32-bit integer parse (decimal, or hexadecimal after $, x, X, 0x, 0X).
// errorPosition is 0 when the whole text was accepted; otherwise the 1-based position
// of the first character not accepted (past the end when the text ends too early or
// the value is out of range), and the result is not to be used.
int32_t TextToInteger(const std::string& text, int& errorPosition);

// Equal length and equal bytes once a..z are taken as A..Z; no other byte is folded.
bool SameTextIgnoreCase(const std::string& a, const std::string& b);

#endif
