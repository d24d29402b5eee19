#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// The paste of a result over the selection, which it leaves selected: the field after, the
// keys it took, the clipboard (clipboard history and the cloud are asked to skip a result), and
// a beep. The clipboard holds what the user copied last in both forms, so a paste that did
// not empty it would paste the old Unicode text.
TEST(Bridge, PastesAndSelects) {
  const std::string skip =
      " ExcludeClipboardContentFromMonitorProcessing=0 CanIncludeInClipboardHistory=0 CanUploadToCloudClipboard=0";
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
    t.HoldText("old");
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
