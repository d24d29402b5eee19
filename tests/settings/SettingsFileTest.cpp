#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "SettingsTestSupport.h"
#include "base/Errors.h"

namespace {

using namespace std::string_literals;

struct LineCase {
  const char* name;
  std::string bytes;
  Pairs expected;
};

const LineCase kLineCases[] = {
    {"empty file", "", {}},
    {"comments and blank lines only", "# look\n\n   \n\t# more\r\n", {}},
    {"blanks around key and value, trailing comment", "Margin = 7 # outer margin\n", {{"Margin", "7"}}},
    {"no key before the equals sign", "  = 5\n=6\n", {}},
    {"section header and other text", "[Look]\nsome words\n", {}},
    {"only the first equals sign splits", "Margin=7=8\n", {{"Margin", "7=8"}}},
    {"comment leaves an empty value", "BGColor=#FF0000\n", {{"BGColor", ""}}},
    {"comment before the equals sign", "#Margin=1\nA # =2\n", {}},
    {"tabs trimmed, inner tab kept", "\tFontFace\t=\tCourier\tNew\t\n", {{"FontFace", "Courier\tNew"}}},
    {"inner spaces of key and value kept", "Font Face = Courier New\n", {{"Font Face", "Courier New"}}},
    {"quotes are part of the value", "FontFace=\"Arial\"\n", {{"FontFace", "\"Arial\""}}},
    {"empty value", "FontFace=\nMargin=   \n", {{"FontFace", ""}, {"Margin", ""}}},
    {"same key twice, in order", "Margin=1\nMargin=2\n", {{"Margin", "1"}, {"Margin", "2"}}},
    {"CR LF line ends", "A=1\r\nB=2\r\n", {{"A", "1"}, {"B", "2"}}},
    {"CR-only line ends make one line", "A=1\rB=2\rC=3\r", {{"A", "1B=2C=3"}}},
    {"lone CR dropped inside a value", "A=1\r2\nB=3\r\r\n", {{"A", "12"}, {"B", "3"}}},
    {"last line without a line end", "A=1\nB=2", {{"A", "1"}, {"B", "2"}}},
    {"0x1A first in the file ends the data",
     "\x1A"
     "A=1\n",
     {}},
    {"0x1A first in a line ends the data", "A=1\n\x1A\nB=2\n", {{"A", "1"}}},
    {"0x1A inside a line ends only its text",
     "A=1\x1A"
     "B=2\nC=3\n",
     {{"A", "1"}, {"C", "3"}}},
    {"0x1A after a lone CR is inside the line",
     "A=1\n\r\x1A"
     "B=2\nC=3",
     {{"A", "1"}, {"C", "3"}}},
    {"0x1A inside a comment", "A=1 # x\x1A\nB=2", {{"A", "1"}, {"B", "2"}}},
    {"NUL and control bytes are blanks at the ends",
     "\0A=1\0\0\nB\x01=\x1F"
     "2\x7F\x02\n"s,
     {{"A", "1"}, {"B", "2\x7F"}}},
    {"NUL inside a key stays", "Mar\0gin=3\n"s, {{"Mar\0gin"s, "3"}}},
    {"bytes above 0x7F are text", "A=\xA0x\xA0\n\xC9=1\n", {{"A", "\xA0x\xA0"}, {"\xC9", "1"}}},
    {"UTF-8 byte-order mark stays in the first key",
     "\xEF\xBB\xBFMargin=9\nB=2\n",
     {{"\xEF\xBB\xBFMargin", "9"}, {"B", "2"}}},
};

TEST(ReadSettingsFile, TurnsLinesIntoPairs) {
  TempFolder folder;
  int n = 0;
  for (const auto& c : kLineCases) {
    const std::string file = folder.Write("case" + std::to_string(n++) + ".ini", c.bytes);
    EXPECT_EQ(ReadPairs(file), c.expected) << c.name;
  }
}

// The file arrives in pieces; no piece boundary, whether inside a CR LF, next to a 0x1A or
// a "#", may change the result.
TEST(TSettingsParser, GivesTheSamePairsWhereverTheDataIsCut) {
  for (const auto& c : kLineCases) {
    for (size_t cut = 0; cut <= c.bytes.size(); ++cut) {
      Pairs pairs;
      TSettingsParser parser([&pairs](const std::string& k, const std::string& v) { pairs.emplace_back(k, v); });
      if (parser.Feed(c.bytes.data(), cut)) {
        for (size_t i = cut; i < c.bytes.size(); ++i) {
          if (!parser.Feed(&c.bytes[i], 1)) break;
        }
      }
      parser.Finish();
      ASSERT_EQ(pairs, c.expected) << c.name << ", cut after byte " << cut;
    }
  }
}

TEST(ReadSettingsFile, HandsOverALineOfAMegabyteWhole) {
  TempFolder folder;
  const std::string value(1 << 20, 'v');
  const std::string comment(1 << 20, 'c');
  const std::string file = folder.Write("long.ini", "FontFace=" + value + "\n#" + comment + "\nMargin=4");
  const Pairs expected = {{"FontFace", value}, {"Margin", "4"}};
  EXPECT_TRUE(ReadPairs(file) == expected);
}

TEST(ReadSettingsFile, MissingFileFailsWithTheSystemCodeBeforeAnyPair) {
  TempFolder folder;
  int calls = 0;
  try {
    ReadSettingsFile(folder.PathOf("absent.ini"), [&calls](const std::string&, const std::string&) { ++calls; });
    FAIL() << "no EInOutError";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, 2u);  // ERROR_FILE_NOT_FOUND and ENOENT alike
  }
  EXPECT_EQ(calls, 0);
}

