// What a key of the pad does in each mode, and the calc edit's text: digits build the
// typed operand as typed, operators and "=" drive the kernel, and a value from the kernel
// is fitted into the calc edit's width.
#ifndef KWIX_CALC_KEYACTIONS_H
#define KWIX_CALC_KEYACTIONS_H

#include <string>

#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"

class Bridge;
class Canvas;
class PadWindow;
struct TLayout;
struct TNumberFormat;
struct TSettings;

// The calculator behind the pad: the kernel, the calc edit's text, and the bridge its keys go
// through to the focused application.
struct TCalculator {
  explicit TCalculator(Bridge& bridge) : KeyBridge(bridge) {}
  // The calc edit's text, single-byte in the system code page, drawn right-aligned.
  std::string DisplayText;
  // True only while a typed operand is handed to the kernel: the kernel's change
  // notification must not replace the text as typed.
  bool Typing = false;
  TSmplCalcKrnl Kernel;
  Bridge& KeyBridge;
};

// Performs the key in the current mode.
void KeyAction(TCalculator& calc, TLayout& layout, const TSettings& settings, const TNumberFormat& format,
               Canvas& context, PadWindow& window, const TButtonRec& entry);
// Leaving the calculator (the middle button, hiding the pad): the copy of a grab that may
// still come late is waited for and refused, so that no word stays selected in the target.
void ForgoLateCopy(TCalculator& calc);
// Whether text fits the calc edit's text rectangle in the pad font.
bool FitsCalcEdit(const TLayout& layout, const TSettings& settings, Canvas& context, const std::string& text);
// Shows the kernel's value with as many digits as fit, and redraws the calc edit.
void RefreshDisplay(TCalculator& calc, const TLayout& layout, const TSettings& settings, const TNumberFormat& format,
                    Canvas& context);

#endif
