#include "calc/KeyActions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePad.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumText.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

// With the defaults and a menu bar of 20 the calc edit's text rectangle is 102 pixels
// wide: at 7 pixels a character, 14 characters fit and 15 do not.
class KeyActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettingsFrom("/nonexistent/kwix.ini", window);
    SetKeyCaptions();
    SetLocaleDecimalSeparator('.');
    SetDecimalKeyCaption('.');
    UpdateCellMetrics(window);
    CalcMode = false;
    window.client = TRect{0, 0, PadSize().width, PadSize().height};
    DisplayText.clear();
    Typing = false;
    // The kernel's change notification re-enters the window procedure, which refreshes
    // the display unless digits are being typed.
    kernel.OnChange = [this](TSmplCalcKrnl&) {
      ++notifications;
      if (!Typing) RefreshDisplay(canvas);
    };
    Kernel = &kernel;
    KeyBridge = &bridge;
  }
  void TearDown() override {
    Kernel = nullptr;
    KeyBridge = nullptr;
    SetLocaleDecimalSeparator('.');
  }

  // Presses the keys of a string: digits, '.', '=', and + - * / as the operator keys.
  void Press(const std::string& keys) {
    for (char k : keys) {
      int col = 0;
      int row = 0;
      switch (k) {
        case '7':
          col = 0;
          row = 1;
          break;
        case '8':
          col = 1;
          row = 1;
          break;
        case '9':
          col = 2;
          row = 1;
          break;
        case '/':
          col = 3;
          row = 1;
          break;
        case '4':
          col = 0;
          row = 2;
          break;
        case '5':
          col = 1;
          row = 2;
          break;
        case '6':
          col = 2;
          row = 2;
          break;
        case '*':
          col = 3;
          row = 2;
          break;
        case '1':
          col = 0;
          row = 3;
          break;
        case '2':
          col = 1;
          row = 3;
          break;
        case '3':
          col = 2;
          row = 3;
          break;
        case '-':
          col = 3;
          row = 3;
          break;
        case '0':
          col = 0;
          row = 4;
          break;
        case '.':
          col = 1;
          row = 4;
          break;
        case '=':
          col = 2;
          row = 4;
          break;
        case '+':
          col = 3;
          row = 4;
          break;
        default: FAIL() << "no key " << k;
      }
      KeyAction(canvas, window, KeyAt(col, row));
    }
  }

  void EnterCalculatorMode() {
    CalcMode = true;
    kernel.Reset(0);
  }

  FakePadWindow window;
  RecordingCanvas canvas;
  FakeTarget target;
  Bridge bridge{target, target, target, target};
  TSmplCalcKrnl kernel;
  int notifications = 0;
};

TEST_F(KeyActionsTest, KeypadKeysTapNumericKeypadKeys) {
  Press("7");
  Press("0");
  SetLocaleDecimalSeparator(',');
  Press(".");
  EXPECT_EQ(target.Downs(), (std::vector<uint8_t>{0x67, 0x60, 0x6E}));
  EXPECT_EQ(notifications, 0) << "keypad keys never reach the kernel";
  EXPECT_TRUE(DisplayText.empty());
  Press("+");  // not on the keypad-mode pad; does nothing if it ever arrives
  EXPECT_EQ(target.Downs().size(), 3u);
}

TEST_F(KeyActionsTest, EqualsInKeypadModeGrabsTheNumberAndWidens) {
  struct Case {
    std::string copied;
    std::string shown;
  };
  const Case cases[] = {{"12.5", "12.5"}, {"12.5 ", "12.5"}, {"abc", "0"}, {"", "0"}, {"-3e2", "-300"}};
  for (const auto& c : cases) {
    CalcMode = false;
    window.client = TRect{0, 0, 91, 110};
    target.copies = {c.copied, c.copied};
    Press("=");
    EXPECT_TRUE(CalcMode) << c.copied;
    EXPECT_EQ(DisplayText, c.shown) << c.copied;
    EXPECT_EQ(window.client, (TRect{0, 0, 118, 110})) << c.copied;
  }
}

TEST_F(KeyActionsTest, TypedTextIsKeptAsTyped) {
  struct Case {
    std::string keys;
    std::string shown;
    int beeps;
  };
  const Case cases[] = {
      {"12", "12", 0},
      {"007", "007", 0},
      {".", ".", 0},
      {".5", ".5", 0},
      {"5.", "5.", 0},
      {"5..3", "5.3", 1},
      {"1.2.3", "1.23", 1},
      {"12345678901234", "12345678901234", 0},
      {"123456789012345", "12345678901234", 1},
  };
  for (const auto& c : cases) {
    EnterCalculatorMode();
    window.beeps = 0;
    Press(c.keys);
    EXPECT_EQ(DisplayText, c.shown) << c.keys;
    EXPECT_EQ(kernel.Operand, TextToNumber(c.shown)) << c.keys;
    EXPECT_EQ(window.beeps, c.beeps) << c.keys;
  }
}

