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
struct TSettings;

// The calc edit's text, single-byte in the system code page, drawn right-aligned.
extern std::string DisplayText;
// True only while a typed operand is handed to the kernel: the kernel's change
// notification must not replace the text as typed.
extern bool Typing;
// The one kernel, and the bridge to the focused application (set at start).
extern TSmplCalcKrnl Kernel;
extern Bridge* KeyBridge;

// DisplayText, Typing and the kernel back to their values at start.
void ResetKeyActionState();

// Performs the key in the current mode.
void KeyAction(TLayout& layout, const TSettings& settings, Canvas& context, PadWindow& window, const TButtonRec& entry);
// Whether text fits the calc edit's text rectangle in the pad font.
bool FitsCalcEdit(const TLayout& layout, const TSettings& settings, Canvas& context, const std::string& text);
// Shows the kernel's value with as many digits as fit, and redraws the calc edit.
void RefreshDisplay(const TLayout& layout, const TSettings& settings, Canvas& context);

#endif
