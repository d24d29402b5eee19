#include <gtest/gtest.h>

#include <array>

#include "Fakes.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumFormat.h"

namespace {

// Keys as kernel calls, each reported value as pasted: a digit SetEntry, + - * / ApplyOperator
// 0 to 3, = Evaluate(0), R Reset(7), x a code with bit 7 set (multiply), ! a level without a
// slot. Under a caller's word that unmasks division by zero and overflow, which must come back.
TEST(Kernel, ReportsEachChangeOfTheDisplayedValue) {
  // clang-format off
  const std::pair<const char*, const char*> rows[] = {
      {"2+3*4===", "2 2 3 3 4 14 26 38 "}, {"3*4===", "3 3 4 12 48 192 "}, {"2+*3=", "2 2 2 3 6 "},
      {"2*+3=", "2 2 2 3 5 "}, {"1+2*+3=", "1 1 2 2 3 3 6 "}, {"5-===", "5 5 0 -5 -10 "}, {"7-2-1=", "7 7 2 5 1 4 "},
      {"8/2/2=", "8 8 2 4 2 2 "}, {"2*3+4*5=", "2 2 3 6 4 4 5 26 "}, {"1/0=+1=*0=", "1 1 0 INF INF 1 INF INF 0 NAN "},
      {"0/0=", "0 0 0 NAN "}, {"2+3=4=", "2 2 3 5 4 4 "}, {"2+3=*4=", "2 2 3 5 5 4 20 "}, {"1+2=+=", "1 1 2 3 3 6 "},
      {"2+3=R=", "2 2 3 5 7 7 "}, {"=", "0 "}, {"2x3!=", "2 2 3 6 "}, {"2*3=R+1=", "2 2 3 6 7 7 1 8 "},
      {"9-+2=", "9 9 9 2 11 "}, {"6/*2=", "6 6 6 2 12 "}};
  // clang-format on
  SetX87ControlWord(0x1332);
  const uint16_t word = GetX87ControlWord();
  for (auto [keys, reported] : rows) {
    TSmplCalcKrnl kernel;
    std::string got;
    kernel.OnChange = [&](TSmplCalcKrnl& sender) { got += PasteNumberText(sender.GetValue()) + " "; };
    for (const char* key = keys; *key; ++key) {
      if (*key >= '0' && *key <= '9') kernel.SetEntry(*key - '0');
      const size_t op = std::string("+-*/x!").find(*key);
      if (op != std::string::npos) kernel.ApplyOperator(std::array<uint8_t, 6>{0, 1, 2, 3, 0x82, 4}[op]);
      if (*key == '=') kernel.Evaluate(0);
      if (*key == 'R') kernel.Reset(7);
      EXPECT_EQ(GetX87ControlWord(), word) << keys;
    }
    EXPECT_EQ(got, reported) << keys;
  }
  SetX87ControlWord(kStandingControlWord);
}

// Keys of the pad where they lie on it ("." the decimal key); "M" is the middle button.
void Press(Program& p, const std::string& keys) {
  for (char key : keys) {
    const size_t at = std::string("789/456*123-0.=+").find(key);
    if (key == 'M') HandlePadMessage(p.pad, p.pad, msg::MButtonDown, TPoint{});
    if (at != std::string::npos) KeyAction(p.pad, p.pad, KeyAt(static_cast<int>(at % 4), static_cast<int>(at / 4 + 1)));
  }
}

// Keys in both modes: the calc edit's text (none in keypad mode; it fits 17 characters), the
// target's text before (its caret "|") and after (its selection in brackets), and the beeps.
// The keypad's decimal key is the numeric keypad's whatever the locale; the calculator types
// the locale's separator. A target of a higher integrity level than the pad's, or one that
// cannot be asked, gets nothing: a beep, and no key, grab, paste or change of mode or kernel.
TEST(KeyActions, TypingCalculatingAndPasting) {
  // clang-format off
  struct Row {
    const char* field, *keys, *expected;
    TIntegrity level = 0x2000, own = 0x2000;
    bool foreground = true;
    int charWidth = 6;
    char separator = '.';
  } rows[] = {
      {"|", "7.5", "|7.5|0"}, {"Total 12.5|", "=", "12.5|Total [12.5]|0"}, {"Total 12.5|", "=*2=", "25|Total [25]|0"},
      {"|", "M12", "12||0"}, {"|", "M.5+", "0.5||0"}, {"|", "M.", ".||0"},
      {"|", "M5..", "5.||1"}, {"|", "M007", "007||0"}, {"|", "M007+", "7||0"}, {"|", "M1+.5*.5", ".5||0"},
      {"|", "M1/0=", "INF|[INF]|0"}, {"|", "M1/3=", "0.333333333333333|[0.333333333333333]|0"},
      {"|", "M10000000000*10000000000=", "1E020|[1E20]|0"},
      {"|", "M123456789*1000000001=", "1.23456789123E017|[1.23456789123457E17]|0"},
      {"|", "M111111111111111111", "11111111111111111||1"}, {"|", "M2+3=4", "4|[5]|0"}, {"1|", "M+", "0|1|0"},
      {"|", "M1/3=", "0.33|[0.333333333333333]|0", 0x2000, 0x2000, true, 100},
      {"|", "1.5M1.5+", "1,5|1.5|0", 0x2000, 0x2000, true, 6, ','},
      {"12|", "7=", "|12|2", 0x3000}, {"12|", "M1+2=", "2|12|1", 0x3000}, {"12|", "7", "|12|1", std::nullopt},
      {"12|", "7", "|127|0", 0x1000}, {"12|", "7", "|127|0", 0x3000, std::nullopt},
      {"12|", "7", "|127|0", std::nullopt, 0x2000, false}};
  // clang-format on
  for (const Row& row : rows) {
    Program p;
    p.target.Set(row.field);
    p.target.level = row.level, p.target.own = row.own, p.target.foreground = row.foreground;
    p.pad.charWidth = row.charWidth;
    SetLocaleDecimalSeparator(row.separator);
    Press(p, row.keys);
    EXPECT_EQ(DisplayText + "|" + p.target.Shown() + "|" + std::to_string(p.pad.beeps + p.target.beeps), row.expected)
        << row.keys;
    EXPECT_EQ(CalcMode, row.expected[0] != '|') << row.keys;
  }
}

}  // namespace
