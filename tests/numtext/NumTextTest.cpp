#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "Fakes.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();
constexpr Extended kMax = std::numeric_limits<Extended>::max(), kMin = std::numeric_limits<Extended>::min();

// Each parse under a caller's 53-bit word gives the 64-bit result and the word back.
TEST(NumberParse, ValuesAndFailures) {
  // clang-format off
  const std::pair<const char*, Extended> rows[] = {  // NaN: the parse fails; infinity: any value
      {"  -1.5e3  ", -1500}, {".", 0}, {"-.", -0.0L}, {"5e", 5}, {"1e+", 1}, {".5", 0.5L}, {"5.", 5}, {"007", 7},
      {"0.1", 0.1L}, {"1E-2", 0.01L}, {"999999999999999.9", 999999999999999.9L}, {"-0.00000015", -1.5e-7L},
      {"1e500", kInf}, {"1e4932", kInf}, {"1e-4999", 0}, {"18446744073709551615", 18446744073709551615.0L},
      {"", kNaN}, {"   ", kNaN}, {"+", kNaN}, {"e5", kNaN}, {"- 1", kNaN}, {"1,5", kNaN}, {"1 000", kNaN},
      {"3.5\n", kNaN}, {"INF", kNaN}, {"2e4932", kNaN}, {"1e4999", kNaN}, {"1e5000", kNaN}, {"1e-5000", kNaN},
      {"1.2.3", kNaN}, {"1e5x", kNaN}, {"0x10", kNaN}};
  // clang-format on
  SetX87ControlWord(0x027F);
  for (auto [text, want] : rows) {
    Extended value = 12345;
    EXPECT_EQ(TryTextToNumber(text, value), !std::isnan(want)) << text;
    EXPECT_EQ(GetX87ControlWord(), 0x027F) << text;
    const bool same = value == want && std::signbit(value) == std::signbit(want);
    EXPECT_TRUE(std::isinf(want) || (std::isnan(want) ? value == 12345 : same)) << text;
  }
  SetX87ControlWord(kStandingControlWord);
  EXPECT_THROW(TextToNumber("abc"), EConvertError);
  EXPECT_EQ(TextToNumberOr("12abc", 3), 3);
  // Every power of ten in the tables is the extended value nearest to it, as the C library's
  // correctly rounded strtold gives it; beyond the tables, infinity and zero whatever the operand.
  for (int n = 0; n < 5120; n += n < 32 ? 1 : n < 512 ? 32 : 512) {
    EXPECT_EQ(ScaleByPowerOfTen(1, n), std::strtold(("1e" + std::to_string(n)).c_str(), nullptr)) << n;
  }
  EXPECT_EQ(ScaleByPowerOfTen(0, 5120), kInf);
  EXPECT_EQ(ScaleByPowerOfTen(1e4000L, -5120), 0);
  EXPECT_EQ(ScaleByPowerOfTen(3, -2), 0.03L);
}

TEST(NumberParse, IntegersAndTheirErrorPositions) {
  // clang-format off
  const std::tuple<const char*, int32_t, int> rows[] = {
      {"42", 42, 0}, {"  -17", -17, 0}, {"+5", 5, 0}, {"007", 7, 0}, {"$FF", 255, 0}, {"0x1f", 31, 0}, {"x10", 16, 0},
      {"X1A", 26, 0}, {"0XaF", 175, 0}, {"-$10", -16, 0}, {"$FFFFFFFF", -1, 0}, {"$7FFFFFFF", INT32_MAX, 0},
      {"2147483647", INT32_MAX, 0}, {"-2147483648", INT32_MIN, 0}, {"2147483648", 0, 11}, {"21474836470", 0, 11},
      {"$100000000", 0, 10}, {"12 ", 0, 3}, {"", 0, 1}, {"-", 0, 2}, {"- 5", 0, 2}, {"0x", 0, 3}, {"$", 0, 2},
      {"1.5", 0, 2}, {"$G", 0, 2}, {"9a", 0, 2}};
  // clang-format on
  for (auto [text, value, errorPosition] : rows) {
    int position = -1;
    const int32_t got = TextToInteger(text, position);
    EXPECT_EQ(position, errorPosition) << text;
    EXPECT_EQ(position ? 0 : got, value) << text;
  }
  // clang-format off
  for (auto [a, b, same] : {std::tuple{"margin", "MARGIN", true}, {"az", "AZ", true}, {"Marg", "Margin", false},
                            {"", "", true}, {"\xC9", "\xE9", false}, {"@[`{", "@[`{", true}, {"@", "`", false}}) {
    // clang-format on
    EXPECT_EQ(SameTextIgnoreCase(a, b), same) << a << " " << b;
  }
}

