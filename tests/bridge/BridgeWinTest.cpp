#include "bridge/BridgeWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Tapped behind every action: once the target has handled it, it has handled every key
// the action sent before it.
constexpr BYTE kMarkerKey = VK_F24;

// A focused EDIT control in a top-level window of this thread. The bridge runs on another
// thread while this one pumps the messages, as a target does in its own process: the
// keys reach the EDIT control only through this thread's message queue.
class EditTarget {
 public:
  EditTarget() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KwixBridgeTestHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, wc.lpszClassName, "Bridge test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 120,
                            nullptr, nullptr, wc.hInstance, nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 360, 24, host_,
                            nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(host_);
    SetFocus(edit_);
    focused_ = PumpUntil([this] { return GetForegroundWindow() == host_ && GetFocus() == edit_; }, 5000);
  }
  ~EditTarget() { DestroyWindow(host_); }

  bool Focused() const { return focused_; }
  HWND Host() const { return host_; }

  void Set(const char* text, int selStart, int selEnd) {
    SetWindowTextA(edit_, text);
    SendMessageA(edit_, EM_SETSEL, selStart, selEnd);
  }
  std::string Text() const {
    char buffer[256] = {};
    GetWindowTextA(edit_, buffer, sizeof buffer);
    return buffer;
  }
  std::pair<int, int> Selection() const {
    DWORD start = 0, end = 0;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {int(start), int(end)};
  }

  // Runs action on a second thread and pumps until the target has handled every key it
  // sent; onPump runs between rounds of messages. Returns the milliseconds until then;
  // actionMs gets the time the action itself took. Negative on a timeout.
  double Run(
      const std::function<void()>& action, double* actionMs = nullptr, const std::function<void()>& onPump = [] {}) {
    std::atomic<double> took{0};
    Clock::time_point start = Clock::now();
    std::thread worker([&] {
      Clock::time_point t = Clock::now();
      action();
      took = MsSince(t);
      keybd_event(kMarkerKey, 0, 0, 0);
      keybd_event(kMarkerKey, 0, KEYEVENTF_KEYUP, 0);
    });
    bool seen = PumpUntil([] { return false; }, 5000, onPump);
    double total = MsSince(start);
    worker.join();
    if (actionMs) *actionMs = took;
    return seen ? total : -1;
  }

 private:
  // Pumps this thread's messages until done() or the marker key comes up, within limitMs.
  bool PumpUntil(
      const std::function<bool()>& done, int limitMs, const std::function<void()>& onPump = [] {}) {
    Clock::time_point start = Clock::now();
    while (MsSince(start) < limitMs) {
      if (done()) return true;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool marker = msg.message == WM_KEYUP && msg.wParam == kMarkerKey;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (marker) return true;
      }
      onPump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return done();
  }

  HWND host_ = nullptr;
  HWND edit_ = nullptr;
  bool focused_ = false;
};

// The real clipboard, counting the opens refused because someone else holds it.
class ObservedClipboard : public Win32Clipboard {
 public:
  bool Open() override {
    bool opened = Win32Clipboard::Open();
    if (!opened) ++refused;
    return opened;
  }
  std::atomic<int> refused{0};
};

class CountingBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  std::atomic<int> beeps{0};
};

struct Win32Rig {
  Win32KeySink keys;
  ObservedClipboard clipboard;
  Win32Clock clock;
  CountingBeeper beeper;
  Bridge bridge{keys, clipboard, clock, beeper};
};

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(SystemBridge().WriteClipboard(kClipboardText, text.c_str(), text.size() + 1));
}

TEST(BridgeWin, PasteLeavesTheTextSelectedForTheNextPasteToReplace) {
  EditTarget target;
  ASSERT_TRUE(target.Focused());
  struct Step {
    const char* paste;
    std::string text;
    std::pair<int, int> selection;
  } steps[] = {
      {"12.5", "x = 12.5", {4, 8}},
      {"0.333333333333333", "x = 0.333333333333333", {4, 21}},  // replaces 12.5
      {"25", "x = 25", {4, 6}},
      {"", "x = ", {4, 4}},  // pastes nothing and selects nothing
  };
  target.Set("x = ", 4, 4);
  for (const Step& s : steps) {
    double actionMs = 0;
    double ms = target.Run([&] { SystemBridge().PasteAndSelect(s.paste); }, &actionMs);
    ASSERT_GE(ms, 0) << "paste of '" << s.paste << "' not handled";
    EXPECT_EQ(target.Text(), s.text) << "paste of '" << s.paste << "'";
    EXPECT_EQ(target.Selection(), s.selection) << "paste of '" << s.paste << "'";
    std::printf("paste of %zu characters: %.1f ms in the bridge, %.1f ms until the target handled it\n",
                std::string(s.paste).size(), actionMs, ms);
  }
  // The empty paste left an empty text there, not the previous one.
  EXPECT_EQ(SystemBridge().ReadClipboardText(), "");
}

