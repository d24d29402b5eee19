#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "SettingsTestSupport.h"
#include "settings/SettingsFile.h"

namespace {

using namespace std::string_literals;
using Values = std::map<std::string, std::string>;

// Every setting as text, so a difference names the setting.
Values CurrentValues() {
  Values v;
  const std::pair<const char*, const int32_t*> integers[] = {{"Margin", &Margin},
                                                             {"CornerCurveX", &CornerCurveX},
                                                             {"CornerCurveY", &CornerCurveY},
                                                             {"BGColor", &BGColor},
                                                             {"PenColor", &PenColor},
                                                             {"FontSize", &FontSize},
                                                             {"BtnMargin", &BtnMargin},
                                                             {"BtnCornerCurveX", &BtnCornerCurveX},
                                                             {"BtnCornerCurveY", &BtnCornerCurveY},
                                                             {"BtnColor", &BtnColor},
                                                             {"BtnTextColor", &BtnTextColor},
                                                             {"BtnHoverColor", &BtnHoverColor},
                                                             {"BtnHoverTextColor", &BtnHoverTextColor},
                                                             {"CalcEditBottomMargin", &CalcEditBottomMargin},
                                                             {"CalcEditCornerCurveX", &CalcEditCornerCurveX},
                                                             {"CalcEditCornerCurveY", &CalcEditCornerCurveY},
                                                             {"CalcEditColor", &CalcEditColor},
                                                             {"CalcEditTextColor", &CalcEditTextColor},
                                                             {"MaskColor", &MaskColor}};
  for (const auto& i : integers) v[i.first] = std::to_string(*i.second);
  const std::pair<const char*, const bool*> flags[] = {{"BoldFont", &BoldFont},
                                                       {"ItalicFont", &ItalicFont},
                                                       {"UseHandCursor", &UseHandCursor},
                                                       {"ClickOnDown", &ClickOnDown}};
  for (const auto& f : flags) v[f.first] = *f.second ? "1" : "0";
  v["FontFace"] = FontFace;
  return v;
}

const Values kDefaults = {
    {"Margin", "5"},
    {"CornerCurveX", "5"},
    {"CornerCurveY", "5"},
    {"BGColor", "0"},
    {"PenColor", "12632256"},
    {"FontFace", "Verdana"},
    {"FontSize", "8"},
    {"BoldFont", "1"},
    {"ItalicFont", "0"},
    {"BtnMargin", "1"},
    {"BtnCornerCurveX", "5"},
    {"BtnCornerCurveY", "5"},
    {"BtnColor", "0"},
    {"BtnTextColor", "65535"},
    {"BtnHoverColor", "0"},
    {"BtnHoverTextColor", "16777215"},
    {"UseHandCursor", "0"},
    {"ClickOnDown", "1"},
    {"CalcEditBottomMargin", "3"},
    {"CalcEditCornerCurveX", "5"},
    {"CalcEditCornerCurveY", "5"},
    {"CalcEditColor", "0"},
    {"CalcEditTextColor", "16777215"},
    {"MaskColor", "16711935"},
};

// The settings whose values differ, each as "name: actual, expected"; empty when none.
std::string Differences(const Values& actual, const Values& expected) {
  std::string text;
  for (const auto& e : expected) {
    auto a = actual.find(e.first);
    const std::string shown = a == actual.end() ? "(none)" : a->second.substr(0, 40);
    if (a == actual.end() || a->second != e.second) {
      text += e.first + ": " + shown + ", expected " + e.second.substr(0, 40) + "; ";
    }
  }
  return text;
}

Values DefaultsWith(const Values& changes) {
  Values v = kDefaults;
  for (const auto& c : changes) v[c.first] = c.second;
  return v;
}

// Lines that change every setting, keys in assorted case, colours in every notation.
const struct {
  const char* line;
  const char* setting;
  const char* value;
} kEverySetting[] = {
    {"Margin=7", "Margin", "7"},
    {"cornercurvex = 9", "CornerCurveX", "9"},
    {"CORNERCURVEY\t=\t11", "CornerCurveY", "11"},
    {"BGColor=$FF  # red", "BGColor", "255"},
    {"PenColor=0x123456", "PenColor", "1193046"},
    {"FontFace = Courier New", "FontFace", "Courier New"},
    {"FontSize=12", "FontSize", "12"},
    {"BoldFont=no", "BoldFont", "0"},
    {"ItalicFont=Yes", "ItalicFont", "1"},
    {"BtnMargin=-2", "BtnMargin", "-2"},
    {"BtnCornerCurveX=0", "BtnCornerCurveX", "0"},
    {"BtnCornerCurveY=x1F", "BtnCornerCurveY", "31"},
    {"BtnColor=255", "BtnColor", "255"},
    {"BtnTextColor=0X00FF00", "BtnTextColor", "65280"},
    {"BtnHoverColor=$FFFFFF", "BtnHoverColor", "16777215"},
    {"BtnHoverTextColor=1", "BtnHoverTextColor", "1"},
    {"UseHandCursor=TRUE", "UseHandCursor", "1"},
    {"ClickOnDown=0", "ClickOnDown", "0"},
    {"CalcEditBottomMargin=+4", "CalcEditBottomMargin", "4"},
    {"CalcEditCornerCurveX=6", "CalcEditCornerCurveX", "6"},
    {"CalcEditCornerCurveY=8", "CalcEditCornerCurveY", "8"},
    {"CalcEditColor=$C0C0C0", "CalcEditColor", "12632256"},
    {"CalcEditTextColor=-1", "CalcEditTextColor", "-1"},
    {"MaskColor=$00FF00", "MaskColor", "65280"},
};

std::string EverySettingFile() {
  std::string text = "[Look]\n";
  for (const auto& s : kEverySetting) text += std::string(s.line) + "\n";
  return text;
}

TEST(LoadSettings, FileSetsEverySetting) {
  TempFolder folder;
  FakeFontHost fonts;
  LoadSettingsFrom(folder.Write("all.ini", EverySettingFile()), fonts);
  Values expected;
  for (const auto& s : kEverySetting) expected[s.setting] = s.value;
  EXPECT_EQ(Differences(CurrentValues(), expected), "");
}

// Each load starts again from the defaults: nothing carries over from the last file.
TEST(LoadSettings, MissingFileGivesEveryDefault) {
  TempFolder folder;
  FakeFontHost fonts(120);
  LoadSettingsFrom(folder.Write("all.ini", EverySettingFile()), fonts);
  LoadSettingsFrom(folder.PathOf("absent.ini"), fonts);
  EXPECT_EQ(Differences(CurrentValues(), kDefaults), "");
  EXPECT_STREQ(fonts.Last.FaceName, "Verdana");
  EXPECT_EQ(fonts.Last.Height, -13);
  EXPECT_EQ(fonts.Last.Weight, 700);
  EXPECT_EQ(fonts.Last.Italic, 0);
}

// Bad files never stop the load: each gives the defaults, or the values of the lines
// that could be read.
TEST(LoadSettings, BadFilesGiveDefaultsOrWhatCouldBeRead) {
  std::mt19937 rng(6021);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(rng());
  const struct {
    const char* name;
    std::string bytes;
    Values changes;
  } cases[] = {
      {"empty file", "", {}},
      {"binary garbage", garbage, {}},
      {"NUL bytes",
       std::string(5000, '\0') + "\0Margin\0=\0"
                                 "9\0\n\0\0\0"s,
       {{"Margin", "9"}}},
      {"NUL inside a value",
       "Margin=1\0"
       "2\nBGColor=3"s,
       {{"BGColor", "3"}}},
      {"line of a megabyte",
       "FontFace=" + std::string(1 << 20, 'F') + "\nMargin=9\n",
       {{"FontFace", std::string(1 << 20, 'F')}, {"Margin", "9"}}},
      {"comment of a megabyte", "#" + std::string(1 << 20, '=') + "\nMargin=9\n", {{"Margin", "9"}}},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBFMargin=9\nBGColor=$FF\n", {{"BGColor", "255"}}},
      {"CR-only line ends", "Margin=9\rBGColor=$FF\r", {}},
      {"CR-only line ends, last value text", "BGColor=$FF\rFontFace=Arial\r", {}},
      {"0x1A ends the data",
       "Margin=9\n\x1A"
       "BGColor=1\nPenColor=2\n",
       {{"Margin", "9"}}},
      {"0x1A ends a line",
       "Margin=9\x1A"
       "BGColor=1\nPenColor=2\n",
       {{"Margin", "9"}, {"PenColor", "2"}}},
      {"integers beyond 32 bits", "Margin=4294967301\nBGColor=-2147483649\nPenColor=99999999999999999999\n", {}},
      // Leading zeros are no significant digits.
      {"nine-digit hex value", "BGColor=$123456789\nMaskColor=0x0000000FF\n", {{"MaskColor", "255"}}},
      {"value of another kind", "Margin=True\nClickOnDown=maybe\nFontSize=8.5\n", {}},
      {"bad second value keeps the first", "Margin=9\nMargin=9x\n", {{"Margin", "9"}}},
      {"only blanks and comments", "\n\n  # Margin=9\n\t\n", {}},
  };
  TempFolder folder;
  FakeFontHost fonts;
  int n = 0;
  for (const auto& c : cases) {
    LoadSettingsFrom(folder.Write("bad" + std::to_string(n++) + ".ini", c.bytes), fonts);
    EXPECT_EQ(Differences(CurrentValues(), DefaultsWith(c.changes)), "") << c.name;
  }
}

TEST(LoadSettings, RebuildsTheFontOnlyWhenAFontSettingChanged) {
  TempFolder folder;
  const std::string absent = folder.PathOf("absent.ini");
  const struct {
    const char* name;
    const char* file;  // nullptr: no file
    bool rebuilt;
    int height;
  } steps[] = {
      {"size 12", "FontSize=12\n", true, -16},
      {"same file again", "FontSize=12\n", false, -16},
      {"other settings change", "FontSize=12\nMargin=3\nBGColor=$FF\n", false, -16},
      {"no file: back to the default size", nullptr, true, -11},
      {"no file again", nullptr, false, -11},
      {"defaults written out", "FontFace=Verdana\nFontSize=8\nBoldFont=1\nItalicFont=no\n", false, -11},
      {"italic", "ItalicFont=1\n", true, -11},
      {"italic kept", "ItalicFont=yes\n", false, -11},
      {"regular weight", "BoldFont=0\n", true, -11},
      {"face in other case", "FontFace=VERDANA\n", true, -11},
      {"face back", "", true, -11},
      {"empty face", "FontFace=\n", true, -11},
  };
  FakeFontHost fonts;
  // Start from a known font whatever ran before in this process.
  LoadSettingsFrom(folder.Write("start.ini", "FontFace=Start\n"), fonts);
  int n = 0;
  for (const auto& s : steps) {
    const int before = fonts.Replaced;
    LoadSettingsFrom(s.file ? folder.Write("step" + std::to_string(n++) + ".ini", s.file) : absent, fonts);
    EXPECT_EQ(fonts.Replaced - before, s.rebuilt ? 1 : 0) << s.name;
    EXPECT_EQ(fonts.Last.Height, s.height) << s.name;
    EXPECT_STREQ(fonts.Last.FaceName, FontFace.c_str()) << s.name;
    EXPECT_EQ(fonts.Last.Weight, BoldFont ? 700 : 400) << s.name;
    EXPECT_EQ(fonts.Last.Italic, ItalicFont ? 1 : 0) << s.name;
  }
}

TEST(MakePadLogFont, HeightFollowsTheScreenResolution) {
  const struct {
    int32_t size;
    int pixelsPerInch;
    int32_t height;
  } cases[] = {
      {8, 96, -11}, {8, 120, -13}, {8, 144, -16}, {12, 96, -16}, {9, 96, -12},
      {0, 96, 0},   {-8, 96, 11},  {8, 0, 0},     {8, 72, -8},   {2147483647, 96, 1},
  };
  for (const auto& c : cases) {
    const TLogFont font = MakePadLogFont(TFontParams{"Verdana", c.size, true, false}, c.pixelsPerInch);
    EXPECT_EQ(font.Height, c.height) << c.size << " pt at " << c.pixelsPerInch << " dpi";
  }
}

TEST(MakePadLogFont, FaceIsCutToItsFirst31Bytes) {
  const std::string face40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
  const struct {
    std::string face;
    std::string expected;
  } cases[] = {
      {face40, face40.substr(0, 31)},
      {face40.substr(0, 31), face40.substr(0, 31)},
      {face40.substr(0, 30), face40.substr(0, 30)},
      {"", ""},
      {std::string(1 << 20, 'x'), std::string(31, 'x')},
  };
  for (const auto& c : cases) {
    TLogFont font;
    std::memset(font.FaceName, '?', sizeof font.FaceName);
    font = MakePadLogFont(TFontParams{c.face, 8, false, true}, 96);
    EXPECT_EQ(font.FaceName[31], '\0');
    EXPECT_EQ(std::string(font.FaceName), c.expected) << c.face.size() << " bytes";
    EXPECT_EQ(font.Weight, 400);
    EXPECT_EQ(font.Italic, 1);
  }
}

// The only test that reads the file beside the executable; no other test may write it.
TEST(LoadSettings, ReadsTheFileBesideTheExecutable) {
  const std::string fileName = SettingsFileName();
  std::remove(fileName.c_str());
  FakeFontHost fonts;
  LoadSettings(fonts);
  EXPECT_EQ(Differences(CurrentValues(), kDefaults), "");
  {
    FILE* f = std::fopen(fileName.c_str(), "wb");
    ASSERT_NE(f, nullptr) << fileName;
    std::fputs("Margin=17\nFontSize=10\n", f);
    std::fclose(f);
  }
  LoadSettings(fonts);
  std::remove(fileName.c_str());
  EXPECT_EQ(Differences(CurrentValues(), DefaultsWith({{"Margin", "17"}, {"FontSize", "10"}})), "");
  EXPECT_EQ(fonts.Last.Height, -13);
}

}  // namespace
