// The calculator's arithmetic: operands and the four operators with two precedence
// levels (multiply and divide before add and subtract), no parentheses. Instead of an
// expression stack it keeps one pending operation per level, which is all two levels
// need. It holds numbers only; the typed text and the display belong to the key actions.
#ifndef KWIX_CALC_SMPLCALCKRNL_H
#define KWIX_CALC_SMPLCALCKRNL_H

#include <cstdint>
#include <functional>

#include "base/X87.h"

// One pending operation: the slot's level comes from its index in TSmplCalcKrnl::Pending.
struct TPendingRec {
  bool Active = false;
  uint8_t Operation = 0;   // 0 or 1: add/subtract on level 0, multiply/divide on level 1
  Extended LeftValue = 0;  // the left operand; once folded, the partial result
};

class TSmplCalcKrnl {
 public:
  // The flags of State. Only 0 (idle), Entering alone and ResultShown alone are stored.
  static constexpr uint8_t Entering = 1;     // an operand is being typed
  static constexpr uint8_t ResultShown = 2;  // the last step was an evaluation

  using TChangeEvent = std::function<void(TSmplCalcKrnl& sender)>;

  virtual ~TSmplCalcKrnl() = default;

  // Reports a change of the value to display; the handler must only read the kernel.
  virtual void Changed();

  // Switches off the pending operations from level 1 down to level and records it in Level.
  void ClearPending(int32_t level);
  // Folds the pending operations from level 1 down to level into Accumulator and reports
  // the result. A folded slot stays active, so a repeated evaluation repeats it.
  void Evaluate(int32_t level);
  // What the display shows: the result after an evaluation, otherwise the operand.
  Extended GetValue() const;
  // An operator key: bit 0 of code the operation, bits 1 to 6 the level (0 add,
  // 1 subtract, 2 multiply, 3 divide). A code whose level has no slot is ignored.
  void ApplyOperator(uint8_t code);
  // The operand typed so far has this value; after a result it starts a new calculation.
  void SetEntry(Extended value);
  // Forgets everything pending and loads value as the operand.
  void Reset(Extended value);

  // The number being entered; after an operator key the value on display; while a
  // pending operation is folded, its right operand.
  Extended Operand = 0;
  // The result of the last evaluation.
  Extended Accumulator = 0;
  uint8_t State = 0;
  // Index 0 the additive level, index 1 the multiplicative one.
  TPendingRec Pending[2] = {};
  // The level of the latest ClearPending; right after an operator key, that operator's level.
  int32_t Level = 0;
  // Called with the kernel after every change of GetValue's result; may be empty.
  TChangeEvent OnChange;
};

#endif