// The display at requests 19, 18, 17 and 3, and the paste form.
TEST(NumberFormat, DisplayAndPasteForms) {
  // clang-format off
  const std::pair<Extended, std::array<const char*, 5>> rows[] = {
      {1.0L / 3, {"0.333333333333333", "0.333333333333333333", "0.33333333333333333", "0.333", "0.333333333333333"}},
      {2.0L / 3, {"0.666666666666667", "0.666666666666666667", "0.66666666666666667", "0.667", "0.666666666666667"}},
      {1e20L, {"1E020", "1E020", "1E020", "1E020", "1E20"}},
      {1e15L, {"1E015", "1000000000000000", "1000000000000000", "1E015", "1E15"}},
      {123456789, {"123456789", "123456789", "123456789", "1.23E008", "123456789"}},
      {123456789012345678.0L,
       {"1.23456789012346E017", "123456789012345678", "1.2345678901234568E017", "1.23E017", "1.23456789012346E17"}},
      {18446744073709551616.0L,
       {"1.84467440737096E019", "1.84467440737095516E019", "1.8446744073709552E019", "1.84E019", "1.84467440737096E19"}},
      {0.1L + 0.2L, {"0.3", "0.3", "0.3", "0.3", "0.3"}},
      {999999999999999.9L, {"1E015", "999999999999999.9", "999999999999999.9", "1E015", "1E15"}},
      {0.00001L, {"1E-005", "1E-005", "1E-005", "1E-005", "1E-5"}},
      {0.0001L / 3,
       {"3.33333333333333E-005", "3.33333333333333333E-005", "3.3333333333333333E-005", "3.33E-005", "3.33333333333333E-5"}},
      {-1.0L / 3, {"-0.333333333333333", "-0.333333333333333333", "-0.33333333333333333", "-0.333", "-0.333333333333333"}},
      {-1.5e-7L, {"-1.5E-007", "-1.5E-007", "-1.5E-007", "-1.5E-007", "-1.5E-7"}},
      {-std::numeric_limits<Extended>::denorm_min(), {"0", "0", "0", "0", "0"}},
      {kInf, {"INF", "INF", "INF", "INF", "INF"}}, {-kInf, {"-INF", "-INF", "-INF", "-INF", "-INF"}},
      {-kNaN, {"NAN", "NAN", "NAN", "NAN", "NAN"}}};
  // clang-format on
  for (auto [value, texts] : rows) {
    EXPECT_EQ(PasteNumberText(value), texts[4]);
    for (int i : {0, 1, 2, 3}) EXPECT_EQ(DisplayNumberText(value, std::array{19, 18, 17, 3}[i]), texts[i]);
  }
  // clang-format off
  const std::tuple<Extended, int, const char*> requests[] = {
      {1.0L / 3, 2, "0.33"}, {2.0L / 3, 1, "0.67"}, {100, 0, "1E002"}, {123456789, 1, "1.2E008"}, {123456, 6, "123456"},
      {1.0L / 3, -1, "0.333333333333333"}, {123456, 5, "1.2346E005"}, {999999, 5, "1E006"},
      {0.000123456L, 4, "0.0001235"}, {kMax, 19, "1.18973149535723E4932"}, {kMin, 19, "3.36210314311209E-4932"}};
  // clang-format on
  for (auto [value, request, text] : requests) EXPECT_EQ(DisplayNumberText(value, request), text);
  EXPECT_EQ(PasteNumberText(kMin), "3.36210314311209E-4932");
}

}  // namespace
