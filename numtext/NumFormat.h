// Turning a calculator number into text, to the character: the calc edit's form and
// the form pasted into the focused application. Never groups thousands, never writes
// a "+", writes exponents with "E" and uses the decimal character it is given.
#ifndef KWIX_NUMTEXT_NUMFORMAT_H
#define KWIX_NUMTEXT_NUMFORMAT_H

#include <cstdint>
#include <string>

#include "base/X87.h"

// A finite value reads 0.d1d2...dk × 10^Exponent. Exponent 32767 marks infinity,
// -32768 NaN; Digits is empty for zero and never ends in '0'.
struct DecimalForm {
  int16_t Exponent = 0;
  bool Negative = false;
  std::string Digits;
};

constexpr int16_t kInfinityExponent = 32767;
constexpr int16_t kNaNExponent = -32768;

// The decimal digits of value rounded to precision significant digits (2..18).
DecimalForm ToDecimalForm(Extended value, int precision);

// The general format; precision is clamped to 2..18 first.
std::string NumberToText(Extended value, int precision, int minExponentDigits, char decimalSeparator);
// The calc edit's form, "%.*g" with the requested precision.
std::string DisplayNumberText(Extended value, int requestedPrecision, char decimalSeparator);
// The paste-back form: 15 significant digits, exponent digits as needed.
std::string PasteNumberText(Extended value, char decimalSeparator);

#endif
