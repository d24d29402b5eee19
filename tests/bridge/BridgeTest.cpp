#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

const char* const kOutcomes[] = {"copied", "nothing to copy", "refused before any key", "refused after selecting"};
const std::string kFirst = "Ctrl+Right Ctrl+Shift+Left Ctrl+C";

// The grab of the number at the caret in a field shown with "|" for its caret and brackets
// around its selection: what the grab came to and the text it returns, the field once it has
// taken every key sent, the keys it took, how long the bridge waited for it, and nothing left
// held. A busy field's thread answers nothing until it is free.
TEST(Bridge, GrabsTheWordAtTheCaret) {
  const std::string grid = "1\t2\r\n3\t4\r\n";  // a spreadsheet's copy of two rows of cells
  const std::string longest(255, '1');          // a longer copy is a block of text
  std::string rights;
  for (size_t i = 0; i < longest.size(); ++i) rights += " Right";
  const std::string second = " Right Right Right Right Ctrl+Shift+Left Ctrl+C";  // for "12.5 "
  struct Row {
    const char* name;
    const char* field;
    std::string copyAs = "";          // what the field's Ctrl+C copies instead of its selection
    uint32_t copyMs = 0;              // how long each copy keeps the field's thread busy
    bool hung = false, held = false;  // the field's thread never answers; the clipboard is held
    GrabOutcome outcome = GrabOutcome::Copied;
    std::string text = "";
    const char* after;
    std::string keys = "";
    uint32_t waitedMs = 0;
  };
  // clang-format off
  const Row rows[] = {
      {.name = "a number after a word", .field = "Total 12.5|", .text = "12.5", .after = "Total [12.5]",
       .keys = kFirst},
      {.name = "a number before a word: the blank between left out", .field = "Total 12.5| EUR", .text = "12.5",
       .after = "Total [12.5] EUR", .keys = kFirst + second},
      {.name = "a number ending a line, which Ctrl+Right leaves", .field = "Total 1,234.56|\ntail",
       .text = "1,234.56", .after = "Total [1,234.56]\ntail", .keys = kFirst + " Ctrl+Shift+Left Ctrl+C Right Right "
       "Right Right Right Right Right Right Ctrl+Shift+Left Ctrl+C"},
      {.name = "an empty field, after half a second", .field = "|", .outcome = GrabOutcome::NothingToCopy,
       .after = "|", .keys = kFirst, .waitedMs = 500},
      {.name = "each copy 900 ms late: waited for", .field = "Total 12.5| EUR", .copyMs = 900, .text = "12.5",
       .after = "Total [12.5] EUR", .keys = kFirst + second, .waitedMs = 1804},
      {.name = "busy 900 ms with nothing to copy: 200 ms more once it answers", .field = "|", .copyMs = 900,
       .outcome = GrabOutcome::NothingToCopy, .after = "|", .keys = kFirst, .waitedMs = 1100},
      {.name = "a hung field: three seconds, then no key after the first", .field = "Total 12.5|", .hung = true,
       .outcome = GrabOutcome::RefusedAfterSelecting, .after = "Total [12.5]", .keys = kFirst, .waitedMs = 3014},
      {.name = "the clipboard held by another program: no key", .field = "5|", .held = true,
       .outcome = GrabOutcome::RefusedBeforeKeys, .after = "5|", .waitedMs = 50},
      {.name = "a blank inside the copy counts", .field = "1|", .copyAs = "1 2 ", .text = "1 2 ", .after = "[1]",
       .keys = kFirst + " Right Right Right Ctrl+Shift+Left Ctrl+C"},
      {.name = "the longest word, blanks after it", .field = "1|", .copyAs = longest + " ", .text = longest + " ",
       .after = "[1]", .keys = kFirst + rights + " Ctrl+Shift+Left Ctrl+C"},
      {.name = "a grid's cells: no storm of Right", .field = "1|", .copyAs = grid,
       .outcome = GrabOutcome::RefusedAfterSelecting, .text = grid, .after = "[1]", .keys = kFirst},
      {.name = "an empty cell and a cell", .field = "1|", .copyAs = "\t2", .outcome = GrabOutcome::RefusedAfterSelecting,
       .text = "\t2", .after = "[1]", .keys = kFirst},
      {.name = "an empty cell, copied as a bare line break", .field = "|", .copyAs = "\r\n", .text = "\r\n",
       .after = "|", .keys = kFirst + " Ctrl+Shift+Left Ctrl+C Ctrl+Shift+Left Ctrl+C"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeTarget t;
    t.Set(row.field);
    t.clipboard = {{"CF_TEXT", "old"}};
    t.copyAs = row.copyAs, t.copyMs = row.copyMs;
    t.hung = row.hung, t.held = row.held;
    Bridge bridge(t, t, t, t, t);
    const uint32_t start = t.now;
    const TGrab grab = bridge.GrabNumberAtCaret();
    const uint32_t waited = t.now - start;
    t.hung = false;
    t.TakeQueuedKeys();
    EXPECT_EQ(kOutcomes[static_cast<int>(grab.outcome)], kOutcomes[static_cast<int>(row.outcome)]);
    EXPECT_EQ(grab.text, row.text);
    EXPECT_EQ(t.Shown(), row.after);
    EXPECT_EQ(t.keys, row.keys);
    EXPECT_EQ(waited, row.waitedMs) << "milliseconds waited";
    EXPECT_FALSE(t.open) << "the clipboard left open";
    EXPECT_EQ(t.down, 0) << "keys left held down";
  }
}

// Ctrl+C in a terminal interrupts the program running there: the grab sends nothing to one.
TEST(Bridge, TerminalsGetNoKey) {
  struct Row {
    const char* windowClass;
    bool terminal;
  };
  // clang-format off
  const Row rows[] = {
      {"ConsoleWindowClass", true}, {"CASCADIA_HOSTING_WINDOW_CLASS", true}, {"PuTTY", true}, {"KiTTY", true},
      {"mintty", true}, {"VirtualConsoleClass", true}, {"WineConsoleClass", true}, {"Notepad", false},
      {"ConsoleWindowClass2", false}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.windowClass);
    FakeTarget t;
    t.Set("dir 12|");
    t.windowClass = row.windowClass;
    Bridge bridge(t, t, t, t, t);
    EXPECT_EQ(bridge.GrabNumberAtCaret().outcome == GrabOutcome::RefusedBeforeKeys, row.terminal);
    EXPECT_EQ(t.keys.empty(), row.terminal) << t.keys;
  }
}

