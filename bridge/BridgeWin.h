// The bridge's ports on Win32 (Windows builds only): one system call or a few per method.
#ifndef KWIX_BRIDGE_BRIDGEWIN_H
#define KWIX_BRIDGE_BRIDGEWIN_H

#include "bridge/Bridge.h"

// SendInput of all the events at once, scan code 0, no extra information.
class Win32KeySink : public KeySink {
 public:
  void Send(const std::vector<TKeyEvent>& events) override;
};

// The clipboard opened without an owner window.
class Win32Clipboard : public ClipboardPort {
 public:
  bool Open() override;
  void Close() override;
  bool Empty() override;
  bool SetData(unsigned format, const void* bytes, size_t count) override;
  bool GetUnicodeText(size_t limit, std::u16string& text) override;
  uint32_t SequenceNumber() override;
  unsigned RegisterFormat(const char* name) override;
};

// Sleep and GetTickCount.
class Win32Clock : public BridgeClock {
 public:
  void SleepMs(int ms) override;
  uint32_t NowMs() override;
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

#endif
