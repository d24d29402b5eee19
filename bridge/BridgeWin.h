// The bridge's ports on Win32 (Windows builds only): one system call or a few per method.
#ifndef KWIX_BRIDGE_BRIDGEWIN_H
#define KWIX_BRIDGE_BRIDGEWIN_H

#include "bridge/Bridge.h"

// SendInput of all the events at once, scan code 0, no extra information.
class Win32KeySink : public KeySink {
 public:
  void Send(const std::vector<TKeyEvent>& events) override;
};

#include <windows.h>

// The clipboard opened by the pad's window, which renders what the pad offers.
class Win32Clipboard : public ClipboardPort {
 public:
  void Attach(HWND pad) { pad_ = pad; }
  bool Open(bool owner) override;
  void Close() override;
  bool Empty() override;
  bool SetData(unsigned format, const void* bytes, size_t count) override;
  bool Offer(unsigned format) override;
  bool GetUnicodeText(size_t limit, std::u16string& text) override;
  std::vector<unsigned> Formats() override;
  bool GetData(unsigned format, size_t limit, std::string& bytes) override;
  uint32_t SequenceNumber() override;
  unsigned RegisterFormat(const char* name) override;
  bool OwnerAnswers(int timeoutMs) override;

 private:
  HWND pad_ = nullptr;
};

// Sleep, GetTickCount, and a timer on the pad's window (timerId) for the put-back ticks.
class Win32Clock : public BridgeClock {
 public:
  void Attach(HWND pad, UINT_PTR timerId) { pad_ = pad, timerId_ = timerId; }
  void SleepMs(int ms) override;
  uint32_t NowMs() override;
  void StartTicks(int ms) override;
  void StopTicks() override;

 private:
  HWND pad_ = nullptr;
  UINT_PTR timerId_ = 0;
};

// MessageBeep (0).
class Win32Beeper : public Beeper {
 public:
  void Beep() override;
};

// The foreground window: its process's token and the pad's own, its class, a WM_NULL sent
// with a time-out.
class Win32Target : public TargetPort {
 public:
  uintptr_t Foreground() override;
  TIntegrity ForegroundIntegrity() override;
  TIntegrity Own() override;
  std::string ForegroundClass() override;
  bool Answers(int timeoutMs) override;
};

// The bridge to the real focused application. Once the pad's window exists, it opens the
// clipboard and renders what it offered, and carries the put-back ticks on timer timerId.
struct Win32Bridge {
  void Attach(HWND pad, UINT_PTR timerId) { clipboard.Attach(pad), clock.Attach(pad, timerId); }
  Win32KeySink keys;
  Win32Clipboard clipboard;
  Win32Clock clock;
  Win32Beeper beeper;
  Win32Target target;
  Bridge bridge{keys, clipboard, clock, beeper, target};
};

#endif