// The paste of a result over the selection, which it leaves selected: the field after, the
// keys it took, the clipboard (clipboard history and the cloud are asked to skip a result), and
// a beep. The clipboard holds what the user copied last in both forms, so a paste that did
// not empty it would paste the old Unicode text.
TEST(Bridge, PastesAndSelects) {
  const std::string skip =
      " CanIncludeInClipboardHistory=0 CanUploadToCloudClipboard=0 ExcludeClipboardContentFromMonitorProcessing=0";
  struct Row {
    const char* name;
    bool held;  // another program holds the clipboard
    const char* after;
    const char* keys;
    std::string formats;
    int beeps;
  };
  const Row rows[] = {{.name = "a result pasted over the selection",
                       .held = false,
                       .after = "Total [25]",
                       .keys = "Ctrl+V Shift+Left Shift+Left",
                       .formats = "CF_TEXT=25" + skip,
                       .beeps = 0},
                      {.name = "a paste while another program holds the clipboard",
                       .held = true,
                       .after = "Total [12.5]",
                       .keys = "",
                       .formats = "CF_TEXT=old CF_UNICODETEXT=old",
                       .beeps = 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeTarget t;
    t.Set("Total [12.5]");
    t.clipboard = {{"CF_TEXT", "old"}, {"CF_UNICODETEXT", "old"}};
    t.held = row.held;
    Bridge bridge(t, t, t, t, t);
    bridge.PasteAndSelect("25");
    EXPECT_EQ(t.Shown(), row.after);
    EXPECT_EQ(t.keys, row.keys);
    EXPECT_EQ(t.Formats(), row.formats);
    EXPECT_EQ(t.beeps, row.beeps);
    EXPECT_FALSE(t.open) << "the clipboard left open";
  }
}

}  // namespace
