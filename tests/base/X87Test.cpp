#include "base/X87.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

Extended Multiply(volatile Extended a, volatile Extended b) { return a * b; }

TEST(X87, MaskedScopeGivesBackTheCallersWordWithFlagsCleared) {
  const uint16_t callerWords[] = {kStandingControlWord, 0x027F /* 53-bit precision */, 0x0F7F /* round to zero */};
  for (uint16_t word : callerWords) {
    SetX87ControlWord(word);
    volatile Extended result = 0;
    uint16_t raised = 0;
    {
      MaskedExtendedScope scope;
      // Bit 6 is reserved and reads back as 1.
      EXPECT_EQ(GetX87ControlWord() | 0x40, kMaskedExtendedControlWord | 0x40);
      result = Multiply(std::numeric_limits<Extended>::max(), 2);
      raised = scope.RaisedFlags();
    }
    EXPECT_TRUE(raised & kX87Overflow);
    EXPECT_EQ(result, std::numeric_limits<Extended>::infinity());
    EXPECT_EQ(GetX87ControlWord(), word);
    EXPECT_EQ(GetX87StatusWord() & kX87AllFlags, 0);
  }
  SetX87ControlWord(kStandingControlWord);
}

TEST(X87, ExtendedHasA64BitSignificand) {
  // 2^64 + 1 is not representable, 2^63 + 1 is.
  volatile Extended big = 9223372036854775808.0L;
  EXPECT_NE(big + 1, big);
  volatile Extended bigger = 18446744073709551616.0L;
  EXPECT_EQ(bigger + 1, bigger);
}

}  // namespace
