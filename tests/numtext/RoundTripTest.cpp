// Every text the formatter writes must read back as a number that writes the same text,
// and must keep to the shapes and lengths of the layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "NumTextSupport.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

namespace {

constexpr int kBitPatterns = 20000;
constexpr int kDecimals = 20000;

// The longest text the layouts can give for precision p with x exponent digits at least:
// a sign, then the longest of the three non-zero layouts. Exponents of normal values
// reach 4932 at most, four digits.
size_t LongestText(int p, int x) {
  const size_t digits = static_cast<size_t>(p);
  const size_t fixed = digits + 1;         // the digits with a separator among them
  const size_t belowOne = 2 + 3 + digits;  // "0", separator, up to three zeros, the digits
  const size_t scientific = digits + 1 + 2 + static_cast<size_t>(std::max(x, 4));  // "E-" and the exponent
  return 1 + std::max({fixed, belowOne, scientific});
}

bool AllDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Checks the shape of a non-special text against the layout rules: returns what is wrong,
// or an empty text.
std::string ShapeFault(const std::string& text, int p, int x) {
  if (text.size() > LongestText(p, x)) return "longer than " + std::to_string(LongestText(p, x));
  std::string body = text[0] == '-' ? text.substr(1) : text;
  if (body == "0") return text[0] == '-' ? "negative zero" : "";
  std::string mantissa = body;
  const size_t e = body.find('E');
  if (e != std::string::npos) {
    mantissa = body.substr(0, e);
    std::string power = body.substr(e + 1);
    const bool negativePower = !power.empty() && power[0] == '-';
    if (negativePower) power.erase(0, 1);
    if (power.empty() || !AllDigits(power)) return "malformed exponent";
    if (static_cast<int>(power.size()) < std::max(x, 1)) return "exponent not padded";
    if (static_cast<int>(power.size()) > std::max(x, 1) && power[0] == '0') return "exponent over-padded";
    const int magnitude = std::stoi(power);
    if (negativePower ? magnitude < 5 : magnitude < p) return "scientific where fixed belongs";
    if (mantissa.size() > 1 && mantissa[1] != '.') return "more than one digit before the separator";
  }
  const size_t sep = mantissa.find('.');
  const std::string whole = mantissa.substr(0, sep);
  const std::string fraction = sep == std::string::npos ? "" : mantissa.substr(sep + 1);
  if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction)) return "malformed digits";
  if (sep != std::string::npos && (fraction.empty() || fraction.back() == '0')) return "separator without a fraction";
  std::string significant = whole + fraction;
  significant.erase(0, significant.find_first_not_of('0'));
  if (significant.empty()) return "no significant digit";
  if (whole == "0") {
    if (e != std::string::npos) return "scientific mantissa starts with 0";
    if (fraction.size() - significant.size() > 3) return "more than three zeros below one";
  } else if (whole[0] == '0') {
    return "leading zero";
  }
  while (!significant.empty() && significant.back() == '0') significant.pop_back();
  if (significant.size() > static_cast<size_t>(p)) return "too many significant digits";
  return "";
}

struct Outcome {
  int checked = 0;
  int failures = 0;
  std::string firstFailures;
};

void CheckValue(Extended value, int x, Outcome& outcome) {
  for (int p = 2; p <= 18; ++p) {
    const std::string text = NumberToText(value, p, x);
    std::string fault = ShapeFault(text, p, x);
    if (fault.empty()) {
      Extended back = 0;
      if (!TryTextToNumber(text, back)) {
        // Only rounding up past the largest value may leave the range.
        if (text.size() < 5 || text.compare(text.size() - 5, 5, "E4932") != 0) fault = "does not parse back";
      } else {
        const std::string again = NumberToText(back, p, x);
        const bool belowNormal = (SignAndExponentOf(back) & 0x7FFF) == 0;
        const bool atTheBottom = text.find("E-4932") != std::string::npos;
        if (again != text && !(belowNormal && atTheBottom)) fault = "reads back as " + again;
      }
    }
    ++outcome.checked;
    if (!fault.empty()) {
      if (++outcome.failures <= 10) {
        outcome.firstFailures += "  '" + text + "' (precision " + std::to_string(p) + "): " + fault + "\n";
      }
    }
  }
}

TEST(RoundTrip, EveryTextReadsBackToTheSameText) {
  std::mt19937_64 random(20240611);
  Outcome outcome;
  int values = 0;
  // Any bit pattern but infinities and NaNs, unnormals now and then.
  for (int i = 0; i < kBitPatterns; ++i) {
    uint16_t signAndExponent;
    do {
      signAndExponent = static_cast<uint16_t>(random());
    } while ((signAndExponent & 0x7FFF) == 0x7FFF);
    uint64_t significand = random();
    if (random() % 8 != 0) significand |= 0x8000000000000000u;
    CheckValue(ExtendedFromBits(signAndExponent, significand), i % 2 ? 0 : 3, outcome);
    ++values;
  }
  // Decimal texts of up to 20 digits, half of them of everyday size.
  for (int i = 0; i < kDecimals; ++i) {
    std::string text = random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 20);
    for (int d = 0; d < digits; ++d) {
      text += static_cast<char>('0' + random() % 10);
      if (d == 0) text += '.';
    }
    const int range = random() % 2 ? 25 : 4950;
    text += "E" + std::to_string(static_cast<int>(random() % (2 * range + 1)) - range);
    Extended value = 0;
    if (!TryTextToNumber(text, value)) continue;
    CheckValue(value, i % 2 ? 0 : 3, outcome);
    ++values;
  }
  std::cout << "  " << values << " values, " << outcome.checked << " texts checked\n";
  EXPECT_EQ(outcome.failures, 0) << outcome.firstFailures;
}

// Texts at the edges of the range, where rounding may leave it.
TEST(RoundTrip, EdgesOfTheRange) {
  Outcome outcome;
  const Extended edges[] = {
      ExtendedFromBits(0x7FFE, 0xFFFFFFFFFFFFFFFFu),
      ExtendedFromBits(0x0001, 0x8000000000000000u),
      ExtendedFromBits(0x0001, 0xFFFFFFFFFFFFFFFFu),
      ExtendedFromBits(0x8001, 0x8000000000000000u),
      ExtendedFromBits(0x7FFE, 0x8000000000000000u),
      1,
      0.5L,
      9.5L,
      0.0001L,
      0.000099999999L,
      999999999999999999.0L,
  };
  for (Extended value : edges) {
    CheckValue(value, 3, outcome);
    CheckValue(value, 0, outcome);
  }
  EXPECT_EQ(outcome.failures, 0) << outcome.firstFailures;
}

}  // namespace
