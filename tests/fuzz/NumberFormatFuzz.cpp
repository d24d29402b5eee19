// Arbitrary 80-bit patterns (unnormals, pseudo-denormals and odd NaNs included) through
// the number formatting at every precision 0..20, with 0 and 3 exponent digits and in
// both the calc edit's and the paste form. Never a crash; the text follows the layout
// rules; a finite value's text is within half a unit of its last digit (plus the
// formatter's own 18-digit rounding) of the value, and parses back to a value that
// gives the same text; the caller's control word plays no part.
// Input: 10 bytes of the value (little-endian as in memory), then one byte of options.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/X87.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

namespace {

[[noreturn]] void Fault(const char* what, const std::string& text, int p) {
  std::fprintf(stderr, "number format fuzz: %s: \"%s\" at precision %d\n", what, text.c_str(), p);
  std::abort();
}

constexpr uint16_t kCallerWords[] = {0x037F, 0x1332, 0x0F7F, 0x0B7F, 0x077F, 0x027F, 0x007F};

enum Class { kZero, kInfinity, kNaN, kFinite };

struct Pattern {
  Class kind;
  bool negative;
  int biasedExponent;  // of the normalised value, for kFinite
  uint64_t significand;
};

// The value's class from its bits alone, unnormals taken at the value they stand for.
Pattern Classify(const unsigned char* b) {
  Pattern p;
  std::memcpy(&p.significand, b, 8);
  p.biasedExponent = (b[8] | (b[9] << 8)) & 0x7FFF;
  p.negative = (b[9] & 0x80) != 0;
  const uint64_t top = uint64_t{1} << 63;
  if (p.biasedExponent == 0) {
    p.kind = kZero;
  } else if (p.biasedExponent == 0x7FFF) {
    p.kind = (p.significand == top || !(p.significand & top)) ? kInfinity : kNaN;
  } else {
    p.kind = kFinite;
    while (!(p.significand & top) && p.significand != 0 && p.biasedExponent > 1) {
      p.significand <<= 1;
      --p.biasedExponent;
    }
    if (!(p.significand & top)) p.kind = kZero;  // nothing left in the normal range
  }
  return p;
}

bool AllDigits(const std::string& s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A finite text split into its significant digits d1d2... and exponent E (0.d1d2... × 10^E)
// by the layout rules; an empty reason when the shape is right for precision p and x
// exponent digits.
struct Layout {
  std::string digits;
  long exponent = 0;
  std::string fault;
};

Layout ReadLayout(const std::string& body, int p, int x, char sep) {
  Layout l;
  const size_t e = body.find('E');
  const std::string mantissa = body.substr(0, e);
  const size_t s = mantissa.find(sep);
  const std::string whole = mantissa.substr(0, s);
  const std::string fraction = s == std::string::npos ? "" : mantissa.substr(s + 1);
  if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction)) return l.fault = "malformed digits", l;
  if (s != std::string::npos && (fraction.empty() || fraction.back() == '0'))
    return l.fault = "separator without a fraction", l;
  if (e != std::string::npos) {
    std::string power = body.substr(e + 1);
    const bool below = !power.empty() && power[0] == '-';
    if (below) power.erase(0, 1);
    if (power.empty() || !AllDigits(power) || power.size() > 5) return l.fault = "malformed exponent", l;
    if (power.size() < static_cast<size_t>(x)) return l.fault = "exponent not padded", l;
    if (power.size() > static_cast<size_t>(x > 1 ? x : 1) && power[0] == '0')
      return l.fault = "exponent over-padded", l;
    if (whole.size() != 1 || whole[0] == '0') return l.fault = "scientific mantissa", l;
    l.digits = whole + fraction;
    l.exponent = (below ? -std::stol(power) : std::stol(power)) + 1;
    if (l.exponent <= p && l.exponent >= -3) return l.fault = "scientific where fixed belongs", l;
  } else if (whole == "0") {
    const size_t zeros = fraction.find_first_not_of('0');
    if (zeros == std::string::npos) return l.fault = "no significant digit", l;
    if (zeros > 3) return l.fault = "more than three zeros below one", l;
    l.digits = fraction.substr(zeros);
    l.exponent = -static_cast<long>(zeros);
  } else {
    if (whole[0] == '0') return l.fault = "leading zero", l;
    l.exponent = static_cast<long>(whole.size());
    if (l.exponent > p) return l.fault = "fixed where scientific belongs", l;
    l.digits = whole + fraction;
  }
  while (!l.digits.empty() && l.digits.back() == '0') l.digits.pop_back();
  if (l.digits.size() > static_cast<size_t>(p)) return l.fault = "too many significant digits", l;
  return l;
}

