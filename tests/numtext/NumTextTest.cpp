#include "numtext/NumText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "NumTextSupport.h"
#include "base/Errors.h"

namespace {

struct ParseCase {
  const char* text;
  Extended expected;
};

void ExpectParses(const ParseCase& c) {
  Extended value = 12345;
  ASSERT_TRUE(TryTextToNumber(c.text, value)) << "'" << c.text << "'";
  EXPECT_EQ(value, c.expected) << "'" << c.text << "'";
  EXPECT_EQ(std::signbit(value), std::signbit(c.expected)) << "'" << c.text << "' has the wrong sign";
}

TEST(TryTextToNumber, Accepts) {
  const ParseCase cases[] = {
      {"  -1.5e3  ", -1500},
      {"42", 42},
      {"+7", 7},
      {"007.50", 7.5L},
      {".", 0},
      {"-.", -0.0L},  // a negative zero, printed as "0"
      {"5.", 5},
      {".5", 0.5L},
      {"5e", 5},
      {"1e+", 1},
      {"1E-2", 0.01L},
      {"2.5e+1", 25},
      {"0.1", 0.1L},  // one division of exact operands: the nearest value
      {"123.456", 123.456L},
      {"18446744073709551615", 18446744073709551615.0L},
      {"1e-4999", 0},
      {"-1e-4999", -0.0L},
  };
  for (const ParseCase& c : cases) ExpectParses(c);
}

TEST(TryTextToNumber, ExtremeExponentsThatFit) {
  const char* accepted[] = {"1e500", "1e4932", "1.189e4932", "0.0000001e4938", "3.4e-4932"};
  for (const char* text : accepted) {
    Extended value = 0;
    ASSERT_TRUE(TryTextToNumber(text, value)) << text;
    EXPECT_TRUE(std::isfinite(value) && value > 0) << text;
  }
  Extended tiny = 0;
  ASSERT_TRUE(TryTextToNumber("1e-4940", tiny)) << "underflow is no failure";
  EXPECT_GT(tiny, 0);
  EXPECT_LT(tiny, std::numeric_limits<Extended>::min()) << "a denormal";
}

TEST(TryTextToNumber, Rejects) {
  const std::string thousandDigits(4940, '0');
  const std::string rejected[] = {
      "",
      "   ",
      "+",
      "-",
      "e5",
      "- 1",
      "1,5",
      "1 000",
      "3.5\n",
      "3.5\r\n",
      "\t1",
      "1\t",
      "INF",
      "NAN",
      "--1",
      "+-1",
      "1e5e",
      "1.2.3",
      "1e 5",
      "0x10",
      "$10",
      "2e4932",
      "1e4999",  // overflow
      "1e5000",
      "1e-5000",
      "1e4999999",                      // digits left after the exponent reached 500
      "1" + thousandDigits,             // the digits alone overflow
      "1" + thousandDigits + "e-4940",  // even though the exponent would bring it back
      std::string("1\0", 2),
  };
  for (const std::string& text : rejected) {
    Extended value = 777;
    EXPECT_FALSE(TryTextToNumber(text, value)) << "'" << text << "'";
    EXPECT_EQ(value, 777) << "'" << text << "' changed the value";
  }
}

TEST(TryTextToNumber, ManyFractionDigitsUnderflowToZero) {
  const std::string text = "0." + std::string(6000, '0') + "1";
  Extended value = 1;
  ASSERT_TRUE(TryTextToNumber(text, value));
  EXPECT_EQ(value, 0);
}

TEST(TryTextToNumber, UsesTheLocaleSeparatorOnly) {
  SeparatorOverride comma(',');
  ExpectParses({"0,25", 0.25L});
  ExpectParses({"-3,", -3});
  ExpectParses({",5e1", 5});
  Extended value = 0;
  EXPECT_FALSE(TryTextToNumber("0.25", value));
  EXPECT_FALSE(TryTextToNumber("1,000,000", value));
}

TEST(TextToNumber, RaisesWithTheWholeText) {
  const std::string texts[] = {"abc", "  1x ", ""};
  for (const std::string& text : texts) {
    try {
      TextToNumber(text);
      ADD_FAILURE() << "no error for '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid floating point value");
    }
  }
  EXPECT_THROW(TextToNumber("2e4932"), EConvertError);
  EXPECT_EQ(TextToNumber(" 12.5 "), 12.5L);
}

TEST(TextToNumberOr, FallsBackOnEveryFailure) {
  EXPECT_EQ(TextToNumberOr("12abc", 0), 0);
  EXPECT_EQ(TextToNumberOr("1e4999", -1), -1);
  EXPECT_EQ(TextToNumberOr("", 3.5L), 3.5L);
  EXPECT_EQ(TextToNumberOr("12", 0), 12);
}

TEST(TextToInteger, Accepts) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"42", 42},
      {"  -17", -17},
      {"+5", 5},
      {"007", 7},
      {"0", 0},
      {"$FF", 255},
      {"$ff", 255},
      {"0x1f", 31},
      {"0X1F", 31},
      {"x10", 16},
      {"X10", 16},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"-$80000000", INT32_MIN},
      {"$000000000001", 1},  // leading zeros are not significant digits
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"0002147483647", 2147483647},
  };
  for (const auto& c : cases) {
    int errorPosition = -1;
    const int32_t value = TextToInteger(c.text, errorPosition);
    EXPECT_EQ(errorPosition, 0) << "'" << c.text << "'";
    EXPECT_EQ(value, c.expected) << "'" << c.text << "'";
  }
}

TEST(TextToInteger, RejectsAtTheFirstCharacterNotAccepted) {
  struct Case {
    const char* text;
    int errorPosition;
  } cases[] = {
      {"12 ", 3},
      {"1.5", 2},
      {"- 5", 2},
      {"abc", 1},
      {"0x1g", 4},
      {"$-1", 2},
      {"+-1", 2},
      {"21474836470", 11},  // taking the 11th digit would overflow
      {"$100000000", 10},   // the 9th significant hex digit
      // Past the end: the text ends too early, or the value is out of range.
      {"", 1},
      {"   ", 4},
      {"-", 2},
      {"0x", 3},
      {"$", 2},
      {"2147483648", 11},
      {"-2147483649", 12},
  };
  for (const auto& c : cases) {
    int errorPosition = 0;
    TextToInteger(c.text, errorPosition);
    EXPECT_EQ(errorPosition, c.errorPosition) << "'" << c.text << "'";
  }
}

TEST(SameTextIgnoreCase, FoldsAsciiLettersOnly) {
  struct Case {
    std::string a, b;
    bool same;
  } cases[] = {
      {"margin", "MARGIN", true},
      {"margin", "Margin", true},
      {"", "", true},
      {"BtnFaceColor", "btnfacecolor", true},
      {"Marg", "Margin", false},
      {"Margin", "Marg", false},
      {"", "x", false},
      {"\xC9", "\xE9", false},  // "É" and "é" in a single-byte code page
      {"\xE9", "\xE9", true},
      {"[", "{", false},  // 0x5B and 0x7B differ by the case bit but are no letters
      {"@", "`", false},
      {"yes", "YES", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameTextIgnoreCase(c.a, c.b), c.same) << "'" << c.a << "' vs '" << c.b << "'";
  }
}

}  // namespace
