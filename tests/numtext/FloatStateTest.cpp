// The conversions run in their own floating-point state: whatever precision, rounding and
// exception masks the caller has set, the digits are the same and the caller gets its
// control word back with no exception flag left pending.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "NumTextSupport.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

namespace {

struct Results {
  std::string texts[6];
  bool parsed[3] = {};
  Extended values[3] = {};
  uint16_t controlWord = 0;
  uint16_t flags = 0;
};

// Runs every conversion under the caller's word. Nothing between setting the word and
// reading it back may do arithmetic of its own, or an unmasked exception would trap.
Results ConvertUnder(uint16_t callerWord, Extended third, Extended big) {
  Results r;
  const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
  SetX87ControlWord(callerWord);
  ClearX87Exceptions();
  r.texts[0] = DisplayNumberText(third, 18);
  r.texts[1] = PasteNumberText(third);
  r.texts[2] = DisplayNumberText(big, 19);
  r.texts[3] = PasteNumberText(nan);
  r.texts[4] = NumberToText(1e-4940L, 18, 3);
  r.parsed[0] = TryTextToNumber("0.1", r.values[0]);
  r.parsed[1] = TryTextToNumber("2e4932", r.values[1]);  // overflows
  r.parsed[2] = TryTextToNumber("123456789.123456789e-4000", r.values[2]);
  r.texts[5] = NumberToText(r.values[2], 18, 0);
  r.controlWord = GetX87ControlWord();
  r.flags = GetX87StatusWord() & kX87AllFlags;
  SetX87ControlWord(kStandingControlWord);
  return r;
}

TEST(FloatState, CallersWordComesBackAndDigitsDoNotDependOnIt) {
  const Extended third = Calc(2, '/', 3);
  const Extended big = Calc(std::numeric_limits<Extended>::max(), '/', 3);
  const Results reference = ConvertUnder(kStandingControlWord, third, big);
  ASSERT_EQ(reference.texts[0], "0.666666666666666667");
  ASSERT_TRUE(reference.parsed[0] && !reference.parsed[1] && reference.parsed[2]);

  const struct {
    const char* name;
    uint16_t word;
  } callers[] = {
      {"53-bit precision", 0x027F}, {"24-bit precision", 0x007F},
      {"round to zero", 0x0F7F},    {"round up, 53-bit", 0x0A7F},
      {"round down", 0x077F},       {"invalid, zero divide and overflow unmasked", 0x1332},
  };
  for (const auto& caller : callers) {
    const Results r = ConvertUnder(caller.word, third, big);
    // Bit 6 is reserved and reads back as 1.
    EXPECT_EQ(r.controlWord | 0x40, caller.word | 0x40) << caller.name;
    EXPECT_EQ(r.flags, 0) << caller.name;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(r.texts[i], reference.texts[i]) << caller.name << ", text " << i;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(r.parsed[i], reference.parsed[i]) << caller.name << ", parse " << i;
      if (r.parsed[i]) {
        EXPECT_EQ(SignificandOf(r.values[i]), SignificandOf(reference.values[i])) << caller.name << ", parse " << i;
        EXPECT_EQ(SignAndExponentOf(r.values[i]), SignAndExponentOf(reference.values[i]))
            << caller.name << ", parse " << i;
      }
    }
  }
}

}  // namespace
