// Windows builds: user32 and kernel32 calls.
#include "bridge/BridgeWin.h"

#include <windows.h>

#include <cstring>

void Win32KeySink::KeyDown(uint8_t vk) { keybd_event(vk, 0, 0, 0); }

void Win32KeySink::KeyUp(uint8_t vk) { keybd_event(vk, 0, KEYEVENTF_KEYUP, 0); }

bool Win32Clipboard::Open() { return ::OpenClipboard(nullptr) != 0; }

void Win32Clipboard::Close() { ::CloseClipboard(); }

bool Win32Clipboard::Empty() { return ::EmptyClipboard() != 0; }

bool Win32Clipboard::SetData(unsigned format, const void* bytes, size_t count) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, count);
  if (!block) return false;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes, count);
  // A block handed to the clipboard must not be locked any more.
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) {
    // Refused, so it is still ours.
    GlobalFree(block);
    return false;
  }
  return true;
}

std::string Win32Clipboard::GetText() {
  HANDLE block = GetClipboardData(CF_TEXT);
  if (!block) return std::string();
  const char* text = static_cast<const char*>(GlobalLock(block));
  if (!text) return std::string();
  // Another program's block need not hold the zero byte it should end with.
  size_t size = GlobalSize(block);
  const void* end = std::memchr(text, 0, size);
  std::string result(text, end ? static_cast<const char*>(end) - text : size);
  GlobalUnlock(block);
  return result;
}

uint32_t Win32Clipboard::SequenceNumber() { return GetClipboardSequenceNumber(); }

void Win32Clock::SleepMs(int ms) { Sleep(static_cast<DWORD>(ms)); }

uint32_t Win32Clock::NowMs() { return GetTickCount(); }

void Win32Beeper::Beep() { MessageBeep(0); }

Bridge& SystemBridge() {
  static Win32KeySink keys;
  static Win32Clipboard clipboard;
  static Win32Clock clock;
  static Win32Beeper beeper;
  static Bridge bridge(keys, clipboard, clock, beeper);
  return bridge;
}
