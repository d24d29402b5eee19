#include "calc/SmplCalcKrnl.h"

#include <algorithm>

namespace {

constexpr int32_t kTopLevel = 1;  // the multiplicative level; Pending has one slot per level

// One operation of a slot (index level × 2 + operation) with every x87 exception masked,
// so that division by zero, 0 ÷ 0 and overflow give infinities and NaNs instead of
// trapping under a caller's word that unmasks them, and with 64-bit precision and
// round-to-nearest whatever the caller's word says. The operands and the result are
// volatile so the arithmetic stays between the control-word changes of the scope.
Extended ApplyOperation(int32_t index, Extended left, Extended right) {
  volatile Extended l = left;
  volatile Extended r = right;
  volatile Extended result = 0;
  {
    MaskedExtendedScope masked;
    switch (index) {
      case 0: result = l + r; break;
      case 1: result = l - r; break;
      case 2: result = l * r; break;
      default: result = l / r; break;
    }
  }
  return result;
}

}  // namespace

void TSmplCalcKrnl::Changed() {
  if (OnChange) OnChange(*this);
}

void TSmplCalcKrnl::ClearPending(int32_t level) {
  // A level below 0 switches off both slots, one above 1 none; no index leaves the array.
  for (int32_t i = kTopLevel; i >= std::max(level, 0); --i) Pending[i].Active = false;
  Level = level;
}

void TSmplCalcKrnl::Evaluate(int32_t level) {
  Accumulator = Operand;
  for (int32_t i = kTopLevel; i >= std::max(level, 0); --i) {
    TPendingRec& slot = Pending[i];
    if (!slot.Active) continue;
    // The value folded so far is the right operand; the slot keeps the partial result
    // as its left one, so a repeated "=" repeats the operation with the same operand.
    Operand = Accumulator;
    Accumulator = ApplyOperation(i * 2 + (slot.Operation & 1), slot.LeftValue, Operand);
    slot.LeftValue = Accumulator;
    // The product or quotient is now inside the sum; repeating it would count it twice.
    if (i == 0) Pending[1].Active = false;
  }
  State = ResultShown;
  Changed();
}

Extended TSmplCalcKrnl::GetValue() const { return (State & ResultShown) ? Accumulator : Operand; }

void TSmplCalcKrnl::ApplyOperator(uint8_t code) {
  const int32_t level = (code & 0x7F) >> 1;
  // Only two slots exist; a higher level would have nowhere to be stored.
  if (level > kTopLevel) return;

  if (State & ResultShown) {
    // The result becomes the left operand and everything pending is dropped.
    ClearPending(0);
    Operand = Accumulator;
  } else if (State & Entering) {
    // The typed operand is the right operand of what is pending.
  } else {
    // Right after another operator key: withdraw what that key stored, so this key
    // replaces it as if the value on display had been typed before it.
    ClearPending(Level);
  }
  Evaluate(level);  // the one change report, with the partial result on display
  ClearPending(level);
  TPendingRec& slot = Pending[level];
  slot.LeftValue = Accumulator;
  slot.Operation = code & 1;
  slot.Active = true;
  Operand = Accumulator;
  State = 0;
}

void TSmplCalcKrnl::SetEntry(Extended value) {
  // A number typed after a result starts a new calculation.
  if (State & ResultShown) ClearPending(0);
  Operand = value;
  State = Entering;
  Changed();
}

void TSmplCalcKrnl::Reset(Extended value) {
  ClearPending(0);
  Operand = value;  // Accumulator keeps its value; it is not on display
  State = 0;
  Changed();
}