TEST(BridgeWin, GrabCopiesTheNumberBeforeTheCaretAndLeavesItSelected) {
  EditTarget target;
  ASSERT_TRUE(target.Focused());
  struct Case {
    const char* text;
    int caret;
    std::string result;
    std::pair<int, int> selection;
  } cases[] = {
      {"12.5", 4, "12.5", {0, 4}},   {"12.5", 2, "12.5", {0, 4}},  // caret inside the number
      {"42 abc", 2, "42", {0, 2}},                                 // the first copy is "42 ": two Right taps
      {"x 12.5", 6, "12.5", {2, 6}}, {"", 0, "", {0, 0}},          // nothing to copy: not the old clipboard
  };
  for (const Case& c : cases) {
    PutOnClipboard("99");
    target.Set(c.text, c.caret, c.caret);
    std::string result;
    double actionMs = 0;
    double ms = target.Run([&] { result = SystemBridge().GrabNumberAtCaret(); }, &actionMs);
    ASSERT_GE(ms, 0) << "grab in '" << c.text << "' not handled";
    EXPECT_EQ(result, c.result) << "grab in '" << c.text << "'";
    EXPECT_EQ(target.Selection(), c.selection) << "grab in '" << c.text << "'";
    EXPECT_EQ(target.Text(), c.text);
    std::printf("grab in '%s': %.1f ms\n", c.text, actionMs);
  }
}

TEST(BridgeWin, PasteRetriesAClipboardHeldBrieflyAndBeepsWhenItStaysHeld) {
  EditTarget target;
  ASSERT_TRUE(target.Focused());

  // Held until the bridge has been refused once, then let go: the retry pastes.
  {
    Win32Rig rig;
    target.Set("", 0, 0);
    ASSERT_TRUE(OpenClipboard(target.Host()));
    bool held = true;
    double ms = target.Run([&] { rig.bridge.PasteAndSelect("7.5"); }, nullptr,
                           [&] {
                             if (held && rig.clipboard.refused > 0) {
                               CloseClipboard();
                               held = false;
                             }
                           });
    if (held) CloseClipboard();
    ASSERT_GE(ms, 0);
    EXPECT_GT(rig.clipboard.refused, 0);
    EXPECT_EQ(target.Text(), "7.5");
    EXPECT_EQ(target.Selection(), std::make_pair(0, 3));
    EXPECT_EQ(rig.beeper.beeps, 0);
  }
  // Held throughout: nothing is pasted, not even the old content, and the pad beeps.
  {
    Win32Rig rig;
    PutOnClipboard("99");
    target.Set("1", 1, 1);
    ASSERT_TRUE(OpenClipboard(target.Host()));
    double actionMs = 0;
    double ms = target.Run([&] { rig.bridge.PasteAndSelect("7.5"); }, &actionMs);
    CloseClipboard();
    ASSERT_GE(ms, 0);
    EXPECT_EQ(target.Text(), "1");
    EXPECT_EQ(target.Selection(), std::make_pair(1, 1));
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_LT(actionMs, 500) << "gave up within its bound";
  }
}

TEST(BridgeWin, ReadStopsAtTheEndOfATextBlockWithoutZeroByte) {
  EditTarget target;
  ASSERT_TRUE(OpenClipboard(target.Host()));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  ASSERT_TRUE(block);
  char* bytes = static_cast<char*>(GlobalLock(block));
  memcpy(bytes, "1234", 4);
  GlobalUnlock(block);
  ASSERT_TRUE(SetClipboardData(CF_TEXT, block));
  CloseClipboard();

  // Wine puts a zero in such a block's last byte; Windows hands it out as it is, with at
  // most the slack of its allocation after it.
  std::string text = SystemBridge().ReadClipboardText();
  EXPECT_EQ(text.substr(0, 3), "123");
  EXPECT_LE(text.size(), 16u);
}

}  // namespace
