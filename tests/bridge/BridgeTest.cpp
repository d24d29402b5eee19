#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// The paste of a result over the selection, which it leaves selected: the field after, the
// keys it took, the clipboard (clipboard history and the cloud are asked to skip a result), and
// a beep. The clipboard holds what the user copied last in both forms, so a paste that did
// not empty it would paste the old Unicode text.
TEST(Bridge, PastesAndSelects) {
  const std::string skip =
      " ExcludeClipboardContentFromMonitorProcessing=0 CanIncludeInClipboardHistory=0 CanUploadToCloudClipboard=0"
      " Clipboard Viewer Ignore=0";
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
    bridge.PasteAndSelect("25", false);
    EXPECT_EQ(t.Shown(), row.after);
    EXPECT_EQ(t.keys, row.keys);
    EXPECT_EQ(t.OnClipboard(), row.formats);
    EXPECT_EQ(t.beeps, row.beeps);
    EXPECT_FALSE(t.open) << "the clipboard left open";
  }
}

// KeepClipboard: what the clipboard held before "=" comes back once the target has read the
// pasted result, or once the grab has read the target's copy: every format whose data is
// memory, byte for byte, marked so that clipboard history does not record it twice. A newer
// copy wins, a target that never reads keeps the result, and a clipboard the pad cannot save
// whole is not saved at all. Checked once the pad's message loop has run 6 s: the field, and
// whether the clipboard holds the user's formats again, or else which text.
TEST(Bridge, KeepsTheUsersClipboard) {
  struct Row {
    const char* name;
    const char* does;  // "paste" 25, "grab" the number at the caret, "copy" as the user copies "later"
    const char* field = "Total [12.5]";
    bool keep = true;
    uint32_t pasteMs = 0;  // how late the field reads its paste
    bool pastes = true, ownerHung = false, changesWhileRead = false;
    bool unlockable = false;  // the image's memory cannot be locked
    bool huge = false;        // the user copied more than the pad keeps
    bool empty = false;       // a format of the user's has no bytes at all
    bool bitmap = false;      // a GDI bitmap beside them, a handle that no memory block holds
    bool newer = false;       // the user copies again once the result has been read
    const char* after;
    const char* clipboard;  // "the user's" formats back, or the text left there
  };
  const char* const users = "the user's";
  // clang-format off
  const Row rows[] = {
      {.name = "a paste: the user's clipboard back once the target has read it", .does = "paste",
       .after = "Total [25]", .clipboard = users},
      {.name = "without KeepClipboard the result stays", .does = "paste", .keep = false, .after = "Total [25]",
       .clipboard = "25"},
      {.name = "a target reading its paste 900 ms late still gets the result", .does = "paste", .pasteMs = 900,
       .after = "Total [25]", .clipboard = users},
      {.name = "a target that never reads it keeps the result there", .does = "paste", .field = "Total |",
       .pastes = false, .after = "Tota[l ]", .clipboard = "25"},
      {.name = "a newer copy wins", .does = "paste", .newer = true, .after = "Total [25]", .clipboard = "newer"},
      {.name = "a clipboard over the limit is not kept", .does = "paste", .huge = true, .after = "Total [25]",
       .clipboard = "25"},
      {.name = "an owner that does not answer: nothing kept", .does = "paste", .ownerHung = true,
       .after = "Total [25]", .clipboard = "25"},
      {.name = "memory that cannot be locked: nothing kept, not half", .does = "paste", .unlockable = true,
       .after = "Total [25]", .clipboard = "25"},
      {.name = "a clipboard changing while it is saved: nothing kept", .does = "paste", .changesWhileRead = true,
       .after = "Total [25]", .clipboard = "25"},
      {.name = "a block without bytes is left out, the rest kept", .does = "paste", .empty = true,
       .after = "Total [25]", .clipboard = users},
      {.name = "a bitmap handle is left out, the rest kept", .does = "paste", .bitmap = true, .after = "Total [25]",
       .clipboard = users},
      {.name = "the grab: back once its copy is read", .does = "grab", .field = "Total 12.5|", .after = "Total [12.5]",
       .clipboard = users},
      {.name = "a refused word: back", .does = "grab", .field = "Total abc|", .after = "Total abc|", .clipboard = users},
      {.name = "the grab and the paste of its result", .does = "grab paste", .field = "Total 12.5|",
       .after = "Total [25]", .clipboard = users},
      {.name = "what the user copies between the grab and the paste is what comes back", .does = "grab copy paste",
       .field = "Total 12.5|", .after = "Total [25]", .clipboard = "later"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeTarget t;
    Bridge bridge(t, t, t, t, t);
    t.pad = &bridge;
    t.Set(row.field);
    t.HoldText("invoice 4711");
    t.clipboard[t.RegisterFormat("XML Spreadsheet")] = std::string("<Workbook>\0\x01\xFF</Workbook>", 23);
    t.clipboard[8] = std::string(40, '\x7F');  // CF_DIB
    t.clipboard[15] = "C:\\a.txt";             // CF_HDROP
    if (row.huge) t.clipboard[t.RegisterFormat("Big")] = std::string(kKeepLimitBytes, 'x');
    if (row.empty) t.clipboard[t.RegisterFormat("Nothing")] = "";
    if (row.bitmap) t.clipboard[2] = "HBITMAP", t.unlockable.insert(2);  // CF_BITMAP
    std::map<unsigned, std::string> theUsers = t.clipboard;
    theUsers.erase(t.RegisterFormat("Nothing")), theUsers.erase(2);
    for (const char* mark : {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                             "CanUploadToCloudClipboard", "Clipboard Viewer Ignore"})
      theUsers[t.RegisterFormat(mark)] = std::string(4, '\0');
    t.pasteMs = row.pasteMs, t.pastes = row.pastes, t.ownerHung = row.ownerHung;
    t.changesWhileRead = row.changesWhileRead;
    if (row.unlockable) t.unlockable.insert(8);
    const std::string does = row.does;
    if (does.find("grab") != std::string::npos) {
      const TGrab grab = bridge.GrabNumberAtCaret([](const std::u16string& word) { return word == u"12.5"; }, row.keep);
      if (does == "grab") {
        EXPECT_EQ(t.clipboard, theUsers) << "the user's clipboard, right after the grab";
      }
      EXPECT_NE(grab.outcome, GrabOutcome::Empty);
    }
    if (does.find("copy") != std::string::npos) t.HoldText("later");
    if (does.find("paste") != std::string::npos) bridge.PasteAndSelect("25", row.keep);
    if (row.newer) t.HoldText("newer");
    t.Idle(6000);
    EXPECT_EQ(t.Shown(), row.after);
    if (row.clipboard == users) {
      EXPECT_EQ(t.clipboard, theUsers) << "the clipboard holds " << t.OnClipboard().substr(0, 200);
    } else {
      EXPECT_EQ(t.clipboard[kClipboardText], row.clipboard + std::string(1, '\0')) << "the text on the clipboard";
    }
    EXPECT_EQ(t.tickMs, 0) << "the put-back tick left running";
    EXPECT_FALSE(t.open) << "the clipboard left open";
  }
}

}  // namespace
