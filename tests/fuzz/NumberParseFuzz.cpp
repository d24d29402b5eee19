// Arbitrary text through the number parse and the integer parse, held against slow
// references written from the text rules alone:
// - TextToInteger against a parse in wide integers: the same acceptance, value and error
//   position;
// - TryTextToNumber against the grammar and the exact value of the text in unbounded
//   integers: the same acceptance wherever overflow is clear-cut, a result correctly
//   rounded where the parse takes a single rounding step (at most 19 digits that fit 64
//   bits, scaled by at most 10^27), and within a few units in the last place of the exact
//   value elsewhere in the normal range;
// - the caller's floating-point control word comes back with no exception flag raised,
//   and the result does not depend on it.
// The first byte of the input picks the decimal character and the caller's control word.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BigNatural.h"
#include "base/Errors.h"
#include "base/X87.h"
#include "numtext/NumText.h"

namespace {

[[noreturn]] void Fault(const char* what, const std::string& text) {
  std::fprintf(stderr, "number parse fuzz: %s for \"%s\"\n", what, text.c_str());
  std::abort();
}

// Words a caller might stand in: the default, the program's standing word with three
// exceptions unmasked, and each rounding mode and precision.
constexpr uint16_t kCallerWords[] = {0x037F, 0x1332, 0x0F7F, 0x0B7F, 0x077F, 0x027F, 0x007F};

bool Digit(char c) { return c >= '0' && c <= '9'; }

// ---- TextToInteger

struct IntegerReading {
  bool accepted;
  int32_t value;
  int errorPosition;
};

IntegerReading ReadInteger(const std::string& t) {
  const size_t n = t.size();
  const int pastEnd = static_cast<int>(n) + 1;
  size_t i = 0;
  while (i < n && t[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  bool hex = false;
  if (i < n && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
    hex = true;
    i += 1;
  } else if (i + 1 < n && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  auto digitValue = [hex](char c) -> int {
    if (Digit(c)) return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  const size_t first = i;
  while (i < n && digitValue(t[i]) >= 0) ++i;
  const size_t end = i;
  // The value of the digits in 128 bits, held at a ceiling far above every limit.
  const unsigned __int128 ceiling = static_cast<unsigned __int128>(1) << 100;
  const unsigned base = hex ? 16 : 10;
  // Hexadecimal takes at most 8 significant digits; decimal stops once the value so far
  // could only grow past the 32-bit limit.
  const unsigned __int128 takeLimit = hex ? 0x0FFFFFFF : 214748364;
  unsigned __int128 value = 0;
  for (size_t k = first; k < end; ++k) {
    if (value > takeLimit) return {false, 0, static_cast<int>(k) + 1};
    value = value * base + static_cast<unsigned>(digitValue(t[k]));
    if (value > ceiling) value = ceiling;
  }
  if (end < n) return {false, 0, static_cast<int>(end) + 1};
  if (end == first) return {false, 0, pastEnd};
  if (hex) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return {true, static_cast<int32_t>(negative ? 0u - bits : bits), 0};
  }
  const unsigned __int128 limit = negative ? 2147483648u : 2147483647u;
  if (value > limit) return {false, 0, pastEnd};
  const int64_t signedValue = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  return {true, static_cast<int32_t>(signedValue), 0};
}

void CheckInteger(const std::string& text) {
  int position = -1;
  const int32_t value = TextToInteger(text, position);
  const IntegerReading want = ReadInteger(text);
  if ((position == 0) != want.accepted) Fault(want.accepted ? "integer refused" : "integer accepted", text);
  if (want.accepted && value != want.value) Fault("integer value", text);
  if (!want.accepted && position != want.errorPosition) Fault("integer error position", text);
}

// ---- TryTextToNumber

struct NumberReading {
  bool grammatical = false;
  bool negative = false;
  std::string significant;  // the mantissa's digits without leading zeros
  long long scale = 0;      // value = significant × 10^scale
};

NumberReading ReadNumber(const std::string& t, char separator) {
  NumberReading r;
  const size_t n = t.size();
  size_t i = 0;
  while (i < n && t[i] == ' ') ++i;
  if (i < n && (t[i] == '+' || t[i] == '-')) r.negative = t[i++] == '-';
  std::string digits;
  while (i < n && Digit(t[i])) digits += t[i++];
  bool sawSeparator = false;
  size_t fraction = 0;
  if (i < n && t[i] == separator) {
    sawSeparator = true;
    ++i;
    while (i < n && Digit(t[i])) {
      digits += t[i++];
      ++fraction;
    }
  }
  if (digits.empty() && !sawSeparator) return r;
  long long exponent = 0;
  if (i < n && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) negativeExponent = t[i++] == '-';
    std::string e;
    while (i < n && Digit(t[i])) e += t[i++];
    // Exponent digits are read while the exponent so far is below 500: all of them are
    // read exactly when the number they make without their last digit is below 500.
    long long head = 0;
    for (size_t k = 0; k + 1 < e.size(); ++k) head = std::min(head * 10 + (e[k] - '0'), 1000000LL);
    if (head >= 500) return r;
    exponent = e.empty() ? 0 : head * 10 + (e.back() - '0');
    if (negativeExponent) exponent = -exponent;
  }
  while (i < n && t[i] == ' ') ++i;
  if (i != n) return r;
  r.grammatical = true;
  r.significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
  r.scale = exponent - static_cast<long long>(fraction);
  return r;
}

struct Bits {
  bool negative;
  int biasedExponent;
  uint64_t significand;
};

Bits BitsOf(Extended v) {
  unsigned char b[sizeof(Extended)];
  std::memcpy(b, &v, sizeof v);
  Bits bits;
  std::memcpy(&bits.significand, b, 8);
  bits.biasedExponent = (b[8] | (b[9] << 8)) & 0x7FFF;
  bits.negative = (b[9] & 0x80) != 0;
  return bits;
}

bool SameBits(Extended a, Extended b) { return std::memcmp(&a, &b, 10) == 0; }

// Holds the result against the exact value significant × 10^scale.
void CheckValue(const std::string& text, const NumberReading& r, Extended value) {
  const Bits bits = BitsOf(value);
  if (bits.biasedExponent == 0 || bits.biasedExponent == 0x7FFF || !(bits.significand >> 63)) {
    Fault("a value of the normal range parsed to a zero, denormal or special value", text);
  }
  BigNatural exact;
  for (char c : r.significant) exact.MulAdd(10, static_cast<uint32_t>(c - '0'));
  BigNatural result(bits.significand);
  const long long q = bits.biasedExponent - 16383 - 63;  // value = significand × 2^q
  const long long e = r.scale;
  // Both as integers on one scale: multiply by 5^-e when e < 0, then line up the twos.
  if (e >= 0) {
    exact = exact * PowerOfFive(static_cast<size_t>(e));
  } else {
    result = result * PowerOfFive(static_cast<size_t>(-e));
  }
  const long long low = std::min(q, e);
  result.ShiftLeft(static_cast<size_t>(q - low));
  exact.ShiftLeft(static_cast<size_t>(e - low));
  const BigNatural distance = BigNatural::Distance(result, exact);

  // The digits fit 64 bits, so they accumulate exactly, and 10^|e| is exact up to 10^27.
  bool singleRounding = r.significant.size() <= 20 && e >= -27 && e <= 27;
  if (singleRounding) {
    unsigned __int128 d = 0;
    for (char c : r.significant) d = d * 10 + static_cast<unsigned>(c - '0');
    singleRounding = (d >> 64) == 0;
  }
  if (singleRounding) {
    // The unit in the last place of the result, on the same scale.
    BigNatural ulp(1);
    if (e < 0) ulp = PowerOfFive(static_cast<size_t>(-e));
    ulp.ShiftLeft(static_cast<size_t>(q - low));
    BigNatural twice = distance;
    twice.MulAdd(2, 0);
    const int c = BigNatural::Compare(twice, ulp);
    const bool bottomOfBinade = bits.significand == (uint64_t{1} << 63) && BigNatural::Compare(exact, result) < 0;
    if (bottomOfBinade) {
      // Below a power of two the neighbour is half a unit away.
      BigNatural fourTimes = distance;
      fourTimes.MulAdd(4, 0);
      if (BigNatural::Compare(fourTimes, ulp) > 0) Fault("not the nearest value (below a power of two)", text);
    } else if (c > 0 || (c == 0 && (bits.significand & 1))) {
      Fault("not the nearest value, ties to even", text);
    }
    return;
  }
  // Several roundings: each digit step and each scaling factor may cost half a unit.
  const uint32_t units = static_cast<uint32_t>(2 * r.significant.size() + 8);
  BigNatural allowed = exact;
  allowed.MulAdd(units, 0);
  BigNatural scaledDistance = distance;
  scaledDistance.ShiftLeft(64);
  if (BigNatural::Compare(scaledDistance, allowed) > 0) Fault("too far from the exact value", text);
}

void CheckNumber(const std::string& text, char separator, uint16_t callerWord) {
  Extended plain = 0;
  const bool ok = TryTextToNumber(text, plain);

  // The same under another caller's control word, which comes back untouched and clean.
  Extended other = 0;
  SetX87ControlWord(callerWord);
  ClearX87Exceptions();
  const uint16_t wordBefore = GetX87ControlWord();  // as the FPU reads it back
  const bool okOther = TryTextToNumber(text, other);
  const uint16_t wordAfter = GetX87ControlWord();
  const uint16_t flagsAfter = GetX87StatusWord() & kX87AllFlags;
  SetX87ControlWord(kStandingControlWord);
  if (wordAfter != wordBefore) Fault("the caller's control word did not come back", text);
  if (flagsAfter != 0) Fault("exception flags raised for the caller", text);
  if (okOther != ok || (ok && !SameBits(plain, other))) Fault("the result depends on the caller's control word", text);

  bool threw = false;
  try {
    const Extended v = TextToNumber(text);
    if (!ok || !SameBits(v, plain)) Fault("TextToNumber disagrees with TryTextToNumber", text);
  } catch (const EConvertError& e) {
    threw = true;
    // Compared as C strings: a text may hold a zero byte.
    const std::string message = "'" + text + "' is not a valid floating point value";
    if (std::strcmp(e.what(), message.c_str()) != 0) Fault("error message", text);
  }
  if (threw == ok) Fault("TextToNumber throws when it should not, or not when it should", text);
  const Extended fallback = 42.5L;
  if (!SameBits(TextToNumberOr(text, fallback), ok ? plain : fallback)) Fault("TextToNumberOr", text);

  const NumberReading r = ReadNumber(text, separator);
  if (!r.grammatical) {
    if (ok) Fault("accepted a text outside the grammar", text);
    return;
  }
  const long long digits = static_cast<long long>(r.significant.size());
  // The largest finite value is about 1.19 × 10^4932; the smallest normal 3.36 × 10^-4932.
  const bool digitsOverflow = digits >= 4934;
  const bool digitsClear = digits <= 4932;
  if (r.significant.empty() || (r.scale <= -5120 && digitsClear)) {
    // Zero, or scaled below every power the tables hold.
    if (!ok) Fault("refused a zero", text);
    const Bits b = BitsOf(plain);
    if (b.biasedExponent != 0 || b.significand != 0 || b.negative != r.negative)
      Fault("not a zero of the text's sign", text);
    return;
  }
  // 10^(digits - 1 + scale) <= exact value < 10^(digits + scale).
  const long long low = digits - 1 + r.scale, high = digits + r.scale;
  if (digitsOverflow || (digitsClear && low >= 4933)) {
    if (ok) Fault("accepted an overflow", text);
    return;
  }
  if (!digitsClear || high > 4932) return;  // too close to the top to tell
  if (!ok) Fault("refused a number in range", text);
  if (BitsOf(plain).negative != r.negative) Fault("wrong sign", text);
  if (low >= -4900 && high <= 4900 && digits <= 200) CheckValue(text, r, plain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) ? ',' : '.';
  const uint16_t callerWord = kCallerWords[(data[0] >> 1) % (sizeof kCallerWords / sizeof kCallerWords[0])];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  SetX87ControlWord(kStandingControlWord);
  SetLocaleDecimalSeparator(separator);
  CheckInteger(text);
  CheckNumber(text, separator, callerWord);
  return 0;
}
