#include "calc/KeyTable.h"

namespace {

// Stored row by row; row r of the grid is KeyTable[r - 1]. The decimal key has no literal
// caption: the locale supplies it at start.
TButtonRec KeyTable[kKeyRows][kKeyColumns] = {
    {{u"7", 7, bkChar}, {u"8", 8, bkChar}, {u"9", 9, bkChar}, {u"\u00F7", 0, bkDivide}},
    {{u"4", 4, bkChar}, {u"5", 5, bkChar}, {u"6", 6, bkChar}, {u"\u00D7", 0, bkMultiply}},
    {{u"1", 1, bkChar}, {u"2", 2, bkChar}, {u"3", 3, bkChar}, {u"-", 0, bkSubtract}},
    {{u"0", 0, bkChar}, {u"", -1, bkChar}, {u"=", 0, bkEquals}, {u"+", 0, bkAdd}},
};

// Kind 0xFF is no key kind, so the key actions pass over it.
const TButtonRec kNoKey = {u"", 0, 0xFF};

constexpr int kDecimalRow = 4;
constexpr int kDecimalColumn = 1;

}  // namespace

const TButtonRec& KeyAt(int col, int row) {
  if (col < 0 || col >= kKeyColumns || row < 1 || row > kKeyRows) return kNoKey;
  return KeyTable[row - 1][col];
}

void SetDecimalKeyCaption(char16_t separator) {
  KeyTable[kDecimalRow - 1][kDecimalColumn].Caption = std::u16string(1, separator);
}
