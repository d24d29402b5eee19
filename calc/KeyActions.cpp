#include "calc/KeyActions.h"

#include "bridge/Bridge.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"
#include "pad/Canvas.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

std::string DisplayText;
bool Typing = false;
TSmplCalcKrnl Kernel;
Bridge* KeyBridge = nullptr;

void ResetKeyActionState() {
  DisplayText.clear();
  Typing = false;
  Kernel = TSmplCalcKrnl();
}

namespace {

bool IsCopiedNumber(const std::u16string& word) {
  Extended value = 0;
  return TryGroupedTextToNumber(word, value);
}

// The calculator from the number the grab selected in the target, or from 0 for an empty field.
void StartCalculator(PadWindow& window, const TGrab& grab) {
  Extended value = 0;
  TryGroupedTextToNumber(grab.text, value);
  CalcMode = true;
  Kernel.Reset(value);
  FitWindowToMode(window);
}

void KeypadAction(PadWindow& window, const TButtonRec& entry) {
  switch (entry.Kind) {
    case bkChar:
      // The numeric-keypad key, whatever the locale's decimal separator is.
      if (KeyBridge->TargetTakesInput())
        KeyBridge->TapKey(entry.Value >= 0 ? static_cast<uint8_t>(kVkNumpad0 + entry.Value) : kVkDecimal);
      break;
    case bkEquals: {
      // A target that takes no input leaves the pad as it was: no grab, no mode change.
      if (!KeyBridge->TargetTakesInput()) break;
      // Anything but a number or an empty field stays the user's, and so does the pad: a
      // result pasted later would replace what the grab selected.
      const TGrab grab = KeyBridge->GrabNumberAtCaret(IsCopiedNumber, KeepClipboard);
      if (grab.outcome == GrabOutcome::Refused) {
        window.Beep();
      } else {
        StartCalculator(window, grab);
      }
      break;
    }
    default: break;
  }
}

void TypeCharacter(Canvas& context, PadWindow& window, const TButtonRec& entry) {
  // The first character after an operator, a result or a reset starts a new operand.
  std::string text = (Kernel.State & TSmplCalcKrnl::Entering) ? DisplayText : std::string();
  char character;
  if (entry.Value >= 0) {
    character = static_cast<char>('0' + entry.Value);
  } else {
    character = LocaleDecimalSeparator();
    if (text.find(character) != std::string::npos) {
      window.Beep();
      return;
    }
  }
  if (!FitsCalcEdit(context, text + character)) {
    window.Beep();
    return;
  }
  text += character;
  Typing = true;
  try {
    Kernel.SetEntry(TextToNumber(text));
  } catch (...) {
    Typing = false;
    throw;
  }
  Typing = false;
  DisplayText = text;
  DrawCalcEdit(context, DisplayText);
}

void CalculatorAction(Canvas& context, PadWindow& window, const TButtonRec& entry) {
  // After an empty field, a copy that came late decides before the key does: its number
  // replaces the 0, anything else is refused as it would have been in time.
  if (KeyBridge->WatchingLateCopy()) {
    const TGrab late = KeyBridge->TakeLateCopy(IsCopiedNumber);
    if (late.outcome == GrabOutcome::Refused) {
      CalcMode = false;
      FitWindowToMode(window);
      window.Beep();
      return;
    }
    if (late.outcome == GrabOutcome::Number) StartCalculator(window, late);
  }
  switch (entry.Kind) {
    case bkChar: TypeCharacter(context, window, entry); break;
    case bkEquals:
      if (!KeyBridge->TargetTakesInput()) break;
      Kernel.Evaluate(0);
      KeyBridge->PasteAndSelect(PasteNumberText(Kernel.Accumulator), KeepClipboard);
      break;
    case bkAdd:
    case bkSubtract:
    case bkMultiply:
    case bkDivide: Kernel.ApplyOperator(static_cast<uint8_t>(entry.Kind - 2)); break;
    default: break;
  }
}

}  // namespace

void KeyAction(Canvas& context, PadWindow& window, const TButtonRec& entry) {
  if (CalcMode) {
    CalculatorAction(context, window, entry);
  } else {
    KeypadAction(window, entry);
  }
}

void ForgoLateCopy() {
  if (KeyBridge->WatchingLateCopy()) KeyBridge->TakeLateCopy([](const std::u16string&) { return false; });
}

bool FitsCalcEdit(Canvas& context, const std::string& text) {
  int width = context.TextWidth(text);
  TRect rect = CalcEditTextRect();
  return rect.right - rect.left >= width;
}

void RefreshDisplay(Canvas& context) {
  TRect rect = CalcEditTextRect();
  Extended value = Kernel.GetValue();
  std::string text;
  // Requests 19, 18, ... 2 give 15, 18, 17, ... 2 significant digits; the first text that
  // fits is shown. When not even 2 digits fit (a very large font) the 2-digit text stays.
  for (int precision = 19;; --precision) {
    text = DisplayNumberText(value, precision);
    if (rect.right - rect.left >= context.TextWidth(text) || precision <= 2) break;
  }
  DisplayText = text;
  DrawCalcEdit(context, DisplayText);
}
