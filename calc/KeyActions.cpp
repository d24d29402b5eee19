#include "calc/KeyActions.h"

#include "bridge/Bridge.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"
#include "pad/Canvas.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "pad/PadWindow.h"

namespace {

void KeypadAction(TCalculator& calc, TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                  PadWindow& window, const TButtonRec& entry) {
  switch (entry.Kind) {
    case bkChar:
      // The numeric-keypad key, whatever the locale's decimal separator is.
      if (calc.KeyBridge.TargetTakesInput())
        calc.KeyBridge.TapKey(entry.Value >= 0 ? static_cast<uint8_t>(kVkNumpad0 + entry.Value) : kVkDecimal);
      break;
    case bkEquals: {
      // A target that takes no input leaves the pad as it was: no grab, no mode change.
      if (!calc.KeyBridge.TargetTakesInput()) break;
      const TGrab grab = calc.KeyBridge.GrabNumberAtCaret();
      Extended value = 0;
      // An empty field gives 0. Anything else that is no number stays the user's: a result
      // pasted later would replace what the grab selected, so that goes and the pad stays.
      const bool number = grab.outcome == GrabOutcome::NothingToCopy ||
                          (grab.outcome == GrabOutcome::Copied && TryGroupedTextToNumber(grab.text, format, value));
      if (!number) {
        calc.KeyBridge.UndoGrab(grab);
        window.Beep();
        break;
      }
      layout.CalcMode = true;
      calc.Kernel.Reset(value);
      FitWindowToMode(layout, settings, window);
      break;
    }
    default: break;
  }
}

void TypeCharacter(TCalculator& calc, const TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                   Canvas& context, PadWindow& window, const TButtonRec& entry) {
  // The first character after an operator, a result or a reset starts a new operand.
  std::string text = (calc.Kernel.State & TSmplCalcKrnl::Entering) ? calc.DisplayText : std::string();
  char character;
  if (entry.Value >= 0) {
    character = static_cast<char>('0' + entry.Value);
  } else {
    character = format.LocaleDecimalSeparator;
    if (text.find(character) != std::string::npos) {
      window.Beep();
      return;
    }
  }
  if (!FitsCalcEdit(layout, settings, context, text + character)) {
    window.Beep();
    return;
  }
  text += character;
  calc.Typing = true;
  try {
    calc.Kernel.SetEntry(TextToNumber(text, format.LocaleDecimalSeparator));
  } catch (...) {
    calc.Typing = false;
    throw;
  }
  calc.Typing = false;
  calc.DisplayText = text;
  DrawCalcEdit(layout, settings, context, calc.DisplayText);
}

void CalculatorAction(TCalculator& calc, const TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                      Canvas& context, PadWindow& window, const TButtonRec& entry) {
  switch (entry.Kind) {
    case bkChar: TypeCharacter(calc, layout, settings, format, context, window, entry); break;
    case bkEquals:
      if (!calc.KeyBridge.TargetTakesInput()) break;
      calc.Kernel.Evaluate(0);
      calc.KeyBridge.PasteAndSelect(PasteNumberText(calc.Kernel.Accumulator, format.LocaleDecimalSeparator));
      break;
    case bkAdd:
    case bkSubtract:
    case bkMultiply:
    case bkDivide: calc.Kernel.ApplyOperator(static_cast<uint8_t>(entry.Kind - 2)); break;
    default: break;
  }
}

}  // namespace

void KeyAction(TCalculator& calc, TLayout& layout, const TSettings& settings, const TNumberFormat& format,
               Canvas& context, PadWindow& window, const TButtonRec& entry) {
  if (layout.CalcMode) {
    CalculatorAction(calc, layout, settings, format, context, window, entry);
  } else {
    KeypadAction(calc, layout, settings, format, window, entry);
  }
}

bool FitsCalcEdit(const TLayout& layout, const TSettings& settings, Canvas& context, const std::string& text) {
  int width = context.TextWidth(text);
  TRect rect = CalcEditTextRect(layout, settings);
  return rect.right - rect.left >= width;
}

void RefreshDisplay(TCalculator& calc, const TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                    Canvas& context) {
  TRect rect = CalcEditTextRect(layout, settings);
  Extended value = calc.Kernel.GetValue();
  std::string text;
  // Requests 19, 18, ... 2 give 15, 18, 17, ... 2 significant digits; the first text that
  // fits is shown. When not even 2 digits fit (a very large font) the 2-digit text stays.
  for (int precision = 19;; --precision) {
    text = DisplayNumberText(value, precision, format.LocaleDecimalSeparator);
    if (rect.right - rect.left >= context.TextWidth(text) || precision <= 2) break;
  }
  calc.DisplayText = text;
  DrawCalcEdit(layout, settings, context, calc.DisplayText);
}
