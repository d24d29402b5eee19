#include <gtest/gtest.h>

#include "Fakes.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumFormat.h"

namespace {

// Each value the kernel's change notification reports, as pasted, for a run of calls: a digit
// SetEntry, + - * / the operators, = Evaluate. Under a caller's control word that unmasks
// division by zero and overflow, which every call gives back as it found it.
TEST(Kernel, ReportsEachChangeOfTheDisplayedValue) {
  struct Row {
    const char *name, *calls, *reported;
  };
  const Row rows[] = {
      {.name = "x before +, and = repeats the last step", .calls = "2+3*4===", .reported = "2 2 3 3 4 14 26 38"},
      {.name = "a replaced operator leaves the sum pending", .calls = "1+2*+3=", .reported = "1 1 2 2 3 3 6"},
      {.name = "- and / are left-associative", .calls = "7-2-1=8/2/2=", .reported = "7 7 2 5 1 4 8 8 2 4 2 2"},
      {.name = "infinity and NaN carry on", .calls = "1/0=+1=*0=", .reported = "1 1 0 INF INF 1 INF INF 0 NAN"},
      {.name = "an operator after = goes on from the result", .calls = "2+3=*4=", .reported = "2 2 3 5 5 4 20"},
      {.name = "a digit after = starts anew", .calls = "2+3=4=", .reported = "2 2 3 5 4 4"},
  };
  const std::string operators = "+-*/";
  SetX87ControlWord(0x1332);
  const uint16_t callersWord = GetX87ControlWord();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TSmplCalcKrnl kernel;
    std::string reported;
    kernel.OnChange = [&](TSmplCalcKrnl& sender) {
      reported += (reported.empty() ? "" : " ") + PasteNumberText(sender.GetValue());
    };
    for (const char* call = row.calls; *call; ++call) {
      if (*call >= '0' && *call <= '9') kernel.SetEntry(*call - '0');
      if (operators.find(*call) != std::string::npos) kernel.ApplyOperator(operators.find(*call));
      if (*call == '=') kernel.Evaluate(0);
      EXPECT_EQ(GetX87ControlWord(), callersWord) << "after " << *call;
    }
    EXPECT_EQ(reported, row.reported);
  }
  SetX87ControlWord(kStandingControlWord);
}

// Presses keys by their captions ("*" the x key, "/" the division key, "." the decimal key);
// "M" is the middle button.
void Press(Program& p, const std::string& keys) {
  const std::string grid = "789/456*123-0.=+";
  for (char key : keys) {
    if (key == 'M') HandlePadMessage(p.pad, p.pad, msg::MButtonDown, TPoint{});
    const size_t at = grid.find(key);
    if (at != std::string::npos) KeyAction(p.pad, p.pad, KeyAt(static_cast<int>(at % 4), static_cast<int>(at / 4 + 1)));
  }
}

// Each of the sixteen keys: its caption, what the focused application receives from it in
// keypad mode, and what 6, the key, 2 and = paste in calculator mode.
TEST(KeyActions, EveryKeyInBothModes) {
  struct Row {
    const char *caption, *keypad, *calculator;
  };
  // clang-format off
  const Row rows[] = {
      {"7", "Numpad7", "672"}, {"8", "Numpad8", "682"}, {"9", "Numpad9", "692"}, {"÷", "", "3"},
      {"4", "Numpad4", "642"}, {"5", "Numpad5", "652"}, {"6", "Numpad6", "662"}, {"×", "", "12"},
      {"1", "Numpad1", "612"}, {"2", "Numpad2", "622"}, {"3", "Numpad3", "632"}, {"-", "", "4"},
      {"0", "Numpad0", "602"}, {".", "Decimal", "6.2"}, {"=", nullptr, "2"},  {"+", "", "8"}};
  // clang-format on
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(std::string("the key ") + rows[i].caption);
    const TButtonRec& key = KeyAt(i % 4, i / 4 + 1);
    EXPECT_EQ(Utf8(key.Caption), rows[i].caption);
    if (rows[i].keypad) {  // "=" in keypad mode grabs: see below
      Program keypad;
      KeyAction(keypad.pad, keypad.pad, key);
      EXPECT_EQ(keypad.target.keys, rows[i].keypad);
    }
    Program calculator;
    CalcMode = true;
    Press(calculator, "6");
    KeyAction(calculator.pad, calculator.pad, key);
    Press(calculator, "2=");
    EXPECT_EQ(calculator.target.Shown(), "[" + std::string(rows[i].calculator) + "]");
  }
}

