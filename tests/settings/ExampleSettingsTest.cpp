// The example settings file shipped beside kwix.exe names every setting at its default,
// so a user who copies it to kwix.ini changes nothing until they edit a value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <variant>

#include "SettingsTestSupport.h"
#include "settings/Settings.h"

namespace {

const std::string kExample =
    (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "dist" / "kwix.ini.example").string();

using Variable = std::variant<int32_t*, bool*, std::string*>;

const struct {
  const char* name;
  Variable variable;
} kSettings[] = {
    {"Margin", &Margin},
    {"CornerCurveX", &CornerCurveX},
    {"CornerCurveY", &CornerCurveY},
    {"BGColor", &BGColor},
    {"PenColor", &PenColor},
    {"FontFace", &FontFace},
    {"FontSize", &FontSize},
    {"BoldFont", &BoldFont},
    {"ItalicFont", &ItalicFont},
    {"BtnMargin", &BtnMargin},
    {"BtnCornerCurveX", &BtnCornerCurveX},
    {"BtnCornerCurveY", &BtnCornerCurveY},
    {"BtnColor", &BtnColor},
    {"BtnTextColor", &BtnTextColor},
    {"BtnHoverColor", &BtnHoverColor},
    {"BtnHoverTextColor", &BtnHoverTextColor},
    {"UseHandCursor", &UseHandCursor},
    {"ClickOnDown", &ClickOnDown},
    {"CalcEditBottomMargin", &CalcEditBottomMargin},
    {"CalcEditCornerCurveX", &CalcEditCornerCurveX},
    {"CalcEditCornerCurveY", &CalcEditCornerCurveY},
    {"CalcEditColor", &CalcEditColor},
    {"CalcEditTextColor", &CalcEditTextColor},
    {"MaskColor", &MaskColor},
};

std::string ValueText(const Variable& v) {
  if (auto i = std::get_if<int32_t*>(&v)) return std::to_string(**i);
  if (auto b = std::get_if<bool*>(&v)) return **b ? "1" : "0";
  return *std::get<std::string*>(v);
}

// A line for every setting that gives it a value other than the one it has now.
std::string LinesChangingEverySetting() {
  std::string text;
  for (const auto& s : kSettings) {
    std::string value;
    if (auto i = std::get_if<int32_t*>(&s.variable)) value = std::to_string(**i + 1);
    if (auto b = std::get_if<bool*>(&s.variable)) value = **b ? "0" : "1";
    if (std::holds_alternative<std::string*>(s.variable)) value = "Courier New";
    text += std::string(s.name) + "=" + value + "\n";
  }
  return text;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ExampleSettings, NamesEverySettingOnce) {
  const Pairs pairs = ReadPairs(kExample);
  std::set<std::string> expected, named;
  for (const auto& s : kSettings) expected.insert(s.name);
  for (const auto& p : pairs) {
    EXPECT_TRUE(named.insert(p.first).second) << p.first << " is named twice";
    EXPECT_EQ(expected.count(p.first), 1u) << p.first << " is no setting";
  }
  EXPECT_EQ(named, expected);
}

// Read after a file that changes everything, the example must put every setting back to
// its default: each of its lines reads, and reads as the default.
TEST(ExampleSettings, GivesExactlyTheDefaults) {
  TempFolder folder;
  FakeFontHost fonts;
  LoadSettingsFrom(folder.PathOf("absent.ini"), fonts);
  std::string defaults[std::size(kSettings)];
  for (size_t i = 0; i < std::size(kSettings); ++i) defaults[i] = ValueText(kSettings[i].variable);

  const std::string example = FileBytes(kExample);
  ASSERT_FALSE(example.empty()) << "cannot read " << kExample;
  for (const std::string& file : {example, LinesChangingEverySetting() + example}) {
    LoadSettingsFrom(folder.Write("kwix.ini", file), fonts);
    for (size_t i = 0; i < std::size(kSettings); ++i) {
      EXPECT_EQ(ValueText(kSettings[i].variable), defaults[i]) << kSettings[i].name;
    }
  }
}

}  // namespace
