#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Fakes.h"

namespace {

void WriteSettingsFile(const std::string& bytes) {
  std::remove(SettingsFileName().c_str());
  if (!bytes.empty()) std::ofstream(SettingsFileName(), std::ios::binary) << bytes;
}

// Loads of kwix.ini in this order: the pad font is made again exactly when one of the four
// font settings or the DPI it is for changed since the load before. Unnamed fields keep their defaults.
struct FontRow {
  const char* name;
  std::string file;
  int dpi = 96;     // the screen's
  int monitor = 0;  // the pad's monitor's; 0: the screen's
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
      {.name = "the first load, no file", .file = "", .remade = true},
      {.name = "nothing changed", .file = "Margin=9", .remade = false},
      {.name = "FontSize after a blank line, its key in capitals, then 0x1A within the line, as a comment",
       .file = " \t \nFONTSIZE = 12\x1A" "0 # points\r\n", .remade = true, .height = -16},
      {.name = "BoldFont alone, 0 as false; an unreadable value keeps the earlier line's",
       .file = "FontSize=12\nFontSize=x\nBoldFont=0", .remade = true, .height = -16, .weight = 400},
      {.name = "ItalicFont alone, 2 as true, \"no\" as false; control bytes are blanks",
       .file = "FontSize=12\nBoldFont=no\n\x01ItalicFont\x01=\x01" "2", .remade = true, .height = -16, .weight = 400,
       .italic = 1},
      {.name = "back to the defaults: a byte-order mark spoils the first key, 0x1A ends the data",
       .file = "\xEF\xBB\xBF" "FontSize=12\n\x1A" "BoldFont=no", .remade = true},
      {.name = "FontFace alone, cut to 31 bytes, tabs around key and value",
       .file = "\tFontFace\t=\t" + longFace + "\t", .remade = true, .face = longFace.substr(0, 31)},
      {.name = "an empty FontFace at 144 dpi", .file = "FontFace=", .dpi = 144, .remade = true, .height = -16,
       .face = ""},
      {.name = "the same on a monitor at 192 dpi", .file = "FontFace=", .dpi = 144, .monitor = 192, .remade = true,
       .height = -21, .face = ""},
      {.name = "the same monitor again", .file = "FontFace=", .dpi = 144, .monitor = 192, .remade = false},
  };
  // clang-format on
  TSettings settings;
  TMadeFont made;
  FakePad pad{settings};
  for (const FontRow& row : rows) {
    SCOPED_TRACE(row.name);
    WriteSettingsFile(row.file);
    pad.dpi = row.dpi;
    pad.fontsMade = 0;
    settings = LoadSettings('.');
    FitPadFont(made, settings, pad, row.monitor);
    EXPECT_EQ(pad.fontsMade, row.remade ? 1 : 0);
    if (!row.remade) continue;
    EXPECT_EQ(pad.font.Height, row.height);
    EXPECT_EQ(pad.font.Weight, row.weight);
    EXPECT_EQ(pad.font.Italic, row.italic);
    EXPECT_EQ(std::string(pad.font.FaceName), row.face);
  }
  WriteSettingsFile("");
}

// kwix.ini.example names every setting once, in the table's order, and loading it changes
// none of them from its default.
TEST(Settings, ExampleFileHoldsEveryDefault) {
  std::ifstream example(KWIX_EXAMPLE_INI, std::ios::binary);
  WriteSettingsFile(std::string(std::istreambuf_iterator<char>(example), {}));
  std::string keys;
  ReadModuleSettings([&](const std::string& key, const std::string&) { keys += key + " "; });
#define KWIX_NAME(name, type, kind, value) #name " "
  EXPECT_EQ(keys, KWIX_SETTINGS(KWIX_NAME));
#undef KWIX_NAME
  // Each setting off its default first, so that a value the file failed to set shows.
  TSettings settings;
#define KWIX_SPOIL(name, type, kind, value) settings.name = type{};
  KWIX_SETTINGS(KWIX_SPOIL)
#undef KWIX_SPOIL
  const TParamRec table[] = {
#define KWIX_BIND(name, type, kind, value) MakeParamRec(#name, &settings.name, kind),
      KWIX_SETTINGS(KWIX_BIND)
#undef KWIX_BIND
  };
  LoadParams(table, std::size(table), '.');
#define KWIX_EXPECT_DEFAULT(name, type, kind, value) EXPECT_EQ(settings.name, value) << #name;
  KWIX_SETTINGS(KWIX_EXPECT_DEFAULT)
#undef KWIX_EXPECT_DEFAULT
  WriteSettingsFile("");
}

}  // namespace
