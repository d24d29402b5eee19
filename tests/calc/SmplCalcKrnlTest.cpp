#include "calc/SmplCalcKrnl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr Extended kInf = std::numeric_limits<Extended>::infinity();
constexpr Extended kMax = std::numeric_limits<Extended>::max();
const Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();

// A kernel that records what GetValue returns at each change report.
struct Recorder {
  TSmplCalcKrnl kernel;
  std::vector<Extended> reported;
  Recorder() {
    kernel.OnChange = [this](TSmplCalcKrnl& sender) { reported.push_back(sender.GetValue()); };
  }
};

// Presses calculator keys as the key actions do: consecutive digits are one operand
// whose value so far goes to SetEntry at each digit; + - * / are the operator codes
// 0 to 3; "=" evaluates. 'M' enters the largest extended value; spaces only separate.
void Press(TSmplCalcKrnl& kernel, const std::string& keys) {
  std::string typed;
  for (char key : keys) {
    if (key >= '0' && key <= '9') {
      typed += key;
      kernel.SetEntry(std::stold(typed));
      continue;
    }
    typed.clear();
    switch (key) {
      case 'M': kernel.SetEntry(kMax); break;
      case '+': kernel.ApplyOperator(0); break;
      case '-': kernel.ApplyOperator(1); break;
      case '*': kernel.ApplyOperator(2); break;
      case '/': kernel.ApplyOperator(3); break;
      case '=': kernel.Evaluate(0); break;
      default: break;
    }
  }
}

bool SameValue(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b;  // infinities compare with their sign
}

std::string ListText(const std::vector<Extended>& values) {
  std::string text;
  for (Extended v : values) text += (text.empty() ? "" : ", ") + std::to_string(static_cast<double>(v));
  return text;
}

bool SameList(const std::vector<Extended>& a, const std::vector<Extended>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!SameValue(a[i], b[i])) return false;
  return true;
}

struct KeyCase {
  const char* keys;
  std::vector<Extended> reported;
};

TEST(SmplCalcKrnl, ReportsOneValuePerKey) {
  const KeyCase cases[] = {
      // Precedence, and a repeated "=" repeating the last fold's right operand (3 × 4).
      {"2+3*4=", {2, 2, 3, 3, 4, 14}},
      {"2+3*4===", {2, 2, 3, 3, 4, 14, 26, 38}},
      {"3*4===", {3, 3, 4, 12, 48, 192}},
      // An operator key right after another replaces it, for every pair of levels.
      {"2+*3=", {2, 2, 2, 3, 6}},
      {"2*+3=", {2, 2, 2, 3, 5}},
      {"6+-2=", {6, 6, 6, 2, 4}},
      {"6*/2=", {6, 6, 6, 2, 3}},
      {"1+2*+3=", {1, 1, 2, 2, 3, 3, 6}},
      {"1+2*-3=", {1, 1, 2, 2, 3, 3, 0}},
      // An operator followed by "=" takes the value on display as its right operand.
      {"5-=", {5, 5, 0}},
      {"5-===", {5, 5, 0, -5, -10}},
      {"2*3+=", {2, 2, 3, 6, 12}},
      // Left to right within a level; products fold before sums.
      {"7-2-1=", {7, 7, 2, 5, 1, 4}},
      {"8/2/2=", {8, 8, 2, 4, 2, 2}},
      {"2*3+4*5=", {2, 2, 3, 6, 4, 4, 5, 26}},
      {"12+34=", {1, 12, 12, 3, 34, 46}},
      // After "=": a digit starts afresh, an operator continues with the result.
      {"2+3= 4=", {2, 2, 3, 5, 4, 4}},
      {"2+3= *4=", {2, 2, 3, 5, 5, 4, 20}},
      {"1+2= +=", {1, 1, 2, 3, 3, 6}},
      // No error: infinities and NaN, and they flow on.
      {"1/0=", {1, 1, 0, kInf}},
      {"0/0=", {0, 0, 0, kNaN}},
      {"0-1= /0=", {0, 0, 1, -1, -1, 0, -kInf}},
      {"M*2=", {kMax, kMax, 2, kInf}},
      {"0-M-M=", {0, 0, kMax, -kMax, kMax, -kInf}},
      {"1/0= +1=", {1, 1, 0, kInf, kInf, 1, kInf}},
      {"1/0= *0=", {1, 1, 0, kInf, kInf, 0, kNaN}},
      {"0/0= +1=", {0, 0, 0, kNaN, kNaN, 1, kNaN}},
      // Nothing pending: "=" shows the operand.
      {"=", {0}},
      {"7=", {7, 7}},
  };
  for (const KeyCase& c : cases) {
    Recorder r;
    Press(r.kernel, c.keys);
    EXPECT_TRUE(SameList(r.reported, c.reported))
        << "keys \"" << c.keys << "\": reported " << ListText(r.reported) << ", expected " << ListText(c.reported);
  }
}

