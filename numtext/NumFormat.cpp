// The general number format: a value's decimal digits for a precision, laid out in
// fixed or scientific notation. The digits come from extended arithmetic under a fixed
// control word, so the text is the same whatever floating-point state the caller has.
#include "numtext/NumFormat.h"

#include <cstring>

#include "numtext/NumText.h"

namespace {

constexpr int kMaxDigits = 18;
constexpr int kExponentBias = 16383;
constexpr int kSpecialExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = 0x8000000000000000u;

// Settle (base/X87.h) for an integer computed from extended values: the conversion is arithmetic
// too (an unsigned one subtracts 2^63 first) and must not sink past the end of the scope
// into the caller's precision, as clang otherwise lets it.
inline void SettleInteger(uint64_t& v) { __asm__ __volatile__("" : "+r"(v)); }

// Rounds to an integer in the current rounding mode (ties to even inside the scope).
inline Extended RoundToInteger(Extended v) {
  __asm__("frndint" : "+t"(v));
  return v;
}

struct ExtendedBits {
  uint64_t significand;
  int biasedExponent;
  bool negative;
};

ExtendedBits BitsOf(Extended value) {
  unsigned char bytes[sizeof(Extended)];
  std::memcpy(bytes, &value, sizeof value);
  ExtendedBits bits;
  std::memcpy(&bits.significand, bytes, 8);
  const unsigned signAndExponent = bytes[8] | (bytes[9] << 8);
  bits.biasedExponent = static_cast<int>(signAndExponent & 0x7FFF);
  bits.negative = (signAndExponent & 0x8000) != 0;
  return bits;
}

Extended PositiveFromBits(uint64_t significand, int biasedExponent) {
  Extended value = 0;
  unsigned char bytes[sizeof(Extended)] = {};
  std::memcpy(bytes, &significand, 8);
  bytes[8] = static_cast<unsigned char>(biasedExponent & 0xFF);
  bytes[9] = static_cast<unsigned char>((biasedExponent >> 8) & 0x7F);
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// floor(e2 × 19728 / 65536): the shift of the 32-bit product, rounding towards minus
// infinity for negative products as an arithmetic shift does.
int EstimateDecimalExponent(int e2) {
  const int32_t product = e2 * 19728;
  const int32_t floored = product >= 0 ? product / 65536 : -((-product + 65535) / 65536);
  return floored + 1;
}

int ClampPrecision(int precision) { return precision < 2 ? 2 : (precision > kMaxDigits ? kMaxDigits : precision); }

void DropTrailingZeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

}  // namespace

DecimalForm ToDecimalForm(Extended value, int precision) {
  const int p = ClampPrecision(precision);
  DecimalForm form;
  ExtendedBits bits = BitsOf(value);
  if (bits.biasedExponent == 0) return form;  // zero, negative zero and every denormal
  if (bits.biasedExponent == kSpecialExponent) {
    if (bits.significand == kIntegerBit || (bits.significand & kIntegerBit) == 0) {
      form.Exponent = kInfinityExponent;
      form.Negative = bits.negative;
    } else {
      form.Exponent = kNaNExponent;
    }
    return form;
  }
  // An unnormal (integer bit clear) is no result of arithmetic, and the FPU refuses to
  // compute with it; its value is read from the bits and normalised instead.
  if ((bits.significand & kIntegerBit) == 0) {
    if (bits.significand == 0) return form;
    while ((bits.significand & kIntegerBit) == 0 && bits.biasedExponent > 1) {
      bits.significand <<= 1;
      --bits.biasedExponent;
    }
    if ((bits.significand & kIntegerBit) == 0) return form;  // below the normal range
  }

  int exponent = EstimateDecimalExponent(bits.biasedExponent - kExponentBias);
  Extended magnitude = PositiveFromBits(bits.significand, bits.biasedExponent);
  uint64_t scaled = 0;
  {
    MaskedExtendedScope scope;
    Settle(magnitude);
    Extended s = RoundToInteger(ScaleByPowerOfTen(magnitude, kMaxDigits - exponent));
    // Near the bottom of the range the estimate can be one too high, which would leave
    // a leading zero and one significant digit short; the scaling is then taken again.
    if (s < 1e17L) {
      --exponent;
      s = RoundToInteger(ScaleByPowerOfTen(magnitude, kMaxDigits - exponent));
    }
    if (s >= 1e18L) {
      s = RoundToInteger(s / 10);
      ++exponent;
    }
    Settle(s);
    scaled = static_cast<uint64_t>(s);
    SettleInteger(scaled);
  }

  std::string digits(kMaxDigits, '0');
  for (int i = kMaxDigits - 1; i >= 0 && scaled != 0; --i) {
    digits[i] = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  }
  if (p < kMaxDigits) {
    // Only the digit after the last kept one decides: a ...4999 tail rounds down, a
    // ...5000 tail up.
    const bool roundUp = digits[p] >= '5';
    digits.resize(p);
    if (roundUp) {
      int i = p - 1;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i < 0) {
        digits = "1";
        ++exponent;
      } else {
        ++digits[i];
      }
    }
  }
  DropTrailingZeros(digits);
  form.Exponent = static_cast<int16_t>(exponent);
  form.Negative = bits.negative;
  form.Digits = digits;
  return form;
}

std::string NumberToText(Extended value, int precision, int minExponentDigits, char decimalSeparator) {
  const int p = ClampPrecision(precision);
  const DecimalForm form = ToDecimalForm(value, p);
  if (form.Exponent == kInfinityExponent) return form.Negative ? "-INF" : "INF";
  if (form.Exponent == kNaNExponent) return "NAN";

  std::string text = form.Negative ? "-" : "";
  const std::string& digits = form.Digits;
  const int exponent = form.Exponent;
  if (digits.empty()) {
    text += '0';
  } else if (exponent >= 1 && exponent <= p) {
    const size_t whole = static_cast<size_t>(exponent);
    if (digits.size() <= whole) {
      text += digits;
      text.append(whole - digits.size(), '0');
    } else {
      text.append(digits, 0, whole);
      text += decimalSeparator;
      text.append(digits, whole, std::string::npos);
    }
  } else if (exponent >= -3 && exponent <= 0) {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<size_t>(-exponent), '0');
    text += digits;
  } else {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimalSeparator;
      text.append(digits, 1, std::string::npos);
    }
    text += 'E';
    int power = exponent - 1;
    if (power < 0) {
      text += '-';
      power = -power;
    }
    std::string powerDigits;
    do {
      powerDigits.insert(powerDigits.begin(), static_cast<char>('0' + power % 10));
      power /= 10;
    } while (power != 0);
    if (static_cast<int>(powerDigits.size()) < minExponentDigits)
      text.append(static_cast<size_t>(minExponentDigits) - powerDigits.size(), '0');
    text += powerDigits;
  }
  return text;
}

std::string DisplayNumberText(Extended value, int requestedPrecision, char decimalSeparator) {
  // "%.*g" with a precision beyond what the format supports falls back to 15 digits.
  const int p = (requestedPrecision >= 0 && requestedPrecision <= kMaxDigits) ? requestedPrecision : 15;
  return NumberToText(value, p, 3, decimalSeparator);
}

std::string PasteNumberText(Extended value, char decimalSeparator) {
  return NumberToText(value, 15, 0, decimalSeparator);
}
