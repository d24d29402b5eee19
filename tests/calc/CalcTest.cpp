#include <gtest/gtest.h>

#include <optional>

#include "Fakes.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumFormat.h"

namespace {

struct KernelRow {
  const char* name;
  // Kernel calls: a digit SetEntry, + - * / the operators, = Evaluate, R Reset to 7, x
  // multiply with an unused high bit set, ! an operator of a level that has no slot.
  const char* calls;
  const char* reported;  // each value the change notification reported, as pasted
};

// Under a caller's control word that unmasks division by zero and overflow, which every
// call gives back as it found it.
TEST(Kernel, ReportsEachChangeOfTheDisplayedValue) {
  const KernelRow rows[] = {
      {.name = "x before +, and = repeats the last step", .calls = "2+3*4===", .reported = "2 2 3 3 4 14 26 38"},
      {.name = "= repeats a product", .calls = "3*4===", .reported = "3 3 4 12 48 192"},
      {.name = "a second operator replaces the first", .calls = "2+*3=", .reported = "2 2 2 3 6"},
      {.name = "a lower operator after a higher one", .calls = "2*+3=", .reported = "2 2 2 3 5"},
      {.name = "a pending sum under a replaced operator", .calls = "1+2*+3=", .reported = "1 1 2 2 3 3 6"},
      {.name = "= repeats a difference", .calls = "5-===", .reported = "5 5 0 -5 -10"},
      {.name = "- is left-associative", .calls = "7-2-1=", .reported = "7 7 2 5 1 4"},
      {.name = "/ is left-associative", .calls = "8/2/2=", .reported = "8 8 2 4 2 2"},
      {.name = "two products summed", .calls = "2*3+4*5=", .reported = "2 2 3 6 4 4 5 26"},
      {.name = "infinity and NaN carry on", .calls = "1/0=+1=*0=", .reported = "1 1 0 INF INF 1 INF INF 0 NAN"},
      {.name = "zero over zero", .calls = "0/0=", .reported = "0 0 0 NAN"},
      {.name = "a digit after = starts anew", .calls = "2+3=4=", .reported = "2 2 3 5 4 4"},
      {.name = "an operator after = goes on from the result", .calls = "2+3=*4=", .reported = "2 2 3 5 5 4 20"},
      {.name = "= after an operator uses the result twice", .calls = "1+2=+=", .reported = "1 1 2 3 3 6"},
      {.name = "a reset forgets the pending step", .calls = "2+3=R=", .reported = "2 2 3 5 7 7"},
      {.name = "= at start", .calls = "=", .reported = "0"},
      {.name = "high bits and unknown levels", .calls = "2x3!=", .reported = "2 2 3 6"},
      {.name = "a reset then a sum", .calls = "2*3=R+1=", .reported = "2 2 3 6 7 7 1 8"},
      {.name = "+ after - replaces it", .calls = "9-+2=", .reported = "9 9 9 2 11"},
      {.name = "* after / replaces it", .calls = "6/*2=", .reported = "6 6 6 2 12"},
  };
  const std::string operators = "+-*/x!";
  const uint8_t codes[] = {0, 1, 2, 3, 0x82, 4};
  SetX87ControlWord(0x1332);
  const uint16_t callersWord = GetX87ControlWord();
  for (const KernelRow& row : rows) {
    SCOPED_TRACE(row.name);
    TSmplCalcKrnl kernel;
    std::string reported;
    kernel.OnChange = [&](TSmplCalcKrnl& sender) {
      reported += (reported.empty() ? "" : " ") + PasteNumberText(sender.GetValue());
    };
    for (const char* call = row.calls; *call; ++call) {
      if (*call >= '0' && *call <= '9') kernel.SetEntry(*call - '0');
      if (operators.find(*call) != std::string::npos) kernel.ApplyOperator(codes[operators.find(*call)]);
      if (*call == '=') kernel.Evaluate(0);
      if (*call == 'R') kernel.Reset(7);
      EXPECT_EQ(GetX87ControlWord(), callersWord) << "after " << *call;
    }
    EXPECT_EQ(reported, row.reported);
  }
  SetX87ControlWord(kStandingControlWord);
}

// Presses keys by their captions ("*" the x key, "/" the division key, "." the decimal
// key); "M" is the middle button.
void Press(Program& p, const std::string& keys) {
  const std::string grid = "789/456*123-0.=+";
  for (char key : keys) {
    if (key == 'M') HandlePadMessage(p.pad, p.pad, msg::MButtonDown, TPoint{});
    const size_t at = grid.find(key);
    if (at != std::string::npos) KeyAction(p.pad, p.pad, KeyAt(static_cast<int>(at % 4), static_cast<int>(at / 4 + 1)));
  }
}

struct KeyRow {
  const char* caption;
  const char* keypad;      // what the focused application receives in keypad mode
  const char* calculator;  // what 6, this key, 2 and = paste in calculator mode
};

// Each of the sixteen keys in both modes. The keypad's decimal key is the numeric keypad's;
// in keypad mode the operator keys do nothing.
TEST(KeyActions, EveryKeyInBothModes) {
  const KeyRow rows[] = {
      {"7", "Numpad7", "672"}, {"8", "Numpad8", "682"}, {"9", "Numpad9", "692"}, {"÷", "", "3"},
      {"4", "Numpad4", "642"}, {"5", "Numpad5", "652"}, {"6", "Numpad6", "662"}, {"×", "", "12"},
      {"1", "Numpad1", "612"}, {"2", "Numpad2", "622"}, {"3", "Numpad3", "632"}, {"-", "", "4"},
      {"0", "Numpad0", "602"}, {".", "Decimal", "6.2"}, {"=", nullptr, "2"},     {"+", "", "8"},
  };
  for (int i = 0; i < 16; ++i) {
    const KeyRow& row = rows[i];
    SCOPED_TRACE(std::string("the key ") + row.caption);
    const TButtonRec& key = KeyAt(i % 4, i / 4 + 1);
    EXPECT_EQ(Utf8(key.Caption), row.caption);
    if (row.keypad) {
      Program p;
      KeyAction(p.pad, p.pad, key);
      EXPECT_EQ(p.target.Keys(), row.keypad);
    }
    Program p;
    CalcMode = true;
    Press(p, "6");
    KeyAction(p.pad, p.pad, key);
    Press(p, "2=");
    EXPECT_EQ(p.target.Shown(), "[" + std::string(row.calculator) + "]");
  }
}

struct ActionRow {
  const char* name;
  const char* field = "|";  // the focused application's text, "|" the caret
  const char* keys;
  const char* display = "";  // the calc edit's text
  const char* after = "";    // the field after, the selection in brackets
  int beeps = 0;
  bool calculator = true;  // the mode after the keys; the pad is as wide as the mode
  int charWidth = 6;       // pixels per character: the calc edit holds 17
  char separator = '.';    // the locale's decimal separator
  // Integrity levels: Windows drops synthetic input to a process above the pad's level.
  TIntegrity target = 0x2000, own = 0x2000;  // empty: cannot be read
  bool foreground = true;                    // a window has the focus
};

TEST(KeyActions, TypingCalculatingAndPasting) {
  // clang-format off
  const ActionRow rows[] = {
      {.name = "keypad keys type", .keys = "7.5", .after = "7.5", .calculator = false},
      {.name = "the calculator types the locale's separator, the keypad the keypad's", .keys = "1.5M1.5+",
       .display = "1,5", .after = "1.5", .separator = ','},
      {.name = "digits after the middle button", .keys = "M12", .display = "12"},
      {.name = "the separator alone is an operand", .keys = "M.", .display = "."},
      {.name = "a leading separator", .keys = "M.5+", .display = "0.5"},
      {.name = "a second separator is refused", .keys = "M5..", .display = "5.", .beeps = 1},
      {.name = "after an operator a new operand may have its separator", .keys = "M1+.5*.5", .display = ".5"},
      {.name = "leading zeros stay as typed", .keys = "M007", .display = "007"},
      {.name = "an operator shows the operand's value", .keys = "M007+", .display = "7"},
      {.name = "a digit fits to the last pixel; the next is refused", .keys = "M1234", .display = "123", .beeps = 1,
       .charWidth = 34},
      {.name = "a digit after = starts a new operand", .keys = "M2+3=4", .display = "4", .after = "[5]"},
      {.name = "= pastes and selects the result", .field = "Total |", .keys = "M1/3=", .display = "0.333333333333333",
       .after = "Total [0.333333333333333]"},
      {.name = "the display holds fewer digits than the paste", .keys = "M1/3=", .display = "0.33",
       .after = "[0.333333333333333]", .charWidth = 100},
      {.name = "division by zero", .keys = "M1/0=", .display = "INF", .after = "[INF]"},
      {.name = "the display's and the paste's exponents", .keys = "M10000000000*10000000000=", .display = "1E020",
       .after = "[1E20]"},
      {.name = "18 digits shown where 15 do not fit", .keys = "M123456789*1000000001=",
       .display = "1.23456789123E017", .after = "[1.23456789123457E17]"},
      {.name = "an operator touches no application", .field = "1|", .keys = "M+", .display = "0", .after = "1"},
      {.name = "= in keypad mode starts from the number at the caret", .field = "Total 12.5|", .keys = "=*2=",
       .display = "25", .after = "Total [25]"},
      {.name = "a lower level takes keys", .field = "12|", .keys = "7", .after = "127", .calculator = false,
       .target = 0x1000},
      {.name = "an elevated application gets no key", .field = "12|", .keys = "7", .after = "12", .beeps = 1,
       .calculator = false, .target = 0x3000},
      {.name = "an elevated application gets no grab", .field = "12|", .keys = "=", .after = "12", .beeps = 1,
       .calculator = false, .target = 0x3000},
      {.name = "an elevated application gets no paste", .field = "12|", .keys = "M1+2=", .display = "2",
       .after = "12", .beeps = 1, .target = 0x3000},
      {.name = "an application the pad may not ask gets nothing", .field = "12|", .keys = "7", .after = "12",
       .beeps = 1, .calculator = false, .target = std::nullopt},
      {.name = "the pad's own level unknown", .field = "12|", .keys = "7", .after = "127", .calculator = false,
       .target = 0x3000, .own = std::nullopt},
      {.name = "no window has the focus", .field = "12|", .keys = "7", .after = "127", .calculator = false,
       .target = std::nullopt, .foreground = false},
  };
  // clang-format on
  for (const ActionRow& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.target.Set(row.field);
    p.target.level = row.target;
    p.target.own = row.own;
    p.target.foreground = row.foreground;
    p.pad.charWidth = row.charWidth;
    SetLocaleDecimalSeparator(row.separator);
    Press(p, row.keys);
    EXPECT_EQ(DisplayText, row.display);
    EXPECT_EQ(p.target.Shown(), row.after);
    EXPECT_EQ(p.pad.beeps + p.target.beeps, row.beeps);
    EXPECT_EQ(CalcMode, row.calculator);
    EXPECT_EQ(p.pad.client.right, row.calculator ? 118 : 0);
  }
}

struct EditRow {
  const char* name;
  const char* keys;   // in calculator mode, after the middle button drew 0
  const char* shown;  // each text the calc edit was drawn with, in turn
};

// The calc edit is drawn once per key, with the text as typed while an operand is typed.
TEST(KeyActions, CalcEditDrawnAfterEachKey) {
  const EditRow rows[] = {
      {.name = "digits as typed, then the operand's value", .keys = "007+", .shown = "0 00 007 7"},
      {.name = "a separator first", .keys = ".5", .shown = ". .5"},
      {.name = "a refused key draws nothing", .keys = "5..", .shown = "5 5."},
      {.name = "the result", .keys = "1/3=", .shown = "1 1 3 0.333333333333333"},
  };
  for (const EditRow& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    Press(p, "M");
    p.pad.drawn.clear();
    Press(p, row.keys);
    std::string shown = p.pad.drawn;
    for (size_t at; (at = shown.find("calc edit ")) != std::string::npos;) shown.erase(at, 10);
    for (size_t at; (at = shown.find(", ")) != std::string::npos;) shown.erase(at, 1);
    EXPECT_EQ(shown, row.shown);
  }
}

}  // namespace
