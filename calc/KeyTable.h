// The sixteen keys of the pad: the caption drawn on each, the value it carries and
// what kind of key it is. Rows are numbered 1 to 4 like the grid rows of the keys,
// columns 0 to 3; column 3, the operators, exists only in calculator mode.
#ifndef KWIX_CALC_KEYTABLE_H
#define KWIX_CALC_KEYTABLE_H

#include <cstdint>
#include <string>

// Key kinds. For the operators, Kind − 2 is the kernel's operator code.
enum : uint8_t {
  bkChar = 0,  // a digit or the decimal separator
  bkEquals = 1,
  bkAdd = 2,
  bkSubtract = 3,
  bkMultiply = 4,
  bkDivide = 5,
};

struct TButtonRec {
  std::u16string Caption;
  int32_t Value;  // a digit key's digit, -1 for the decimal separator, 0 for the others
  uint8_t Kind;
};

constexpr int kKeyRows = 4;
constexpr int kKeyColumns = 4;

// The key in column col (0 to 3) of row row (1 to 4). Outside the grid: a key with an
// empty caption and a kind no action knows, so a stray position does nothing.
const TButtonRec& KeyAt(int col, int row);

// The decimal key (row 4, column 1) shows the locale's separator, as wide text.
void SetDecimalKeyCaption(char16_t separator);

#endif
