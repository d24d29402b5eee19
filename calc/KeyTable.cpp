#include "calc/KeyTable.h"

namespace {

// Stored row by row; row r of the grid is KeyTable[r - 1]. The captions are filled in
// at start.
TButtonRec KeyTable[kKeyRows][kKeyColumns] = {
    {{u"", 7, bkChar}, {u"", 8, bkChar}, {u"", 9, bkChar}, {u"", 0, bkDivide}},
    {{u"", 4, bkChar}, {u"", 5, bkChar}, {u"", 6, bkChar}, {u"", 0, bkMultiply}},
    {{u"", 1, bkChar}, {u"", 2, bkChar}, {u"", 3, bkChar}, {u"", 0, bkSubtract}},
    {{u"", 0, bkChar}, {u"", -1, bkChar}, {u"", 0, bkEquals}, {u"", 0, bkAdd}},
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

void SetKeyCaptions() {
  // The decimal key has no literal caption: the locale supplies it later.
  static const char16_t* const kCaptions[kKeyRows][kKeyColumns] = {
      {u"7", u"8", u"9", u"\u00F7"},
      {u"4", u"5", u"6", u"\u00D7"},
      {u"1", u"2", u"3", u"-"},
      {u"0", nullptr, u"=", u"+"},
  };
  for (int r = 0; r < kKeyRows; ++r)
    for (int c = 0; c < kKeyColumns; ++c)
      if (kCaptions[r][c]) KeyTable[r][c].Caption = kCaptions[r][c];
}

void SetDecimalKeyCaption(char separator) {
  // The separator is a single byte; taken as Latin-1, which covers "." and ",".
  SetDecimalKeyCaption(static_cast<char16_t>(static_cast<unsigned char>(separator)));
}

void SetDecimalKeyCaption(char16_t separator) {
  KeyTable[kDecimalRow - 1][kDecimalColumn].Caption = std::u16string(1, separator);
}
