#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Fakes.h"

namespace {

void WriteSettingsFile(const std::string& bytes) {
  std::remove(SettingsFileName().c_str());
  if (!bytes.empty()) std::ofstream(SettingsFileName(), std::ios::binary) << bytes;
}

// The fields hold what a load of the file puts in force; unnamed ones keep their defaults.
struct LineRow {
  const char* name;
  std::string file;  // "": no file at all
  int32_t margin = 5;
  int32_t bgColor = 0;
  std::string fontFace = "Verdana";
  bool boldFont = true;
  bool italicFont = false;
  bool useHandCursor = false;
  bool clickOnDown = true;
};

TEST(Settings, FileLinesAndValues) {
  // clang-format off
  const LineRow rows[] = {
      {.name = "no file: the defaults", .file = ""},
      {.name = "a blank line, keys, spaces and a comment",
       .file = " \t \nMargin = 7 # outer margin\r\nBGColor=$FF\n", .margin = 7, .bgColor = 0xFF},
      {.name = "keys in any case; an unreadable value keeps the earlier line's; no sections",
       .file = "margin=9\nMARGIN=x\n  =5\n[Look]\nBGColor=#FF0000\n", .margin = 9},
      {.name = "tabs around keys and values; a number is a boolean, \"off\" is not",
       .file = "\tFontFace\t=\tCourier New\t\nBoldFont=no\nItalicFont=TRUE\nUseHandCursor=2\nClickOnDown=off\n",
       .fontFace = "Courier New", .boldFont = false, .italicFont = true, .useHandCursor = true},
      {.name = "a CR alone ends no line", .file = "Margin=1\rBGColor=2\r"},
      {.name = "a byte-order mark spoils the first key; 0x1A ends the data",
       .file = "\xEF\xBB\xBFMargin=1\nBGColor=2\nBoldFont=1.0\n\x1AMargin=3", .bgColor = 2},
      {.name = "control bytes are blanks; 0x1A ends a line's text",
       .file = "\x01Margin\x01=\x01" "9\x01\nFontFace=Tahoma\x1A" "junk\nBGColor=3\nUseHandCursor=yes",
       .margin = 9, .bgColor = 3, .fontFace = "Tahoma", .useHandCursor = true},
      {.name = "a value longer than any line so far, and an empty face",
       .file = "BGColor=" + std::string(5000, '0') + "1\nFontFace=\n", .bgColor = 1, .fontFace = ""},
  };
  // clang-format on
  Program p;
  for (const LineRow& row : rows) {
    SCOPED_TRACE(row.name);
    WriteSettingsFile(row.file);
    Margin = BGColor = -1;  // what an earlier load left must not survive this one
    LoadSettings(p.pad);
    EXPECT_EQ(Margin, row.margin);
    EXPECT_EQ(BGColor, row.bgColor);
    EXPECT_EQ(FontFace, row.fontFace);
    EXPECT_EQ(BoldFont, row.boldFont);
    EXPECT_EQ(ItalicFont, row.italicFont);
    EXPECT_EQ(UseHandCursor, row.useHandCursor);
    EXPECT_EQ(ClickOnDown, row.clickOnDown);
  }
  WriteSettingsFile("");
}

// Loads in this order: the pad font is made again exactly when one of the four font
// settings changed since the load before.
struct FontRow {
  const char* name;
  std::string file;
  int dpi = 96;
  bool remade;
  int32_t height = -11;  // pixels: the point size at the screen's resolution
  int32_t weight = 700;
  uint8_t italic = 0;
  std::string face = "Verdana";
};

TEST(Settings, PadFontFollowsTheFontSettings) {
  const std::string longFace(40, 'F');
  // clang-format off
  const FontRow rows[] = {
      {.name = "the first load", .file = "", .remade = true},
      {.name = "nothing changed", .file = "Margin=9", .remade = false},
      {.name = "FontSize", .file = "FontSize=12", .remade = true, .height = -16},
      {.name = "BoldFont alone", .file = "FontSize=12\nBoldFont=no", .remade = true, .height = -16, .weight = 400},
      {.name = "ItalicFont alone", .file = "FontSize=12\nBoldFont=no\nItalicFont=1", .remade = true,
       .height = -16, .weight = 400, .italic = 1},
      {.name = "back to the defaults", .file = "", .remade = true},
      {.name = "FontFace alone, cut to 31 bytes", .file = "FontFace=" + longFace, .remade = true,
       .face = longFace.substr(0, 31)},
      {.name = "an empty FontFace at 144 dpi", .file = "FontFace=", .dpi = 144, .remade = true, .height = -16,
       .face = ""},
  };
  // clang-format on
  Program p;
  ClearSettings();
  for (const FontRow& row : rows) {
    SCOPED_TRACE(row.name);
    WriteSettingsFile(row.file);
    p.pad.dpi = row.dpi;
    p.pad.fontsMade = 0;
    LoadSettings(p.pad);
    EXPECT_EQ(p.pad.fontsMade, row.remade ? 1 : 0);
    if (!row.remade) continue;
    EXPECT_EQ(p.pad.font.Height, row.height);
    EXPECT_EQ(p.pad.font.Weight, row.weight);
    EXPECT_EQ(p.pad.font.Italic, row.italic);
    EXPECT_EQ(std::string(p.pad.font.FaceName), row.face);
  }
  WriteSettingsFile("");
}

// kwix.ini.example names every setting once, in the table's order, and loading it changes
// none of them from its default.
TEST(Settings, ExampleFileHoldsEveryDefault) {
  Program p;
  std::ifstream example(KWIX_EXAMPLE_INI, std::ios::binary);
  WriteSettingsFile(std::string(std::istreambuf_iterator<char>(example), {}));
  std::string keys;
  ReadModuleSettings([&](const std::string& key, const std::string&) { keys += key + " "; });
#define KWIX_NAME(name, type, kind, value) #name " "
  EXPECT_EQ(keys, KWIX_SETTINGS(KWIX_NAME));
#undef KWIX_NAME
  // Each setting off its default first, so that a value the file failed to set shows.
#define KWIX_SPOIL(name, type, kind, value) name = type{};
  KWIX_SETTINGS(KWIX_SPOIL)
#undef KWIX_SPOIL
  const TParamRec table[] = {
#define KWIX_BIND(name, type, kind, value) MakeParamRec(#name, &name, kind),
      KWIX_SETTINGS(KWIX_BIND)
#undef KWIX_BIND
  };
  LoadParams(table, std::size(table));
#define KWIX_EXPECT_DEFAULT(name, type, kind, value) EXPECT_EQ(name, value) << #name;
  KWIX_SETTINGS(KWIX_EXPECT_DEFAULT)
#undef KWIX_EXPECT_DEFAULT
  WriteSettingsFile("");
}

}  // namespace