// What the slots hold after "=": a folded slot keeps its operation with the partial result,
// and the product is switched off once the sum has taken it in.
TEST(SmplCalcKrnl, SlotsAfterAnEvaluation) {
  struct Case {
    const char* keys;
    Extended operand, accumulator;
    bool additive;
    Extended additiveLeft;
    bool multiplicative;
    Extended multiplicativeLeft;
  };
  const Case cases[] = {
      {"2+3*4=", 12, 14, true, 14, false, 12},
      {"3*4=", 4, 12, false, 0, true, 12},
      {"1/0=", 0, kInf, false, 0, true, kInf},
  };
  for (const Case& c : cases) {
    TSmplCalcKrnl k;
    Press(k, c.keys);
    EXPECT_EQ(k.State, TSmplCalcKrnl::ResultShown) << c.keys;
    EXPECT_EQ(k.Operand, c.operand) << c.keys;
    EXPECT_EQ(k.Accumulator, c.accumulator) << c.keys;
    EXPECT_EQ(k.Pending[0].Active, c.additive) << c.keys;
    EXPECT_EQ(k.Pending[0].LeftValue, c.additiveLeft) << c.keys;
    EXPECT_EQ(k.Pending[1].Active, c.multiplicative) << c.keys;
    EXPECT_EQ(k.Pending[1].LeftValue, c.multiplicativeLeft) << c.keys;
  }
}

// Each operation's state afterwards, the slots it leaves, and its one report.
TEST(SmplCalcKrnl, StateTransitions) {
  struct Case {
    const char* name;
    const char* setup;  // keys before the operation
    void (*operation)(TSmplCalcKrnl&);
    uint8_t state;
    bool additive, multiplicative;  // Pending[].Active afterwards
  };
  auto entry = [](TSmplCalcKrnl& k) { k.SetEntry(9); };
  auto plus = [](TSmplCalcKrnl& k) { k.ApplyOperator(0); };
  auto times = [](TSmplCalcKrnl& k) { k.ApplyOperator(2); };
  auto equals = [](TSmplCalcKrnl& k) { k.Evaluate(0); };
  auto reset = [](TSmplCalcKrnl& k) { k.Reset(9); };
  const uint8_t idle = 0, entering = TSmplCalcKrnl::Entering, shown = TSmplCalcKrnl::ResultShown;
  const Case cases[] = {
      {"SetEntry from idle keeps the slots", "1+2*", entry, entering, true, true},
      {"SetEntry from entering keeps the slots", "1+2*3", entry, entering, true, true},
      {"SetEntry from result shown drops them", "1+2*3=", entry, entering, false, false},
      {"SetEntry from result shown drops the repeating product", "2*3=", entry, entering, false, false},
      {"+ from entering folds both levels", "1+2*3", plus, idle, true, false},
      {"× from entering keeps the sum", "1+2", times, idle, true, true},
      {"+ from result shown starts afresh", "2*3=", plus, idle, true, false},
      {"× from result shown starts afresh", "1+2=", times, idle, false, true},
      {"× replacing + drops the sum", "1+", times, idle, false, true},
      {"= from entering", "1+2*3", equals, shown, true, false},
      {"= with only a product pending keeps it", "2*3", equals, shown, false, true},
      {"Reset from entering", "1+2*3", reset, idle, false, false},
      {"Reset from result shown", "2*3=", reset, idle, false, false},
  };
  for (const Case& c : cases) {
    Recorder r;
    Press(r.kernel, c.setup);
    r.reported.clear();
    c.operation(r.kernel);
    EXPECT_EQ(r.kernel.State, c.state) << c.name;
    EXPECT_EQ(r.kernel.Pending[0].Active, c.additive) << c.name;
    EXPECT_EQ(r.kernel.Pending[1].Active, c.multiplicative) << c.name;
    EXPECT_EQ(r.reported.size(), 1u) << c.name;
  }
}

// During ApplyOperator the handler sees the partial result with ResultShown set.
TEST(SmplCalcKrnl, OperatorReportsFromInsideItsEvaluation) {
  TSmplCalcKrnl kernel;
  Press(kernel, "2*3");
  uint8_t stateSeen = 0;
  Extended accumulatorSeen = 0;
  kernel.OnChange = [&](TSmplCalcKrnl& sender) {
    stateSeen = sender.State;
    accumulatorSeen = sender.Accumulator;
  };
  kernel.ApplyOperator(0);
  EXPECT_EQ(stateSeen, TSmplCalcKrnl::ResultShown);
  EXPECT_EQ(accumulatorSeen, 6);
  EXPECT_EQ(kernel.GetValue(), 6);
  EXPECT_EQ(kernel.Level, 0);
}

TEST(SmplCalcKrnl, NewKernelIsAllZero) {
  TSmplCalcKrnl kernel;
  EXPECT_EQ(kernel.GetValue(), 0);
  EXPECT_EQ(kernel.State, 0);
  EXPECT_FALSE(kernel.Pending[0].Active || kernel.Pending[1].Active);
  EXPECT_FALSE(kernel.OnChange);
}

