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
      reported += (reported.empty() ? "" : " ") + PasteNumberText(sender.GetValue(), '.');
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
    if (key == 'M') HandlePadMessage(p.kwix, p.pad, p.pad, msg::MButtonDown, TPoint{});
    const size_t at = grid.find(key);
    if (at != std::string::npos) p.Activate(KeyAt(static_cast<int>(at % 4), static_cast<int>(at / 4 + 1)));
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
      keypad.Activate(key);
      EXPECT_EQ(keypad.target.keys, rows[i].keypad);
    }
    Program calculator;
    calculator.kwix.Layout.CalcMode = true;
    Press(calculator, "6");
    calculator.Activate(key);
    Press(calculator, "2=");
    EXPECT_EQ(calculator.target.Shown(), "[" + std::string(rows[i].calculator) + "]");
  }
}

// Keys pressed in turn from keypad mode, with the kernel holding 7 from before, into a field
// shown with "|" for its caret. "=" in keypad mode takes a number before the caret as the
// calculator's, selected for the result to replace; anything else it leaves as it was, the
// caret at the end of what the grab selected, the pad beeping in keypad mode. Checked once the
// field has taken every key sent: the keys it took, the field with its selection in brackets,
// what the last key drew in the calc edit, the beeps, the mode (the pad as wide as it), how long
// the last key waited for the field (a busy field's thread answers nothing until it is free),
// and a grid's copy mode (its next Enter would paste the cells).
TEST(KeyActions, KeysIntoAField) {
  const std::string grab = "Ctrl+Right Ctrl+Shift+Left Ctrl+C", again = " Ctrl+Shift+Left Ctrl+C";
  const std::string undo = " Shift+Right Shift+Right Shift+Right";  // over a word of three characters
  const std::string longest(255, '1');                              // a longer copy is a block of text
  auto times = [](int n, const std::string& keys) {
    std::string all;
    for (int i = 0; i < n; ++i) all += keys;
    return all;
  };
  struct Row {
    const char* name;
    std::string field = "|";
    const char* keys;
    std::string copyAs = "";           // what the field's Ctrl+C copies instead of its selection
    const char* windowClass = "Edit";  // the focused window's
    bool held = false, hung = false;   // the clipboard held by another program; the field's thread hung
    uint32_t copyMs = 0;               // how long each copy keeps the field's thread busy
    int charWidth = 6;                 // pixels per character: the calc edit holds 17
    char separator = '.';              // the locale's decimal separator
    // Windows drops synthetic input to a process above the pad's integrity level.
    TIntegrity target = 0x2000;  // empty: cannot be read
    bool foreground = true;      // a window has the focus
    std::string seen = "";       // the keys the field took
    std::string after;
    const char* shown = "";  // nothing drawn by the last key
    int beeps = 0;
    bool calculator = false;
    uint32_t waitedMs = 0;
    bool copyMode = false;
  };
  auto terminal = [](const char* windowClass) {
    return Row{
        .name = windowClass, .field = "dir|", .keys = "=", .windowClass = windowClass, .after = "dir|", .beeps = 1};
  };
  const std::string paste17 = " Ctrl+V" + times(17, " Shift+Left");
  // clang-format off
  const Row rows[] = {
      {.name = "keypad keys type", .keys = "7.5", .seen = "Numpad7 Decimal Numpad5", .after = "7.5|"},
      {.name = "the calculator types the locale's separator, the keypad the keypad's", .keys = "1.5M1.5",
       .separator = ',', .seen = "Numpad1 Decimal Numpad5", .after = "1.5|", .shown = "1,5", .calculator = true},
      {.name = "an operator after typed digits shows the operand", .keys = "M12+", .after = "|", .shown = "12",
       .calculator = true},
      {.name = "a second separator is refused", .keys = "M5..", .after = "|", .beeps = 1, .calculator = true},
      {.name = "a digit fits to the last pixel", .keys = "M123", .charWidth = 34, .after = "|", .shown = "123",
       .calculator = true},
      {.name = "the next is refused", .keys = "M1234", .charWidth = 34, .after = "|", .beeps = 1, .calculator = true},
      {.name = "= pastes the result, selected", .field = "Total |", .keys = "M1/3=", .seen = paste17.substr(1),
       .after = "Total [0.333333333333333]", .shown = "0.333333333333333", .calculator = true},
      {.name = "the display holds fewer digits than the paste", .keys = "M1/3=", .charWidth = 100,
       .seen = paste17.substr(1), .after = "[0.333333333333333]", .shown = "0.33", .calculator = true},
      {.name = "an elevated application gets no paste", .keys = "M1+2=", .target = 0x3000, .after = "|", .beeps = 1,
       .calculator = true},
      {.name = "no window has the focus", .keys = "7", .target = std::nullopt, .foreground = false, .seen = "Numpad7",
       .after = "7|"},
      {.name = "= takes a grouped number ending a line, which Ctrl+Right leaves; the result replaces it",
       .field = "Total 1,234.56|\ntail", .keys = "=*2=", .seen = grab + again + times(8, " Right") + again +
       " Ctrl+V" + times(7, " Shift+Left"), .after = "Total [2469.12]\ntail", .shown = "2469.12", .calculator = true},
      {.name = "an empty field starts from 0", .keys = "=", .seen = grab, .after = "|", .shown = "0", .calculator = true,
       .waitedMs = 500},
      {.name = "a word: the caret at its end", .field = "Total abc|", .keys = "=", .seen = grab + undo,
       .after = "Total abc|", .beeps = 1},
      {.name = "inside a word: the caret at its end", .field = "Total a|bc def", .keys = "=",
       .seen = grab + times(3, " Right") + again + undo, .after = "Total abc| def", .beeps = 1},
      {.name = "a blank inside the copy counts", .field = "1|", .keys = "=", .copyAs = "1 2 ",
       .seen = grab + times(3, " Right") + again + times(4, " Shift+Right"), .after = "1|", .beeps = 1},
      {.name = "the longest word, a blank after it", .field = longest + "| x", .keys = "=",
       .seen = grab + times(255, " Right") + again, .after = "[" + longest + "] x", .shown = "1.11111111111E254",
       .calculator = true},
      {.name = "a grid's cells: one Right, and no copy mode", .field = "1|", .keys = "=", .copyAs = "1\t2\r\n3\t4\r\n",
       .seen = grab + " Right", .after = "1|", .beeps = 1},
      {.name = "an empty cell and a cell", .field = "1|", .keys = "=", .copyAs = "\t2", .seen = grab + " Right",
       .after = "1|", .beeps = 1},
      {.name = "an empty cell, copied as a bare line break", .keys = "=", .copyAs = "\r\n",
       .seen = grab + again + again + " Right", .after = "|", .beeps = 1},
      {.name = "the clipboard held: no key", .field = "Total 12.5| EUR", .keys = "=", .held = true,
       .after = "Total 12.5| EUR", .beeps = 1, .waitedMs = 50},
      {.name = "each copy 900 ms late: the number kept", .field = "Total 12.5| EUR", .keys = "=", .copyMs = 900,
       .seen = grab + times(4, " Right") + again, .after = "Total [12.5] EUR", .shown = "12.5", .calculator = true,
       .waitedMs = 1804},
      {.name = "busy 900 ms with nothing to copy: 200 ms more once it answers", .keys = "=", .copyMs = 900,
       .seen = grab, .after = "|", .shown = "0", .calculator = true, .waitedMs = 1100},
      {.name = "a hung program: three seconds, no key into its text, no calculator", .field = "Total 12.5|",
       .keys = "=", .hung = true, .seen = grab, .after = "Total [12.5]", .beeps = 1, .waitedMs = 3014},
      terminal("ConsoleWindowClass"), terminal("CASCADIA_HOSTING_WINDOW_CLASS"), terminal("PuTTY"), terminal("KiTTY"),
      terminal("mintty"), terminal("VirtualConsoleClass"), terminal("WineConsoleClass")};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.kwix.Calc.Kernel.Reset(7);
    p.target.Set(row.field);
    p.target.copyAs = row.copyAs, p.target.windowClass = row.windowClass;
    p.target.held = row.held, p.target.hung = row.hung, p.target.copyMs = row.copyMs;
    p.target.level = row.target, p.target.foreground = row.foreground;
    p.pad.charWidth = row.charWidth;
    p.kwix.Format.LocaleDecimalSeparator = row.separator;
    const std::string keys = row.keys;
    Press(p, keys.substr(0, keys.size() - 1));
    p.pad.drawn.clear();
    const uint32_t start = p.target.now;
    Press(p, keys.substr(keys.size() - 1));
    const uint32_t waited = p.target.now - start;
    p.target.hung = false;
    p.target.TakeQueuedKeys();
    EXPECT_EQ(p.target.keys, row.seen);
    EXPECT_EQ(p.target.Shown(), row.after);
    EXPECT_EQ(p.pad.drawn, *row.shown ? std::string("calc edit ") + row.shown : "") << "the calc edit";
    EXPECT_EQ(p.pad.beeps + p.target.beeps, row.beeps);
    EXPECT_EQ(p.kwix.Layout.CalcMode, row.calculator);
    EXPECT_EQ(p.pad.client.right, row.calculator ? PadSize(p.kwix.Layout, p.kwix.Settings).width : 0)
        << "the pad's width";
    EXPECT_EQ(p.kwix.Calc.Kernel.GetValue() == 7, !row.calculator) << "the kernel left alone in keypad mode";
    EXPECT_EQ(waited, row.waitedMs) << "milliseconds the last key waited";
    EXPECT_EQ(p.target.copyMode, row.copyMode);
    EXPECT_FALSE(p.target.open) << "the clipboard left open";
    EXPECT_EQ(p.target.down, 0) << "keys left held down";
  }
}

}  // namespace
