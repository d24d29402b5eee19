#include "numtext/NumFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

#include "NumTextSupport.h"
#include "numtext/NumText.h"

namespace {

Extended Parsed(const char* text) { return TextToNumber(text); }

TEST(NumberFormat, DisplayAndPasteForms) {
  struct Row {
    const char* name;
    Extended value;
    const char* request19;
    const char* request18;
    const char* request17;
    const char* request3;
    const char* paste;
  };
  const Row rows[] = {
      {"1/3", Calc(1, '/', 3), "0.333333333333333", "0.333333333333333333", "0.33333333333333333", "0.333",
       "0.333333333333333"},
      {"2/3", Calc(2, '/', 3), "0.666666666666667", "0.666666666666666667", "0.66666666666666667", "0.667",
       "0.666666666666667"},
      {"1/7", Calc(1, '/', 7), "0.142857142857143", "0.142857142857142857", "0.14285714285714286", "0.143",
       "0.142857142857143"},
      {"10^20", 1e20L, "1E020", "1E020", "1E020", "1E020", "1E20"},
      {"10^15", 1e15L, "1E015", "1000000000000000", "1000000000000000", "1E015", "1E15"},
      {"123456789", 123456789, "123456789", "123456789", "123456789", "1.23E008", "123456789"},
      {"123456789012345678", 123456789012345678.0L, "1.23456789012346E017", "123456789012345678",
       "1.2345678901234568E017", "1.23E017", "1.23456789012346E17"},
      {"2^64", 18446744073709551616.0L, "1.84467440737096E019", "1.84467440737095516E019", "1.8446744073709552E019",
       "1.84E019", "1.84467440737096E19"},
      {"0.1+0.2", Calc(Parsed("0.1"), '+', Parsed("0.2")), "0.3", "0.3", "0.3", "0.3", "0.3"},
      {"999999999999999.9", Parsed("999999999999999.9"), "1E015", "999999999999999.9", "999999999999999.9", "1E015",
       "1E15"},
      {"0.0001", Parsed("0.0001"), "0.0001", "0.0001", "0.0001", "0.0001", "0.0001"},
      {"0.00001", Parsed("0.00001"), "1E-005", "1E-005", "1E-005", "1E-005", "1E-5"},
      {"0.0001/3", Calc(Parsed("0.0001"), '/', 3), "3.33333333333333E-005", "3.33333333333333333E-005",
       "3.3333333333333333E-005", "3.33E-005", "3.33333333333333E-5"},
      {"-1/3", Calc(-1, '/', 3), "-0.333333333333333", "-0.333333333333333333", "-0.33333333333333333", "-0.333",
       "-0.333333333333333"},
      {"-0.00000015", Parsed("-0.00000015"), "-1.5E-007", "-1.5E-007", "-1.5E-007", "-1.5E-007", "-1.5E-7"},
      {"largest", std::numeric_limits<Extended>::max(), "1.18973149535723E4932", "1.18973149535723176E4932",
       "1.1897314953572318E4932", "1.19E4932", "1.18973149535723E4932"},
      {"smallest normal", std::numeric_limits<Extended>::min(), "3.36210314311209E-4932", "3.36210314311209351E-4932",
       "3.3621031431120935E-4932", "3.36E-4932", "3.36210314311209E-4932"},
      // The exponent estimate is one too high for this value; the digits must not start with 0.
      {"2^-681", ExtendedFromBits(16383 - 681, 0x8000000000000000u), "9.96719495109757E-206",
       "9.96719495109756754E-206", "9.9671949510975675E-206", "9.97E-206", "9.96719495109757E-206"},
      {"1/4", Calc(1, '/', 4), "0.25", "0.25", "0.25", "0.25", "0.25"},
      {"-12.5", -12.5L, "-12.5", "-12.5", "-12.5", "-12.5", "-12.5"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DisplayNumberText(r.value, 19), r.request19) << r.name;
    EXPECT_EQ(DisplayNumberText(r.value, 18), r.request18) << r.name;
    EXPECT_EQ(DisplayNumberText(r.value, 17), r.request17) << r.name;
    EXPECT_EQ(DisplayNumberText(r.value, 3), r.request3) << r.name;
    EXPECT_EQ(PasteNumberText(r.value), r.paste) << r.name;
  }
}

TEST(NumberFormat, RequestsOutsideTwoToEighteen) {
  struct Row {
    const char* name;
    Extended value;
    const char* text;  // for the requests 0, 1 and 2
  };
  const Row rows[] = {
      {"1/3", Calc(1, '/', 3), "0.33"},    {"2/3", Calc(2, '/', 3), "0.67"}, {"100", 100, "1E002"},
      {"123456789", 123456789, "1.2E008"}, {"123456", 123456, "1.2E005"},
  };
  for (const Row& r : rows) {
    for (int request : {0, 1, 2}) EXPECT_EQ(DisplayNumberText(r.value, request), r.text) << r.name << " at " << request;
    const std::string at19 = DisplayNumberText(r.value, 19);
    for (int request : {-1, -2, -19, INT_MIN, 20, 1000, INT_MAX})
      EXPECT_EQ(DisplayNumberText(r.value, request), at19) << r.name << " at " << request;
  }
  EXPECT_EQ(DisplayNumberText(123456, 6), "123456") << "fewer digits, longer text";

  // The calc edit lowers its request one at a time from 19 until the text fits.
  const Extended third = Calc(1, '/', 3);
  const int expectedDigits[] = {15, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 2, 15};
  for (int request = 19; request >= -1; --request) {
    const std::string text = DisplayNumberText(third, request);
    EXPECT_EQ(text.size() - 2, static_cast<size_t>(expectedDigits[19 - request])) << "request " << request;
  }
}

TEST(NumberFormat, PrecisionIsClampedAndExponentDigitsArePadded) {
  const Extended seventh = Calc(1, '/', 7);
  EXPECT_EQ(NumberToText(seventh, 1, 0), NumberToText(seventh, 2, 0));
  EXPECT_EQ(NumberToText(seventh, -40, 0), "0.14");
  EXPECT_EQ(NumberToText(seventh, 99, 0), NumberToText(seventh, 18, 0));
  EXPECT_EQ(NumberToText(1e-5L, 15, 5), "1E-00005");
  EXPECT_EQ(NumberToText(1e123L, 15, 2), "1E123");
  EXPECT_EQ(NumberToText(1e123L, 15, 0), "1E123");
  EXPECT_EQ(NumberToText(10, 15, 0), "10");
  EXPECT_EQ(NumberToText(1e2L, 2, 0), "1E2");
}

TEST(NumberFormat, RoundingLooksAtOneDigitOnly) {
  struct Row {
    const char* text;  // parsed
    int precision;
    const char* expected;
  } rows[] = {
      {"0.125", 2, "0.13"},  // an exact tie rounds up, not to even
      {"2.675", 3, "2.68"},  // stored just below the tie, yet its 18 digits end in 5000
      {"0.00012345", 4, "0.0001235"},
      {"0.12344999", 4, "0.1234"},
      {"0.99995", 4, "1"},  // carry out of the first digit
      {"9.9999999999999999", 15, "10"},
      {"999999.5", 6, "1E006"},      // the carry moves it past the fixed layout
      {"0.000099995", 4, "0.0001"},  // ... or into it
      {"0.000099995", 5, "9.9995E-005"},
      {"1.0005", 3, "1"},  // trailing zeros go after rounding down
      {"1.0005", 4, "1.001"},
      {"120", 2, "1.2E002"},
      {"1200000", 3, "1.2E006"},
      {"1234.5", 18, "1234.5"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(NumberToText(Parsed(r.text), r.precision, 3), r.expected) << r.text << " at " << r.precision;
  }
}

TEST(NumberFormat, ZeroInfinityAndNaNByTheirBits) {
  const uint64_t integerBit = 0x8000000000000000u;
  struct Row {
    const char* name;
    uint16_t signAndExponent;
    uint64_t significand;
    const char* text;
  } rows[] = {
      {"zero", 0x0000, 0, "0"},
      {"negative zero", 0x8000, 0, "0"},
      {"smallest denormal", 0x0000, 1, "0"},
      {"largest negative denormal", 0x8000, integerBit - 1, "0"},
      {"pseudo-denormal", 0x0000, integerBit | 5, "0"},
      {"infinity", 0x7FFF, integerBit, "INF"},
      {"negative infinity", 0xFFFF, integerBit, "-INF"},
      {"pseudo-infinity", 0x7FFF, 0, "INF"},
      {"negative pseudo-infinity", 0xFFFF, 0, "-INF"},
      {"pseudo-NaN, integer bit clear", 0xFFFF, 0x4000000000000000u, "-INF"},
      {"pseudo-NaN, low bit", 0x7FFF, 1, "INF"},
      {"quiet NaN", 0x7FFF, 0xC000000000000000u, "NAN"},
      {"NaN indefinite", 0xFFFF, 0xC000000000000000u, "NAN"},
      {"signalling NaN", 0x7FFF, integerBit | 1, "NAN"},
      {"negative signalling NaN", 0xFFFF, integerBit | 1, "NAN"},
      // Unnormals never come out of arithmetic; they are read for the value they encode.
      {"unnormal one half", 0x3FFF, 0x4000000000000000u, "0.5"},
      {"negative unnormal", 0xC000, 0x6000000000000000u, "-1.5"},
      {"pseudo-zero", 0x3FFF, 0, "0"},
      {"unnormal below the normal range", 0x0001, 0x4000000000000000u, "0"},
  };
  for (const Row& r : rows) {
    const Extended value = ExtendedFromBits(r.signAndExponent, r.significand);
    for (int request : {-1, 0, 3, 15, 18, 19}) {
      EXPECT_EQ(DisplayNumberText(value, request), r.text) << r.name << " at " << request;
    }
    EXPECT_EQ(PasteNumberText(value), r.text) << r.name;
  }
  EXPECT_EQ(PasteNumberText(Calc(0, '/', 0)), "NAN");
  EXPECT_EQ(PasteNumberText(Calc(-1, '/', 0)), "-INF");
  EXPECT_EQ(PasteNumberText(-0.0L), "0");
}

TEST(NumberFormat, DecimalFormMarkersAndDigits) {
  struct Row {
    const char* name;
    Extended value;
    int precision;
    int16_t exponent;
    bool negative;
    const char* digits;
  } rows[] = {
      {"negative zero", -0.0L, 15, 0, false, ""},
      {"infinity", std::numeric_limits<Extended>::infinity(), 15, kInfinityExponent, false, ""},
      {"negative infinity", -std::numeric_limits<Extended>::infinity(), 15, kInfinityExponent, true, ""},
      {"NaN", ExtendedFromBits(0xFFFF, 0xC000000000000000u), 15, kNaNExponent, false, ""},
      {"100", 100, 18, 3, false, "1"},
      {"0.00012", Parsed("0.00012"), 18, -3, false, "12"},
      {"0.99995", Parsed("0.99995"), 4, 1, false, "1"},
  };
  for (const Row& r : rows) {
    const DecimalForm form = ToDecimalForm(r.value, r.precision);
    EXPECT_EQ(form.Exponent, r.exponent) << r.name;
    EXPECT_EQ(form.Negative, r.negative) << r.name;
    if (r.exponent != kInfinityExponent && r.exponent != kNaNExponent) {
      EXPECT_EQ(form.Digits, r.digits) << r.name;
    }
  }
}

TEST(NumberFormat, UsesTheLocaleSeparator) {
  SeparatorOverride comma(',');
  EXPECT_EQ(DisplayNumberText(Calc(1, '/', 4), 19), "0,25");
  EXPECT_EQ(DisplayNumberText(Parsed("-0,00000015"), 19), "-1,5E-007");
  EXPECT_EQ(PasteNumberText(Parsed("1234,5")), "1234,5");
  EXPECT_EQ(PasteNumberText(1e20L), "1E20");
  EXPECT_EQ(PasteNumberText(Parsed("0,001")), "0,001");
}

}  // namespace
