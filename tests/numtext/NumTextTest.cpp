#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "Fakes.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();
constexpr Extended kMax = std::numeric_limits<Extended>::max(), kMin = std::numeric_limits<Extended>::min();

// The number parse of typed text and settings, with '.' as the decimal character, under a
// caller's 53-bit control word that must come back. A refused text leaves the value alone.
TEST(NumberParse, ValuesAndRefusals) {
  struct Row {
    const char* text;
    std::optional<Extended> value = std::nullopt;  // nothing: refused
    bool rounded = false;                          // two scaling steps: within a few last places
  };
  // clang-format off
  const Row rows[] = {
      {.text = "  -1.5e3  ", .value = -1500}, {.text = "-.", .value = -0.0L}, {.text = "5e", .value = 5},
      {.text = ".5", .value = 0.5L}, {.text = "0.1", .value = 0.1L}, {.text = "-0.00000015", .value = -1.5e-7L},
      {.text = "999999999999999.9", .value = 999999999999999.9L}, {.text = "1e500", .value = 1e500L, .rounded = true},
      {.text = "1e4932", .value = 1e4932L, .rounded = true}, {.text = "1e-4999", .value = 0},
      {.text = "18446744073709551615", .value = 18446744073709551615.0L}, {.text = ""}, {.text = "+"},
      {.text = "e5"}, {.text = "1,5"}, {.text = "3.5\n"}, {.text = "2e4932"}, {.text = "1e4999"}, {.text = "1.2.3"},
      {.text = "1e5x"}};
  // clang-format on
  SetX87ControlWord(0x027F);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("the text \"") + row.text + "\"");
    Extended value = 12345;
    EXPECT_EQ(TryTextToNumber(row.text, '.', value), row.value.has_value());
    EXPECT_EQ(GetX87ControlWord(), 0x027F) << "the caller's control word";
    const Extended want = row.value.value_or(12345);
    EXPECT_LE(std::fabs(value - want), row.rounded ? want * 1e-18L : 0) << "read as " << value;
    EXPECT_EQ(std::signbit(value), std::signbit(want)) << "the sign of zero";
  }
  SetX87ControlWord(kStandingControlWord);
  EXPECT_THROW(TextToNumber("abc", '.'), EConvertError);
  // Every power of ten in the tables is the extended value nearest to it, as the C library's
  // correctly rounded strtold gives it; beyond the tables, infinity and zero whatever the operand.
  for (int n = 0; n < 5120; n += n < 32 ? 1 : n < 512 ? 32 : 512) {
    EXPECT_EQ(ScaleByPowerOfTen(1, n), std::strtold(("1e" + std::to_string(n)).c_str(), nullptr)) << n;
  }
  EXPECT_EQ(ScaleByPowerOfTen(0, 5120), kInf);
  EXPECT_EQ(ScaleByPowerOfTen(1e4000L, -5120), 0);
  EXPECT_EQ(ScaleByPowerOfTen(3, -2), 0.03L);
}

// A number another program wrote: the integer part grouped exactly as the locale groups it
// (LOCALE_SGROUPING: "3;0" threes, "3;2;0" a three then twos, "3" one three, "0" none), no
// leading zero before a grouping character. A space is no grouping, nor is the decimal character.
TEST(NumberParse, GroupedNumbersFromAnotherProgram) {
  struct Locale {
    const char* name;
    char16_t grouping;
    char decimal;
    const char* pattern;
  };
  static constexpr Locale english{"English", ',', '.', "3;0"}, india{"English (India)", ',', '.', "3;2;0"},
      german{"German", '.', ',', "3;0"}, french{"French, a no-break space", u'\u00A0', ',', "3;0"},
      spaced{"grouping with a space", ' ', ',', "3;0"}, once{"one group of three", ',', '.', "3"},
      none{"no grouping", ',', '.', "0"}, same{"grouping as the decimal character", ',', ',', "3;0"},
      unreadable{"an unreadable grouping", ',', '.', "33"};
  struct Row {
    const char* text;
    Locale locale = english;
    std::optional<Extended> value = std::nullopt;  // nothing: no number
  };
  // clang-format off
  const Row rows[] = {
      {.text = "1,234.56", .value = 1234.56L}, {.text = "-1,234,567", .value = -1234567},
      {.text = " +123,456.5e1 ", .value = 1234565}, {.text = "1.234,56", .locale = german, .value = 1234.56L},
      {.text = "1\u00A0" "234,5", .locale = french, .value = 1234.5L}, {.text = "12 ", .locale = spaced, .value = 12},
      {.text = "1,23,456.78", .locale = india, .value = 123456.78L}, {.text = "12,34,567", .locale = india,
      .value = 1234567}, {.text = "1234,567", .locale = once, .value = 1234567},
      {.text = "1,234", .locale = same, .value = 1.234L}, {.text = "1234", .locale = none, .value = 1234},
      {.text = "1,23"}, {.text = "1,2345"}, {.text = "1234,567"}, {.text = "0,123"}, {.text = "1,.23"},
      {.text = "12.5%"}, {.text = "1,234.5,6"}, {.text = "1,234.56", .locale = german},
      {.text = "1 234", .locale = spaced}, {.text = "1,234,567", .locale = india}, {.text = "123,456", .locale = india},
      {.text = "1,234,567", .locale = once}, {.text = "1,234", .locale = none},
      {.text = "1,234", .locale = unreadable}, {.text = "1234,", .locale = none}, {.text = "1234,.5", .locale = none},
      {.text = "1,,234", .locale = none}, {.text = "12.5円"}, {.text = "１２"}, {.text = "1\u202F234", .locale = french}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("the text \"") + row.text + "\" in " + row.locale.name);
    const TNumberFormat format{row.locale.decimal, ReadDigitGrouping(row.locale.grouping, row.locale.pattern)};
    Extended value = 0;
    EXPECT_EQ(TryGroupedTextToNumber(Utf16(row.text), format, value), row.value.has_value());
    EXPECT_EQ(value, row.value.value_or(0));
  }
}

