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

namespace {

// Whether a word the grab copied is a number, and which.
NumberTest CopiedNumber(const TNumberFormat& format) {
  return [&format](const std::u16string& word) {
    Extended value = 0;
    return TryGroupedTextToNumber(word, format, value);
  };
}

// The calculator from the number the grab selected in the target, or from 0 for an empty field.
void StartCalculator(TCalculator& calc, TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                     PadWindow& window, const TGrab& grab) {
  Extended value = 0;
  TryGroupedTextToNumber(grab.text, format, value);
  layout.CalcMode = true;
  calc.Kernel.Reset(value);
  FitWindowToMode(layout, settings, window);
}

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
      // Anything but a number or an empty field stays the user's, and so does the pad: a
      // result pasted later would replace what the grab selected.
      const TGrab grab = calc.KeyBridge.GrabNumberAtCaret(CopiedNumber(format), settings.KeepClipboard);
      if (grab.outcome == GrabOutcome::Refused) {
        window.Beep();
      } else {
        StartCalculator(calc, layout, settings, format, window, grab);
      }
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

void CalculatorAction(TCalculator& calc, TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                      Canvas& context, PadWindow& window, const TButtonRec& entry) {
  // After an empty field, a copy that came late decides before the key does: its number
  // replaces the 0, anything else is refused as it would have been in time.
  if (calc.KeyBridge.WatchingLateCopy()) {
    const TGrab late = calc.KeyBridge.TakeLateCopy(CopiedNumber(format));
    if (late.outcome == GrabOutcome::Refused) {
      layout.CalcMode = false;
      FitWindowToMode(layout, settings, window);
      window.Beep();
      return;
    }
    if (late.outcome == GrabOutcome::Number) StartCalculator(calc, layout, settings, format, window, late);
  }
  switch (entry.Kind) {
    case bkChar: TypeCharacter(calc, layout, settings, format, context, window, entry); break;
    case bkEquals:
      if (!calc.KeyBridge.TargetTakesInput()) break;
      calc.Kernel.Evaluate(0);
      calc.KeyBridge.PasteAndSelect(PasteNumberText(calc.Kernel.Accumulator, format.LocaleDecimalSeparator),
                                    settings.KeepClipboard);
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

void ForgoLateCopy(TCalculator& calc) {
  if (calc.KeyBridge.WatchingLateCopy()) calc.KeyBridge.TakeLateCopy([](const std::u16string&) { return false; });
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
