// The number parse, and the scaling by powers of ten that the formatting shares with it.
#include "numtext/NumText.h"

#include <limits>

#include "base/Errors.h"

namespace {

// The extended values nearest to the powers of ten (exact up to 1e27), written out bit
// for bit: products of smaller powers would carry their rounding errors into the tables.
constexpr Extended kPowersSmall[32] = {
    0x8.000000000000000p-3L,   // 1e0
    0xA.000000000000000p+0L,   // 1e1
    0xC.800000000000000p+3L,   // 1e2
    0xF.A00000000000000p+6L,   // 1e3
    0x9.C40000000000000p+10L,  // 1e4
    0xC.350000000000000p+13L,  // 1e5
    0xF.424000000000000p+16L,  // 1e6
    0x9.896800000000000p+20L,  // 1e7
    0xB.EBC200000000000p+23L,  // 1e8
    0xE.E6B280000000000p+26L,  // 1e9
    0x9.502F90000000000p+30L,  // 1e10
    0xB.A43B74000000000p+33L,  // 1e11
    0xE.8D4A51000000000p+36L,  // 1e12
    0x9.184E72A00000000p+40L,  // 1e13
    0xB.5E620F480000000p+43L,  // 1e14
    0xE.35FA931A0000000p+46L,  // 1e15
    0x8.E1BC9BF04000000p+50L,  // 1e16
    0xB.1A2BC2EC5000000p+53L,  // 1e17
    0xD.E0B6B3A76400000p+56L,  // 1e18
    0x8.AC7230489E80000p+60L,  // 1e19
    0xA.D78EBC5AC620000p+63L,  // 1e20
    0xD.8D726B7177A8000p+66L,  // 1e21
    0x8.78678326EAC9000p+70L,  // 1e22
    0xA.968163F0A57B400p+73L,  // 1e23
    0xD.3C21BCECCEDA100p+76L,  // 1e24
    0x8.4595161401484A0p+80L,  // 1e25
    0xA.56FA5B99019A5C8p+83L,  // 1e26
    0xC.ECB8F27F4200F3Ap+86L,  // 1e27
    0x8.13F3978F8940984p+90L,  // 1e28
    0xA.18F07D736B90BE5p+93L,  // 1e29
    0xC.9F2C9CD04674EDFp+96L,  // 1e30
    0xF.C6F7C4045812296p+99L,  // 1e31
};
constexpr Extended kPowersMid[15] = {
    0x9.DC5ADA82B70B59Ep+103L,   // 1e32
    0xC.2781F49FFCFA6D5p+209L,   // 1e64
    0xE.FB3AB16C59B14A3p+315L,   // 1e96
    0x9.3BA47C980E98CE0p+422L,   // 1e128
    0xB.616A12B7FE617AAp+528L,   // 1e160
    0xE.070F78D3927556Bp+634L,   // 1e192
    0x8.A5296FFE33CC930p+741L,   // 1e224
    0xA.A7EEBFB9DF9DE8Ep+847L,   // 1e256
    0xD.226FC195C6A2F8Cp+953L,   // 1e288
    0x8.1842F29F2CCE376p+1060L,  // 1e320
    0x9.FA42700DB900AD2p+1166L,  // 1e352
    0xC.4C5E310AEF8AA17p+1272L,  // 1e384
    0xF.28A9C07E9B09C59p+1378L,  // 1e416
    0x9.57A4AE1EBF7F3D4p+1485L,  // 1e448
    0xB.83ED8DC0795A262p+1591L,  // 1e480
};
constexpr Extended kPowersLarge[9] = {
    0xE.319A0AEA60E91C7p+1697L,   // 1e512
    0xC.976758681750C17p+3398L,   // 1e1024
    0xB.2B8353B3993A7E4p+5099L,   // 1e1536
    0x9.E8B3B5DC53D5DE5p+6800L,   // 1e2048
    0x8.CA554C020A1F0A6p+8501L,   // 1e2560
    0xF.9895D25D88B5A8Bp+10201L,  // 1e3072
    0xD.D5DC8A2BF27F3F8p+11902L,  // 1e3584
    0xC.46052028A20979Bp+13603L,  // 1e4096
    0xA.E3511626ED559F0p+15304L,  // 1e4608
};

constexpr int kNoScaleLimit = 5120;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

TDigitGrouping ReadDigitGrouping(char16_t separator, const std::string& pattern) {
  TDigitGrouping grouping;
  grouping.separator = separator;
  // Sizes of one digit each, separated by ';'; a last 0 repeats the size before it.
  for (size_t i = 0; i < pattern.size(); i += 2) {
    if (!IsDigit(pattern[i]) || (i + 1 < pattern.size() && pattern[i + 1] != ';')) return TDigitGrouping{};
    const int size = pattern[i] - '0';
    if (size == 0) {
      if (i + 1 < pattern.size()) return TDigitGrouping{};
      grouping.repeatLast = !grouping.sizes.empty();
      break;
    }
    grouping.sizes.push_back(size);
  }
  return grouping;
}

Extended ScaleByPowerOfTen(Extended x, int n) {
  if (n == 0) return x;
  if (n >= kNoScaleLimit) return std::numeric_limits<Extended>::infinity();
  if (n <= -kNoScaleLimit) return 0;
  const bool divide = n < 0;
  const int a = divide ? -n : n;
  // Each factor is applied on its own so every product is rounded as it is taken.
  auto apply = [&](Extended factor) { x = divide ? x / factor : x * factor; };
  apply(kPowersSmall[a % 32]);
  if (const int k = (a / 32) % 16) apply(kPowersMid[k - 1]);
  if (const int m = a / 512) apply(kPowersLarge[m - 1]);
  return x;
}

bool TryTextToNumber(const std::string& text, char decimalSeparator, Extended& value) {
  const size_t len = text.size();
  size_t i = 0;
  while (i < len && text[i] == ' ') ++i;
  bool negative = false;
  if (i < len && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t integerBegin = i;
  while (i < len && IsDigit(text[i])) ++i;
  const size_t integerEnd = i;
  size_t fractionBegin = i;
  size_t fractionEnd = i;
  bool sawSeparator = false;
  if (i < len && text[i] == decimalSeparator) {
    sawSeparator = true;
    fractionBegin = ++i;
    while (i < len && IsDigit(text[i])) ++i;
    fractionEnd = i;
  }
  if (integerEnd == integerBegin && !sawSeparator) return false;

  long long exponent = 0;
  if (i < len && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exponentNegative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      ++i;
    }
    // Stops at 500: the digits left over then fail the parse below.
    while (i < len && IsDigit(text[i]) && exponent < 500) {
      exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (exponentNegative) exponent = -exponent;
  }
  while (i < len && text[i] == ' ') ++i;
  if (i < len) return false;

  long long scale = exponent - static_cast<long long>(fractionEnd - fractionBegin);
  if (scale < -kNoScaleLimit) scale = -kNoScaleLimit;

  Extended result = 0;
  uint16_t raised = 0;
  {
    MaskedExtendedScope scope;
    Settle(result);
    // Each multiplication and each addition is rounded on its own.
    auto accumulate = [&](size_t begin, size_t end) {
      for (size_t k = begin; k < end; ++k) {
        result = result * 10;
        result = result + (text[k] - '0');
      }
    };
    accumulate(integerBegin, integerEnd);
    accumulate(fractionBegin, fractionEnd);
    result = ScaleByPowerOfTen(result, static_cast<int>(scale));
    if (negative) result = -result;
    Settle(result);
    raised = scope.RaisedFlags();
  }
  if (raised & (kX87Overflow | kX87Invalid)) return false;
  value = result;
  return true;
}

Extended TextToNumber(const std::string& text, char decimalSeparator) {
  Extended value = 0;
  if (!TryTextToNumber(text, decimalSeparator, value))
    throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

bool TryGroupedTextToNumber(const std::u16string& text, const TNumberFormat& format, Extended& value) {
  const TDigitGrouping& grouping = format.LocaleDigitGrouping;
  const char16_t mark = grouping.separator;
  const char decimal = format.LocaleDecimalSeparator;
  // What the plain parse is to read: the text's ASCII characters, without the grouping.
  std::string plain;
  auto take = [&](size_t begin, size_t end) {
    for (size_t k = begin; k < end; ++k) {
      if (text[k] >= 0x80) return false;
      plain += static_cast<char>(text[k]);
    }
    return true;
  };
  const size_t len = text.size();
  if (mark == 0 || mark == u' ' || mark == static_cast<unsigned char>(decimal) ||
      text.find(mark) == std::u16string::npos)
    return take(0, len) && TryTextToNumber(plain, decimal, value);
  // The integer part's groups, each a run of digits ended by the grouping character.
  size_t i = 0;
  while (i < len && text[i] == u' ') ++i;
  if (i < len && (text[i] == u'+' || text[i] == u'-')) ++i;
  take(0, i);
  const bool leadingZero = i < len && text[i] == u'0';
  std::vector<size_t> groups;  // their lengths, leftmost first
  for (;;) {
    const size_t first = i;
    while (i < len && IsDigit(text[i])) ++i;
    groups.push_back(i - first);
    take(first, i);
    if (i - first == 0 || i >= len || text[i] != mark) break;
    ++i;
  }
  // The size the locale gives the group `fromRight` places left of the decimal point; 0 when
  // it writes no group there.
  auto sizeAt = [&grouping](size_t fromRight) -> size_t {
    if (fromRight < grouping.sizes.size()) return grouping.sizes[fromRight];
    return grouping.repeatLast ? grouping.sizes.back() : 0;
  };
  const size_t last = groups.size() - 1;
  for (size_t k = 1; k <= last; ++k) {
    // A grouping character with no digits after it ("1234," or "1,,234") groups nothing.
    if (groups[k] == 0 || groups[k] != sizeAt(last - k)) return false;
  }
  // The leftmost group: at most the size the locale gives its place, and no leading zero
  // ("0,123" is no way of writing 123). One without digits leaves the grouping character in
  // what follows, which the plain parse refuses.
  const size_t leftmost = sizeAt(last);
  if ((leftmost != 0 && groups[0] > leftmost) || (last > 0 && leadingZero)) return false;
  return take(i, len) && TryTextToNumber(plain, decimal, value);
}