TEST(NumberParse, IntegersAndTheirErrorPositions) {
  struct Row {
    const char* text;
    int32_t value = 0;
    int errorPosition = 0;  // 1-based, of the first character refused; 0: accepted
  };
  // clang-format off
  const Row rows[] = {
      {.text = "42", .value = 42}, {.text = "  -17", .value = -17}, {.text = "$FF", .value = 255},
      {.text = "0x1f", .value = 31}, {.text = "x19", .value = 25}, {.text = "0XaF", .value = 175},
      {.text = "-$10", .value = -16}, {.text = "$FFFFFFFF", .value = -1}, {.text = "-2147483648", .value = INT32_MIN},
      {.text = "2147483648", .errorPosition = 11}, {.text = "$100000000", .errorPosition = 10},
      {.text = "12 ", .errorPosition = 3}, {.text = "", .errorPosition = 1}, {.text = "- 5", .errorPosition = 2},
      {.text = "0x", .errorPosition = 3}, {.text = "9a", .errorPosition = 2}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("the text \"") + row.text + "\"");
    int position = -1;
    const int32_t value = TextToInteger(row.text, position);
    EXPECT_EQ(position, row.errorPosition);
    EXPECT_EQ(position == 0 ? value : 0, row.value) << "the value of an accepted text";
  }
  // Setting names and words compare without regard to the case of ASCII letters only.
  EXPECT_TRUE(SameTextIgnoreCase("margin", "MARGIN"));
  EXPECT_TRUE(SameTextIgnoreCase("az", "AZ"));
  EXPECT_FALSE(SameTextIgnoreCase("Marg", "Margin"));
  EXPECT_FALSE(SameTextIgnoreCase("\xC9", "\xE9"));  // É and é in cp1252
  EXPECT_FALSE(SameTextIgnoreCase("@", "`"));        // the bytes before A and a
}

// The calc edit's texts at requests 19, 18, 17 and 3, and the paste form.
TEST(NumberFormat, DisplayAndPasteForms) {
  struct Row {
    Extended value;
    std::array<const char*, 4> display;
    const char* paste;
  };
  // clang-format off
  const Row rows[] = {
      {2.0L / 3, {"0.666666666666667", "0.666666666666666667", "0.66666666666666667", "0.667"}, "0.666666666666667"},
      {1e20L, {"1E020", "1E020", "1E020", "1E020"}, "1E20"},
      {1e15L, {"1E015", "1000000000000000", "1000000000000000", "1E015"}, "1E15"},
      {123456789012345678.0L,
       {"1.23456789012346E017", "123456789012345678", "1.2345678901234568E017", "1.23E017"}, "1.23456789012346E17"},
      {0.1L + 0.2L, {"0.3", "0.3", "0.3", "0.3"}, "0.3"},
      {0.0001L / 3,
       {"3.33333333333333E-005", "3.33333333333333333E-005", "3.3333333333333333E-005", "3.33E-005"}, "3.33333333333333E-5"},
      {-1.5e-7L, {"-1.5E-007", "-1.5E-007", "-1.5E-007", "-1.5E-007"}, "-1.5E-7"},
      {-kInf, {"-INF", "-INF", "-INF", "-INF"}, "-INF"},
      {-kNaN, {"NAN", "NAN", "NAN", "NAN"}, "NAN"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.paste);
    EXPECT_EQ(PasteNumberText(row.value, '.'), row.paste);
    for (int i : {0, 1, 2, 3})
      EXPECT_EQ(DisplayNumberText(row.value, std::array{19, 18, 17, 3}[i], '.'), row.display[i]);
  }
  struct Request {
    Extended value;
    int precision;
    const char* text;
  };
  // clang-format off
  for (const Request& r : {Request{1.0L / 3, 2, "0.33"}, {2.0L / 3, 1, "0.67"}, {100, 0, "1E002"},
                           {123456789, 1, "1.2E008"}, {123456, 6, "123456"}, {1.0L / 3, -1, "0.333333333333333"},
                           {123456, 5, "1.2346E005"}, {999999, 5, "1E006"}, {1999.96L, 4, "2000"}, {0.000123456L, 4, "0.0001235"},
                           {kMax, 19, "1.18973149535723E4932"}, {kMin, 19, "3.36210314311209E-4932"}}) {
    // clang-format on
    EXPECT_EQ(DisplayNumberText(r.value, r.precision, '.'), r.text) << r.precision;
  }
  EXPECT_EQ(PasteNumberText(kMin, '.'), "3.36210314311209E-4932");
  EXPECT_EQ(PasteNumberText(9.9e-4930L, '.'), "9.9E-4930");  // the decimal exponent first estimated one too high
}

}  // namespace
