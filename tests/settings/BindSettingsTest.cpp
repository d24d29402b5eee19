#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <string>

#include "SettingsTestSupport.h"

namespace {

TEST(BindSettings, Integer) {
  const struct {
    const char* value;
    std::optional<int32_t> stored;  // none: the variable keeps its value
  } cases[] = {
      {"42", 42},
      {"-17", -17},
      {"$FF", 255},
      {"0xC0C0C0", 0xC0C0C0},
      {"$FFFFFFFF", -1},
      {"-2147483648", INT32_MIN},
      {"2147483648", {}},
      {"4294967296", {}},
      {"99999999999", {}},
      {"$123456789", {}},
      {"0x100000000", {}},
      {"7=8", {}},
      {"", {}},
      {"1.5", {}},
      {"12 ", {}},
      {"#FF", {}},
      {"0x", {}},
  };
  for (const auto& c : cases) {
    int32_t variable = 5;
    const TParamRec table[] = {MakeParamRec("Margin", &variable, pkInteger)};
    BindSettings(table, 1, "Margin", c.value);
    EXPECT_EQ(variable, c.stored.value_or(5)) << "'" << c.value << "'";
  }
}

TEST(BindSettings, Boolean) {
  const struct {
    const char* value;
    std::optional<bool> stored;
  } cases[] = {
      {"1", true},    {"2", true},    {"-1", true},  {"$10", true},    {"0", false}, {"yes", true},
      {"TRUE", true}, {"True", true}, {"no", false}, {"FALSE", false}, {"off", {}},  {"on", {}},
      {"", {}},       {"1.0", {}},    {"Y", {}},     {"yes ", {}},     {"T", {}},    {"99999999999", {}},
  };
  for (const auto& c : cases) {
    for (bool before : {false, true}) {
      bool variable = before;
      const TParamRec table[] = {MakeParamRec("ClickOnDown", &variable, pkBoolean)};
      BindSettings(table, 1, "ClickOnDown", c.value);
      EXPECT_EQ(variable, c.stored.value_or(before)) << "'" << c.value << "' over " << before;
    }
  }
}

TEST(BindSettings, Float) {
  const struct {
    const char* value;
    std::optional<double> stored;
  } cases[] = {
      {"1.5", 1.5},
      {"  -2.5e3 ", -2500.0},
      {"0.1", 0.1},
      {"1e-400", 0.0},                      // below the doubles: zero
      {"1.7976931348623158e308", DBL_MAX},  // above DBL_MAX, still rounds down to it
      {"1.7976931348623159e308", {}},       // would round to infinity
      {"-1e400", {}},
      {"1e4000", {}},
      {"abc", {}},
      {"", {}},
      {"1,5", {}},
  };
  for (const auto& c : cases) {
    double variable = 7.25;
    const TParamRec table[] = {MakeParamRec("Scale", &variable, pkFloat)};
    BindSettings(table, 1, "Scale", c.value);
    EXPECT_EQ(variable, c.stored.value_or(7.25)) << "'" << c.value << "'";
  }
}

TEST(BindSettings, StringTakesTheValueUnchanged) {
  for (const char* value : {"Courier New", "", " x\t=# "}) {
    std::string variable = "before";
    const TParamRec table[] = {MakeParamRec("FontFace", &variable, pkString)};
    BindSettings(table, 1, "FontFace", value);
    EXPECT_EQ(variable, value);
  }
}

TEST(BindSettings, UnknownKindBindsNothing) {
  int32_t variable = 5;
  const TParamRec table[] = {MakeParamRec("Margin", &variable, 4), MakeParamRec("Margin", &variable, 255)};
  BindSettings(table, 2, "Margin", "9");
  EXPECT_EQ(variable, 5);
}

TEST(BindSettings, KeysMatchWithoutRegardToTheCaseOfLetters) {
  const struct {
    const char* key;
    bool matches;
  } cases[] = {
      {"Margin", true}, {"margin", true},   {"MARGIN", true},   {"mArGiN", true},
      {"Marg", false},  {"Margins", false}, {" Margin", false}, {"", false},
  };
  for (const auto& c : cases) {
    int32_t variable = 5;
    const TParamRec table[] = {MakeParamRec("Margin", &variable, pkInteger)};
    BindSettings(table, 1, c.key, "9");
    EXPECT_EQ(variable, c.matches ? 9 : 5) << "'" << c.key << "'";
  }
  // Only a..z fold: the Latin-1 capital and small E acute stay different.
  int32_t accented = 5;
  const TParamRec table[] = {MakeParamRec("\xC9t\xE9", &accented, pkInteger)};
  BindSettings(table, 1, "\xE9T\xC9", "9");
  EXPECT_EQ(accented, 5);
}

TEST(BindSettings, EveryMatchingEntryIsAssigned) {
  int32_t first = 0, second = 0, other = 0;
  const TParamRec table[] = {MakeParamRec("Margin", &first, pkInteger), MakeParamRec("Other", &other, pkInteger),
                             MakeParamRec("MARGIN", &second, pkInteger)};
  BindSettings(table, 3, "margin", "3");
  EXPECT_EQ(first, 3);
  EXPECT_EQ(second, 3);
  EXPECT_EQ(other, 0);
}

TEST(LoadParamsFrom, LastValidValueOfAKeyWins) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "Margin=1\nmargin=2\nMARGIN=junk\nFontFace=A\nFontFace=\n");
  int32_t margin = 0;
  std::string face = "x";
  const TParamRec table[] = {MakeParamRec("Margin", &margin, pkInteger), MakeParamRec("FontFace", &face, pkString)};
  LoadParamsFrom(file, table, 2);
  EXPECT_EQ(margin, 2);
  EXPECT_EQ(face, "");
}

}  // namespace