TEST(SmplCalcKrnl, ResetAfterAnEvaluation) {
  Recorder r;
  Press(r.kernel, "2+3*4=");
  r.reported.clear();
  r.kernel.Reset(7);
  EXPECT_EQ(r.kernel.Accumulator, 14);  // kept, but no longer on display
  EXPECT_EQ(r.kernel.GetValue(), 7);
  EXPECT_EQ(r.kernel.Level, 0);
  Press(r.kernel, "=");
  EXPECT_TRUE(SameList(r.reported, {7, 7})) << ListText(r.reported);
  // Nothing pending came back: a further "=" still shows 7.
  Press(r.kernel, "=");
  EXPECT_EQ(r.kernel.GetValue(), 7);
}

TEST(SmplCalcKrnl, BehavesTheSameWithoutAHandler) {
  const char* sequences[] = {"2+3*4===", "2*+3=", "1/0= *0=", "5-===", "2+3= 4="};
  for (const char* keys : sequences) {
    Recorder withHandler;
    TSmplCalcKrnl without;
    Press(withHandler.kernel, keys);
    Press(without, keys);
    const TSmplCalcKrnl& a = withHandler.kernel;
    EXPECT_TRUE(SameValue(without.Operand, a.Operand)) << keys;
    EXPECT_TRUE(SameValue(without.Accumulator, a.Accumulator)) << keys;
    EXPECT_EQ(without.State, a.State) << keys;
    EXPECT_EQ(without.Level, a.Level) << keys;
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(without.Pending[i].Active, a.Pending[i].Active) << keys << " slot " << i;
      EXPECT_EQ(without.Pending[i].Operation, a.Pending[i].Operation) << keys << " slot " << i;
      EXPECT_TRUE(SameValue(without.Pending[i].LeftValue, a.Pending[i].LeftValue)) << keys << " slot " << i;
    }
  }
}

// Only levels 0 and 1 have a slot; other levels touch nothing outside the two slots.
TEST(SmplCalcKrnl, LevelsWithoutASlot) {
  Recorder r;
  Press(r.kernel, "2+3*4");
  const std::vector<Extended> before = r.reported;
  for (uint8_t code : {4, 5, 0x7E, 0x7F, 0xFE}) {
    r.kernel.ApplyOperator(code);
    EXPECT_EQ(r.kernel.State, TSmplCalcKrnl::Entering) << "code " << int(code);
    EXPECT_EQ(r.kernel.Level, 1) << "code " << int(code);
  }
  EXPECT_EQ(r.reported.size(), before.size());
  // Bit 7 is ignored: 0x83 is a division.
  r.kernel.ApplyOperator(0x83);
  EXPECT_EQ(r.kernel.GetValue(), 12);
  EXPECT_TRUE(r.kernel.Pending[1].Active);
  EXPECT_EQ(r.kernel.Pending[1].Operation, 1);
  Press(r.kernel, "2=");
  EXPECT_EQ(r.kernel.GetValue(), 8);  // 2 + 12 / 2

  // Negative levels reach both slots and no further.
  TSmplCalcKrnl k;
  Press(k, "2+3*4");
  k.Evaluate(-5);
  EXPECT_EQ(k.Accumulator, 14);
  k.ClearPending(-1);
  EXPECT_FALSE(k.Pending[0].Active || k.Pending[1].Active);
  EXPECT_EQ(k.Level, -1);
}

// The caller's word unmasks overflow, division by zero and invalid operation: an
// operation that raises any of them must neither trap nor leave a flag or its own
// word behind.
TEST(SmplCalcKrnl, ArithmeticNeverTrapsAndGivesTheCallersWordBack) {
  const uint16_t callerWord = 0x1332;
  const char* sequences[] = {"M*2=", "1/0=", "0/0=", "1/0= *0=", "0-M-M="};
  const Extended expected[] = {kInf, kInf, kNaN, kNaN, -kInf};
  for (size_t i = 0; i < std::size(sequences); ++i) {
    TSmplCalcKrnl kernel;
    ClearX87Exceptions();
    SetX87ControlWord(callerWord);
    const uint16_t wordBefore = GetX87ControlWord();
    Press(kernel, sequences[i]);
    const uint16_t wordAfter = GetX87ControlWord();
    const uint16_t flagsAfter = GetX87StatusWord() & kX87AllFlags;
    SetX87ControlWord(kStandingControlWord);
    EXPECT_EQ(wordAfter, wordBefore) << sequences[i];
    EXPECT_EQ(flagsAfter, 0) << sequences[i];
    EXPECT_TRUE(SameValue(kernel.Accumulator, expected[i])) << sequences[i];
  }
}

// The kernel computes with a 64-bit significand, rounding to nearest, whatever precision
// and rounding the caller's word selects.
TEST(SmplCalcKrnl, ArithmeticIgnoresTheCallersPrecisionAndRounding) {
  volatile Extended one = 1, three = 3;
  const Extended third = one / three;  // under the standing word
  const uint16_t callerWords[] = {0x027F /* 53-bit precision */, 0x007F /* 24-bit */, 0x0F7F /* toward zero */};
  for (uint16_t word : callerWords) {
    TSmplCalcKrnl kernel;
    SetX87ControlWord(word);
    Press(kernel, "1/3=");
    SetX87ControlWord(kStandingControlWord);
    EXPECT_EQ(kernel.Accumulator, third) << "caller word " << std::hex << word;
  }
}

}  // namespace