void CheckText(Extended value, const Pattern& pattern, int request, int x, char sep) {
  const std::string text = NumberToText(value, request, x);
  const int p = request < 2 ? 2 : (request > 18 ? 18 : request);
  switch (pattern.kind) {
    case kZero:
      if (text != "0") Fault("zero class", text, request);
      return;
    case kInfinity:
      if (text != (pattern.negative ? "-INF" : "INF")) Fault("infinity", text, request);
      return;
    case kNaN:
      if (text != "NAN") Fault("NaN", text, request);
      return;
    case kFinite: break;
  }
  const bool minus = !text.empty() && text[0] == '-';
  if (minus != pattern.negative) Fault("sign", text, request);
  const Layout layout = ReadLayout(text.substr(minus ? 1 : 0), p, x, sep);
  if (!layout.fault.empty()) Fault(layout.fault.c_str(), text, request);

  // The text as a number: only rounding up past the largest value leaves the range, and
  // only texts at the very bottom read back below the normal range.
  Extended back = 0;
  if (!TryTextToNumber(text, back)) {
    if (layout.exponent < 4933) Fault("does not parse back", text, request);
    return;
  }
  unsigned char b[sizeof(Extended)];
  std::memcpy(b, &back, sizeof back);
  if (((b[8] | (b[9] << 8)) & 0x7FFF) == 0) {
    if (layout.exponent > -4931) Fault("reads back below the normal range", text, request);
    return;
  }
  if (NumberToText(back, request, x) != text) Fault("reads back to another text", text, request);

  // Within half a unit of the last place shown, plus the 18-digit rounding before it.
  // The value's magnitude rebuilt from the normalised pattern: the FPU refuses to compute
  // with an unnormal as it stands.
  Extended magnitude = 0;
  unsigned char m[sizeof(Extended)] = {};
  std::memcpy(m, &pattern.significand, 8);
  m[8] = static_cast<unsigned char>(pattern.biasedExponent & 0xFF);
  m[9] = static_cast<unsigned char>(pattern.biasedExponent >> 8);
  std::memcpy(&magnitude, m, sizeof magnitude);
  const Extended unit = std::pow(10.0L, static_cast<Extended>(layout.exponent - p));
  const Extended allowed = unit / 2 + magnitude * 3e-17L;
  if (std::fabs(std::fabs(back) - magnitude) > allowed) Fault("too far from the value", text, request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 10) return 0;
  const uint8_t options = size > 10 ? data[10] : 0;
  const char sep = (options & 1) ? ',' : '.';
  const uint16_t callerWord = kCallerWords[(options >> 1) % (sizeof kCallerWords / sizeof kCallerWords[0])];
  Extended value = 0;
  std::memcpy(&value, data, 10);
  const Pattern pattern = Classify(data);
  SetX87ControlWord(kStandingControlWord);
  SetLocaleDecimalSeparator(sep);

  for (int request = 0; request <= 20; ++request) {
    for (int x : {0, 3}) CheckText(value, pattern, request, x, sep);
  }
  // The two forms the program uses, the second under a caller's own control word.
  const std::string paste = PasteNumberText(value);
  if (paste != NumberToText(value, 15, 0)) Fault("paste form", paste, 15);
  for (int request = -2; request <= 21; ++request) {
    const std::string display = DisplayNumberText(value, request);
    SetX87ControlWord(callerWord);
    const uint16_t before = GetX87ControlWord();  // as the FPU reads it back
    const std::string again = DisplayNumberText(value, request);
    const uint16_t word = GetX87ControlWord();
    SetX87ControlWord(kStandingControlWord);
    if (word != before) Fault("the caller's control word did not come back", display, request);
    if (again != display) Fault("the text depends on the caller's control word", again, request);
    const int p = (request >= 0 && request <= 18) ? request : 15;
    if (display != NumberToText(value, p, 3)) Fault("display form", display, request);
  }
  return 0;
}
