#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// The grab of the number at the caret, and the paste of a result, in a field shown with "|"
// for its caret and brackets around its selection: what the grab returns, the field after,
// the keys it saw, how long the bridge waited for it, and nothing left held. The clipboard
// holds what the user copied last in both forms, so a paste that did not empty it would
// paste the old Unicode text; clipboard history and the cloud are asked to skip a result.
TEST(Bridge, GrabsAndPastes) {
  const std::string grid = "1\t2\r\n3\t4\r\n";  // a spreadsheet's copy of two rows of cells
  const std::string longest(255, '1');          // a longer copy is a block of text
  std::string rights;
  for (size_t i = 0; i < longest.size(); ++i) rights += " Right";
  const std::string first = "Ctrl+Right Ctrl+Shift+Left Ctrl+C";
  const std::string skip =
      " CanIncludeInClipboardHistory=0 CanUploadToCloudClipboard=0 "
      "ExcludeClipboardContentFromMonitorProcessing=0";
  struct Row {
    const char* name;
    const char* field;
    std::string copyAs = "";              // what the field's Ctrl+C copies instead of its selection
    bool ignoring = false, held = false;  // the field ignores every key; another program holds the clipboard
    const char* paste = nullptr;          // none: a grab
    std::optional<std::string> grabbed = std::nullopt;  // nothing: refused, the selection left for Deselect
    const char* after;
    std::string keys = "";
    int waitedMs = 0, beeps = 0;
    std::string formats = "";  // the clipboard after a paste
  };
  // clang-format off
  const Row rows[] = {
      {.name = "a number after a word", .field = "Total 12.5|", .grabbed = "12.5", .after = "Total [12.5]",
       .keys = first + " Right Right Right Right Ctrl+Shift+Left Ctrl+C"},
      {.name = "an empty field, waited for once", .field = "|", .grabbed = "", .after = "",
       .keys = first + " Ctrl+Shift+Left Ctrl+C", .waitedMs = 500},
      {.name = "an empty cell, copied as a bare line break", .field = "|", .copyAs = "\r\n", .grabbed = "\r\n",
       .after = "", .keys = first + " Ctrl+Shift+Left Ctrl+C"},
      {.name = "a field ignoring every key", .field = "5|", .ignoring = true, .grabbed = "", .after = "5",
       .waitedMs = 500},
      {.name = "the clipboard held by another program: no key", .field = "5|", .held = true, .after = "5",
       .waitedMs = 50},
      {.name = "a blank inside the copy counts", .field = "1|", .copyAs = "1 2", .grabbed = "1 2", .after = "[1]",
       .keys = first + " Right Right Right Ctrl+Shift+Left Ctrl+C"},
      {.name = "the longest word, blanks after it", .field = "1|", .copyAs = longest + " ", .grabbed = longest + " ",
       .after = "[1]", .keys = first + rights + " Ctrl+Shift+Left Ctrl+C"},
      {.name = "a grid's cells: no storm of Right", .field = "1|", .copyAs = grid, .after = "[1]", .keys = first},
      {.name = "an empty cell and a cell", .field = "1|", .copyAs = "\t2", .after = "[1]", .keys = first},
      {.name = "a result pasted over the selection", .field = "Total [12.5]", .paste = "25", .after = "Total [25]",
       .keys = "Ctrl+V Shift+Left Shift+Left", .formats = "CF_TEXT=25" + skip},
      {.name = "a paste while another program holds the clipboard", .field = "12|", .held = true, .paste = "25",
       .after = "12", .waitedMs = 50, .beeps = 1, .formats = "CF_TEXT=old CF_UNICODETEXT=old"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeTarget t;
    t.Set(row.field);
    t.clipboard = {{"CF_TEXT", "old"}, {"CF_UNICODETEXT", "old"}};
    t.copyAs = row.copyAs;
    t.ignoring = row.ignoring;
    t.held = row.held;
    Bridge bridge(t, t, t, t, t);
    const uint32_t start = t.now;
    if (row.paste) {
      bridge.PasteAndSelect(row.paste);
      EXPECT_EQ(t.Formats(), row.formats);
    } else {
      EXPECT_EQ(bridge.GrabNumberAtCaret(), row.grabbed);
    }
    EXPECT_EQ(t.Shown(), row.after);
    EXPECT_EQ(t.keys, row.keys);
    EXPECT_EQ(t.now - start, static_cast<uint32_t>(row.waitedMs)) << "milliseconds waited";
    EXPECT_EQ(t.beeps, row.beeps);
    EXPECT_FALSE(t.open) << "the clipboard left open";
    EXPECT_EQ(t.down, 0) << "keys left held down";
  }
}

}  // namespace