TEST(ReadSettingsFile, DirectoryFailsWithoutAnyPair) {
  TempFolder folder;
  EXPECT_THROW(ReadPairs(folder.PathOf("")), EInOutError);
  EXPECT_THROW(ReadPairs(folder.PathOf("no-such-folder/x.ini")), EInOutError);
}

// A failing handler stops the reading at its line; what it threw reaches the caller.
TEST(ReadSettingsFile, HandlerFailurePassesThroughAndEndsTheReading) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "A=1\nB=2\nC=3\n");
  Pairs seen;
  auto handler = [&seen](const std::string& k, const std::string& v) {
    seen.emplace_back(k, v);
    if (k == "B") throw std::logic_error("stop");
  };
  EXPECT_THROW(ReadSettingsFile(file, handler), std::logic_error);
  EXPECT_EQ(seen, (Pairs{{"A", "1"}, {"B", "2"}}));
}

TEST(SettingsFileNameFor, ReplacesTheExtensionWithIni) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Tools\\pad.exe", "C:\\Tools\\pad.ini"},
      {"C:\\Tools\\pad.old.exe", "C:\\Tools\\pad.old.ini"},
      {"C:\\Tools\\pad", "C:\\Tools\\pad.ini"},
      {"C:\\My.Tools\\pad", "C:\\My.Tools\\pad.ini"},
      {"C:\\Tools\\.exe", "C:\\Tools\\.ini"},
      {"C:\\Tools\\pad.", "C:\\Tools\\pad.ini"},
      {"C:pad.exe", "C:pad.ini"},
      {"C:\\Tools\\pad.exe:stream", "C:\\Tools\\pad.exe:stream.ini"},
      {"\\\\server\\share.d\\pad", "\\\\server\\share.d\\pad.ini"},
      {"", ".ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsFileNameFor(c.path), c.expected) << c.path;
}

TEST(SettingsFileName, IsTheExecutablesNameWithIni) {
  const std::string name = SettingsFileName();
  const std::string tail = "settings_tests.ini";
  ASSERT_GT(name.size(), tail.size());
  EXPECT_EQ(name.substr(name.size() - tail.size()), tail) << name;
  const char separator = name[name.size() - tail.size() - 1];
  EXPECT_TRUE(separator == '\\' || separator == '/') << name;
}

}  // namespace