TEST_F(KeyActionsTest, ARefusedCharacterChangesNothing) {
  EnterCalculatorMode();
  Press("4.");
  int before = notifications;
  canvas.Clear();
  Press(".");
  EXPECT_EQ(window.beeps, 1);
  EXPECT_EQ(notifications, before) << "the kernel must not hear of a refused key";
  EXPECT_TRUE(canvas.texts.empty()) << "nor the display be redrawn";
  EXPECT_EQ(DisplayText, "4.");
}

TEST_F(KeyActionsTest, OperatorsShowValuesAndANewOperandMayHaveItsOwnSeparator) {
  EnterCalculatorMode();
  Press("007+");
  EXPECT_EQ(DisplayText, "7");
  Press("1.5*");
  EXPECT_EQ(DisplayText, "1.5");
  Press("2.5=");
  EXPECT_EQ(DisplayText, "10.75");
  EXPECT_EQ(window.beeps, 0);
  // After "=" a digit starts a new operand.
  Press("3");
  EXPECT_EQ(DisplayText, "3");
  Press("=");
  EXPECT_EQ(DisplayText, "3");
}

TEST_F(KeyActionsTest, EqualsPastesFifteenDigitsAndSelectsThem) {
  EnterCalculatorMode();
  Press("1/3=");
  ASSERT_EQ(target.pasted, std::vector<std::string>{"0.333333333333333"});
  std::vector<uint8_t> expected = {0x11, 0x56};
  expected.push_back(0x10);
  for (int i = 0; i < 17; ++i) expected.push_back(0x25);
  EXPECT_EQ(target.Downs(), expected);
  // The calc edit shows as many digits as fit: 14 characters.
  EXPECT_EQ(DisplayText, "0.333333333333");
  EXPECT_TRUE(CalcMode);
}

TEST_F(KeyActionsTest, RefreshTriesFifteenThenEighteenDownwards) {
  EnterCalculatorMode();
  Press("1/3");
  canvas.measured.clear();
  Press("=");
  std::vector<size_t> lengths;
  for (const auto& t : canvas.measured) lengths.push_back(t.size());
  // 15, 18, 17, 16, 15, 14, 13 and 12 significant digits, each after "0.".
  EXPECT_EQ(lengths, (std::vector<size_t>{17, 20, 19, 18, 17, 16, 15, 14}));
}

TEST_F(KeyActionsTest, RefreshEndsAtTwoDigitsWhenNothingFits) {
  EnterCalculatorMode();
  canvas.charWidth = 1000;  // a font so large that no text fits
  kernel.SetEntry(1);
  kernel.ApplyOperator(3);
  kernel.SetEntry(3);
  kernel.Evaluate(0);
  EXPECT_EQ(DisplayText, "0.33");
  kernel.SetEntry(0);
  kernel.ApplyOperator(3);
  kernel.Evaluate(0);
  EXPECT_EQ(DisplayText, "NAN");
}

TEST_F(KeyActionsTest, LargeAndInfiniteResultsShowAndPasteTheirForms) {
  struct Case {
    std::string keys;
    std::string shown;
    std::string pasted;
  };
  const Case cases[] = {
      {"10000000000*10000000000=", "1E020", "1E20"},
      {"1/0=", "INF", "INF"},
      {"0-1/0=", "-INF", "-INF"},
      {"0/0=", "NAN", "NAN"},
      {"2+3*4=", "14", "14"},
  };
  for (const auto& c : cases) {
    EnterCalculatorMode();
    target.pasted.clear();
    Press(c.keys);
    EXPECT_EQ(DisplayText, c.shown) << c.keys;
    EXPECT_EQ(target.pasted, std::vector<std::string>{c.pasted}) << c.keys;
  }
}

TEST_F(KeyActionsTest, CommaLocaleTypesAndShowsCommas) {
  SetLocaleDecimalSeparator(',');
  SetDecimalKeyCaption(',');
  EnterCalculatorMode();
  Press("1.");  // the decimal key types the locale's separator
  EXPECT_EQ(DisplayText, "1,");
  Press("25+");
  EXPECT_EQ(DisplayText, "1,25");
  Press(".");
  EXPECT_EQ(DisplayText, ",");
}

}  // namespace
