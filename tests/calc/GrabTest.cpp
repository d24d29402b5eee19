#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// "=" in keypad mode, and the keys after it, with the calculator holding 7 from before: a
// number at the caret starts the calculator from it and stays selected for the result; a text
// that is no number stays the user's: its selection undone, a beep, the pad in keypad mode.
TEST(KeypadEquals, GrabsANumberOrLeavesTheTextAlone) {
  struct Row {
    const char* name;
    const char* field;        // "|" the caret
    std::string copyAs = "";  // what the field's Ctrl+C copies instead of its selection
    const char* keys = "=";   // pad keys where they lie: "789/456*123-0.=+"
    const char* after;        // the field, a selection in brackets
    std::string seen = "";    // the keys the field saw; empty: not checked
    bool calculator = false;  // the pad in calculator mode, widened by the operator column
    Extended value = 7;       // the kernel's
    int beeps = 0;
  };
  const std::string grab = "Ctrl+Right Ctrl+Shift+Left Ctrl+C";
  // clang-format off
  const Row rows[] = {
      {.name = "a grouped number", .field = "Total 1,234.56|", .after = "Total [1,234.56]", .calculator = true,
       .value = 1234.56L},
      {.name = "a grouped number, then x 2 =", .field = "Total 1,234.56|", .keys = "=*2=", .after = "Total [2469.12]",
       .calculator = true, .value = 2469.12L},
      {.name = "an empty field starts from 0", .field = "|", .after = "", .seen = grab + " Ctrl+Shift+Left Ctrl+C",
       .calculator = true, .value = 0},
      {.name = "a word", .field = "Total abc|", .after = "Total abc",
       .seen = grab + " Right Right Right Ctrl+Shift+Left Ctrl+C Right", .beeps = 1},
      {.name = "a currency sign", .field = "$12.5|", .after = "$12.5", .beeps = 1},
      {.name = "a grid's cells: one Right, no second copy", .field = "1|", .copyAs = "1\t2\r\n3\t4\r\n", .after = "1",
       .seen = grab + " Right", .beeps = 1}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    Kernel.Reset(7);
    p.target.Set(row.field);
    p.target.copyAs = row.copyAs;
    for (const char* key = row.keys; *key; ++key) {
      const int at = static_cast<int>(std::string("789/456*123-0.=+").find(*key));
      KeyAction(p.pad, p.pad, KeyAt(at % 4, at / 4 + 1));
    }
    EXPECT_EQ(p.target.Shown(), row.after);
    if (!row.seen.empty()) {
      EXPECT_EQ(p.target.Keys(), row.seen);
    }
    EXPECT_EQ(CalcMode, row.calculator);
    EXPECT_EQ(p.pad.client.right, row.calculator ? PadSize().width : 0) << "the pad's width";
    EXPECT_EQ(Kernel.GetValue(), row.value);
    EXPECT_EQ(p.pad.beeps + p.target.beeps, row.beeps);
  }
}

}  // namespace