// Keys pressed in turn from keypad mode, with the kernel holding 7 from before, into a field
// shown with "|" for its caret: what the last key drew in the calc edit, the field after with
// its selection in brackets, the beeps, and the mode (the pad as wide as it).
TEST(KeyActions, TypingCalculatingAndPasting) {
  struct Row {
    const char* name;
    const char* field = "|";
    const char* keys;
    const char* shown = "";  // nothing drawn by the last key
    const char* after;
    int beeps = 0;
    bool calculator = true;
    int charWidth = 6;     // pixels per character: the calc edit holds 17
    char separator = '.';  // the locale's decimal separator
    // Windows drops synthetic input to a process above the pad's integrity level.
    TIntegrity target = 0x2000;  // empty: cannot be read
    bool foreground = true;      // a window has the focus
  };
  // clang-format off
  const Row rows[] = {
      {.name = "keypad keys type", .keys = "7.5", .after = "7.5|", .calculator = false},
      {.name = "the calculator types the locale's separator, the keypad the keypad's", .keys = "1.5M1.5",
       .shown = "1,5", .after = "1.5|", .separator = ','},
      {.name = "an operator after typed digits shows the operand", .keys = "M12+", .shown = "12", .after = "|"},
      {.name = "a second separator is refused", .keys = "M5..", .after = "|", .beeps = 1},
      {.name = "a digit fits to the last pixel", .keys = "M123", .shown = "123", .after = "|", .charWidth = 34},
      {.name = "the next is refused", .keys = "M1234", .after = "|", .beeps = 1, .charWidth = 34},
      {.name = "= pastes the result, selected", .field = "Total |", .keys = "M1/3=", .shown = "0.333333333333333",
       .after = "Total [0.333333333333333]"},
      {.name = "the display holds fewer digits than the paste", .keys = "M1/3=", .shown = "0.33",
       .after = "[0.333333333333333]", .charWidth = 100},
      {.name = "= grabs a number, the result replaces it", .field = "Total 1,234.56|", .keys = "=*2=",
       .shown = "2469.12", .after = "Total [2469.12]"},
      {.name = "an elevated application gets no paste", .keys = "M1+2=", .after = "|", .beeps = 1, .target = 0x3000},
      {.name = "no window has the focus", .keys = "7", .after = "7|", .calculator = false, .target = std::nullopt,
       .foreground = false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    Kernel.Reset(7);
    p.target.Set(row.field);
    p.target.level = row.target, p.target.foreground = row.foreground;
    p.pad.charWidth = row.charWidth;
    SetLocaleDecimalSeparator(row.separator);
    const std::string keys = row.keys;
    Press(p, keys.substr(0, keys.size() - 1));
    p.pad.drawn.clear();
    Press(p, keys.substr(keys.size() - 1));
    EXPECT_EQ(p.pad.drawn, *row.shown ? std::string("calc edit ") + row.shown : "") << "the calc edit";
    EXPECT_EQ(p.target.Shown(), row.after);
    EXPECT_EQ(p.pad.beeps + p.target.beeps, row.beeps);
    EXPECT_EQ(CalcMode, row.calculator);
    EXPECT_EQ(p.pad.client.right, row.calculator ? PadSize().width : 0) << "the pad's width";
    EXPECT_EQ(Kernel.GetValue() == 7, !row.calculator) << "the kernel left alone in keypad mode";
  }
}

// "=" in keypad mode in a field shown with "|" for its caret: a number before the caret starts
// the calculator with it, selected for the result to replace; anything else leaves the text,
// with the caret at the end of what the grab selected, the pad beeping in keypad mode. Checked
// once the field has taken every key sent: the keys it took, the field, the beeps, the mode,
// the calc edit, how long the pad waited for it (a busy field's thread answers nothing until it
// is free), and a grid's copy mode (its next Enter would paste the cells).
TEST(KeyActions, EqualsInKeypadMode) {
  const std::string first = "Ctrl+Right Ctrl+Shift+Left Ctrl+C", second = " Ctrl+Shift+Left Ctrl+C";
  const std::string undo = " Shift+Right Shift+Right Shift+Right";  // over a word of three characters
  const std::string longest(255, '1');                              // a longer copy is a block of text
  std::string rights;
  for (size_t i = 0; i < longest.size(); ++i) rights += " Right";
  struct Row {
    const char* name;
    std::string field;
    std::string copyAs = "";           // what the field's Ctrl+C copies instead of its selection
    const char* windowClass = "Edit";  // the focused window's
    bool held = false, hung = false;   // the clipboard held by another program; the field's thread hung
    uint32_t copyMs = 0;               // how long each copy keeps the field's thread busy
    std::string keys = "";
    std::string after;
    bool calculator = false;
    const char* shown = "";  // the calc edit
    uint32_t waitedMs = 0;
    bool copyMode = false;
  };
  auto terminal = [](const char* windowClass) {
    return Row{.name = windowClass, .field = "dir|", .windowClass = windowClass, .after = "dir|"};
  };
  // clang-format off
  const Row rows[] = {
      {.name = "a grouped number ending a line, which Ctrl+Right leaves", .field = "Total 1,234.56|\ntail",
       .keys = first + second + " Right Right Right Right Right Right Right Right" + second,
       .after = "Total [1,234.56]\ntail", .calculator = true, .shown = "1234.56"},
      {.name = "an empty field starts from 0", .field = "|", .keys = first, .after = "|", .calculator = true,
       .shown = "0", .waitedMs = 500},
      {.name = "a word: the caret at its end", .field = "Total abc|", .keys = first + undo, .after = "Total abc|"},
      {.name = "inside a word: the caret at its end", .field = "Total a|bc def",
       .keys = first + " Right Right Right" + second + undo, .after = "Total abc| def"},
      {.name = "a blank inside the copy counts", .field = "1|", .copyAs = "1 2 ",
       .keys = first + " Right Right Right" + second + " Shift+Right Shift+Right Shift+Right Shift+Right",
       .after = "1|"},
      {.name = "the longest word, a blank after it", .field = longest + "| x", .keys = first + rights + second,
       .after = "[" + longest + "] x", .calculator = true, .shown = "1.11111111111E254"},
      {.name = "a grid's cells: one Right, and no copy mode", .field = "1|", .copyAs = "1\t2\r\n3\t4\r\n",
       .keys = first + " Right", .after = "1|"},
      {.name = "an empty cell and a cell", .field = "1|", .copyAs = "\t2", .keys = first + " Right", .after = "1|"},
      {.name = "an empty cell, copied as a bare line break", .field = "|", .copyAs = "\r\n",
       .keys = first + second + second + " Right", .after = "|"},
      {.name = "the clipboard held: no key", .field = "Total 12.5| EUR", .held = true, .after = "Total 12.5| EUR",
       .waitedMs = 50},
      {.name = "each copy 900 ms late: the number kept", .field = "Total 12.5| EUR", .copyMs = 900,
       .keys = first + " Right Right Right Right" + second, .after = "Total [12.5] EUR", .calculator = true,
       .shown = "12.5", .waitedMs = 1804},
      {.name = "busy 900 ms with nothing to copy: 200 ms more once it answers", .field = "|", .copyMs = 900,
       .keys = first, .after = "|", .calculator = true, .shown = "0", .waitedMs = 1100},
      {.name = "a hung program: three seconds, no key into its text, no calculator", .field = "Total 12.5|",
       .hung = true, .keys = first, .after = "Total [12.5]", .waitedMs = 3014},
      terminal("ConsoleWindowClass"), terminal("CASCADIA_HOSTING_WINDOW_CLASS"), terminal("PuTTY"), terminal("KiTTY"),
      terminal("mintty"), terminal("VirtualConsoleClass"), terminal("WineConsoleClass")};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    Kernel.Reset(7);
    p.target.Set(row.field);
    p.target.copyAs = row.copyAs, p.target.windowClass = row.windowClass;
    p.target.held = row.held, p.target.hung = row.hung, p.target.copyMs = row.copyMs;
    p.pad.drawn.clear();
    const uint32_t start = p.target.now;
    Press(p, "=");
    const uint32_t waited = p.target.now - start;
    p.target.hung = false;
    p.target.TakeQueuedKeys();
    EXPECT_EQ(p.target.keys, row.keys);
    EXPECT_EQ(p.target.Shown(), row.after);
    EXPECT_EQ(p.pad.beeps + p.target.beeps, row.calculator ? 0 : 1) << "beeps";
    EXPECT_EQ(CalcMode, row.calculator);
    EXPECT_EQ(p.pad.client.right, row.calculator ? PadSize().width : 0) << "the pad's width";
    EXPECT_EQ(p.pad.drawn, *row.shown ? std::string("calc edit ") + row.shown : "") << "the calc edit";
    EXPECT_EQ(Kernel.GetValue() == 7, !row.calculator) << "the kernel left alone in keypad mode";
    EXPECT_EQ(waited, row.waitedMs) << "milliseconds waited";
    EXPECT_EQ(p.target.copyMode, row.copyMode);
    EXPECT_FALSE(p.target.open) << "the clipboard left open";
    EXPECT_EQ(p.target.down, 0) << "keys left held down";
  }
}

}  // namespace
