#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Fakes.h"

namespace {

void Write(const std::string& bytes) { std::ofstream(SettingsFileName(), std::ios::binary) << bytes; }

#define KWIX_EXPECT_DEFAULT(name, type, kind, value) EXPECT_EQ(name, value) << #name;

// Loads of the file beside the program ("": none) at a screen resolution: the font, rebuilt
// only when a font setting changed ("": not rebuilt), and some settings (Margin, BGColor, the
// face's first 12 bytes, BoldFont ItalicFont UseHandCursor ClickOnDown). A value that does
// not convert leaves the default or the value of an earlier line.
TEST(Settings, LinesValuesAndFont) {
  const std::string face(40, 'F');
  // clang-format off
  const std::tuple<std::string, int, std::string, const char*> rows[] = {
      {"", 96, "-11 700 0 Verdana", "5 0 Verdana 1001"},
      {"Margin = 7 # outer margin\r\nBGColor=$FF\nFontSize=12\n", 96, "-16 700 0 Verdana", "7 FF Verdana 1001"},
      {"margin=9\nMARGIN=x\n  =5\n[Look]\nBGColor=#FF0000\nCornerCurveX=7=8\nFontSize=12", 96, "", "9 0 Verdana 1001"},
      {"\tFontFace\t=\tCourier New\t\nBoldFont=no\nItalicFont=TRUE\nUseHandCursor=2\nClickOnDown=off\n", 120,
       "-13 400 1 Courier New", "5 0 Courier New 0111"},
      {"Margin=1\rBGColor=2\r", 96, "-11 700 0 Verdana", "5 0 Verdana 1001"},
      {"\xEF\xBB\xBFMargin=1\nBGColor=2\nBoldFont=1.0\n\x1AMargin=3", 96, "", "5 2 Verdana 1001"},
      {"\x01Margin\x01=\x01" "9\x01\nFontFace=" + face + "\x1A" "junk\nBGColor=3\nUseHandCursor=yes", 144,
       "-16 700 0 " + face.substr(9), "9 3 FFFFFFFFFFFF 1011"},
      {"BGColor=" + std::string(5000, '0') + "1\nFontFace=\n", 144, "-16 700 0 ", "5 1  1001"},
      {"", 144, "-16 700 0 Verdana", "5 0 Verdana 1001"}};
  // clang-format on
  Program p;
  ClearSettings();
  for (const auto& [file, dpi, font, settings] : rows) {
    std::remove(SettingsFileName().c_str());
    if (!file.empty()) Write(file);
    p.pad.dpi = dpi;
    const int fonts = p.pad.fonts;
    LoadSettings(p.pad);
    const TLogFont& f = p.pad.font;
    const std::string rebuilt =
        std::to_string(f.Height) + " " + std::to_string(f.Weight) + " " + std::to_string(f.Italic);
    EXPECT_EQ(p.pad.fonts == fonts ? "" : rebuilt + " " + f.FaceName, font) << file;
    EXPECT_EQ(std::to_string(Margin) + " " + Hex(BGColor) + " " + FontFace.substr(0, 12) + " " + "01"[BoldFont] +
                  "01"[ItalicFont] + "01"[UseHandCursor] + "01"[ClickOnDown],
              settings)
        << file;
  }
  KWIX_SETTINGS(KWIX_EXPECT_DEFAULT)
  // The example file names every setting once, at its default.
  std::ifstream example(KWIX_EXAMPLE_INI, std::ios::binary);
  Write(std::string(std::istreambuf_iterator<char>(example), {}));
  std::string keys;
  ReadModuleSettings([&](const std::string& k, const std::string&) { keys += k + " "; });
#define KWIX_NAME(name, type, kind, value) #name " "
  EXPECT_EQ(keys, KWIX_SETTINGS(KWIX_NAME));
  BGColor = 1;
  LoadSettings(p.pad);
  KWIX_SETTINGS(KWIX_EXPECT_DEFAULT)
  std::remove(SettingsFileName().c_str());
}

}  // namespace
