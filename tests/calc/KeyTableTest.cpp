#include "calc/KeyTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KeyCase {
  int col, row;
  std::u16string caption;
  int32_t value;
  uint8_t kind;
};

// The whole pad once the program has started with "," as the locale's separator.
const KeyCase kPad[] = {
    {0, 1, u"7", 7, bkChar}, {1, 1, u"8", 8, bkChar},  {2, 1, u"9", 9, bkChar},   {3, 1, u"\u00F7", 0, bkDivide},
    {0, 2, u"4", 4, bkChar}, {1, 2, u"5", 5, bkChar},  {2, 2, u"6", 6, bkChar},   {3, 2, u"\u00D7", 0, bkMultiply},
    {0, 3, u"1", 1, bkChar}, {1, 3, u"2", 2, bkChar},  {2, 3, u"3", 3, bkChar},   {3, 3, u"\u002D", 0, bkSubtract},
    {0, 4, u"0", 0, bkChar}, {1, 4, u",", -1, bkChar}, {2, 4, u"=", 0, bkEquals}, {3, 4, u"+", 0, bkAdd},
};

std::string Where(int col, int row) { return "column " + std::to_string(col) + ", row " + std::to_string(row); }

TEST(KeyTable, HoldsThePadAfterStart) {
  SetKeyCaptions();
  SetDecimalKeyCaption(',');
  for (const KeyCase& k : kPad) {
    const TButtonRec& key = KeyAt(k.col, k.row);
    EXPECT_TRUE(key.Caption == k.caption) << Where(k.col, k.row);
    EXPECT_EQ(key.Value, k.value) << Where(k.col, k.row);
    EXPECT_EQ(key.Kind, k.kind) << Where(k.col, k.row);
  }
}

// The locale's separator is set after the literals and survives them being set again.
TEST(KeyTable, DecimalKeyShowsTheLocaleSeparator) {
  for (char separator : {'.', ','}) {
    SetKeyCaptions();
    SetDecimalKeyCaption(separator);
    SetKeyCaptions();
    EXPECT_TRUE(KeyAt(1, 4).Caption == std::u16string(1, char16_t(separator))) << "separator " << separator;
    EXPECT_EQ(KeyAt(1, 4).Value, -1);
    EXPECT_TRUE(KeyAt(0, 4).Caption == u"0");
  }
}

TEST(KeyTable, PositionsOutsideTheGridAreNoKey) {
  SetKeyCaptions();
  const int outside[][2] = {{-1, 1}, {4, 1}, {0, 0}, {0, 5}, {3, -1}, {100, 100}};
  for (const auto& p : outside) {
    const TButtonRec& key = KeyAt(p[0], p[1]);
    EXPECT_TRUE(key.Caption.empty()) << Where(p[0], p[1]);
    EXPECT_GT(key.Kind, bkDivide) << Where(p[0], p[1]);
  }
}

}  // namespace
