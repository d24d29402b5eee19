// Windows builds: user32 and kernel32 calls.
#include "bridge/BridgeWin.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/ScopedWin.h"

namespace {

// A global memory block locked for the life of the scope.
class ScopedGlobalLock : NonCopyable {
 public:
  explicit ScopedGlobalLock(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {}
  ~ScopedGlobalLock() {
    if (data_) GlobalUnlock(block_);
  }
  void* Data() const { return data_; }

 private:
  HGLOBAL block_;
  void* data_;
};

// The RID of the mandatory label of a process's token.
TIntegrity ProcessIntegrity(HANDLE process) {
  ScopedHandle token;
  if (!process || !OpenProcessToken(process, TOKEN_QUERY, token.Receive())) return std::nullopt;
  // A label holds one SID of one sub-authority; the buffer leaves room for more.
  alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[128];
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) return std::nullopt;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
  UCHAR count = *GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  return *GetSidSubAuthority(sid, count - 1u);
}

}  // namespace

void Win32KeySink::Send(const std::vector<TKeyEvent>& events) {
  std::vector<INPUT> inputs(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = events[i].vk;
    inputs[i].ki.dwFlags = events[i].up ? KEYEVENTF_KEYUP : 0;
  }
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool Win32Clipboard::Open(bool owner) { return ::OpenClipboard(owner ? pad_ : nullptr) != 0; }

void Win32Clipboard::Close() { ::CloseClipboard(); }

bool Win32Clipboard::Empty() { return ::EmptyClipboard() != 0; }

bool Win32Clipboard::SetData(unsigned format, const void* bytes, size_t count) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, count);
  if (!block) return false;
  {
    ScopedGlobalLock target(block);
    if (!target.Data()) {
      GlobalFree(block);
      return false;
    }
    std::memcpy(target.Data(), bytes, count);
  }
  // A block handed to the clipboard must not be locked any more.
  if (!SetClipboardData(format, block)) {
    // Refused, so it is still ours.
    GlobalFree(block);
    return false;
  }
  return true;
}

bool Win32Clipboard::GetUnicodeText(size_t limit, std::u16string& text) {
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (!block) return false;
  ScopedGlobalLock lock(block);
  const char16_t* units = static_cast<const char16_t*>(lock.Data());
  if (!units) return false;
  // Another program's block need not hold the zero it should end with.
  const size_t size = std::min<size_t>(GlobalSize(block) / sizeof(char16_t), limit);
  text.assign(units, std::find(units, units + size, u'\0'));
  return true;
}

bool Win32Clipboard::Offer(unsigned format) {
  // A null handle asks the owner, the pad's window, to render the format when it is read.
  SetLastError(ERROR_SUCCESS);
  SetClipboardData(format, nullptr);
  return GetLastError() == ERROR_SUCCESS;
}

std::vector<unsigned> Win32Clipboard::Formats() {
  std::vector<unsigned> formats;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
    formats.push_back(format);
  return formats;
}

bool Win32Clipboard::GetData(unsigned format, size_t limit, std::string& bytes) {
  HANDLE block = GetClipboardData(format);
  if (!block) return false;
  const size_t size = GlobalSize(block);
  if (size > limit) return false;
  if (size == 0) return bytes.clear(), true;
  ScopedGlobalLock lock(block);
  if (!lock.Data()) return false;
  bytes.assign(static_cast<const char*>(lock.Data()), size);
  return true;
}

bool Win32Clipboard::OwnerAnswers(int timeoutMs) {
  HWND owner = GetClipboardOwner();
  if (!owner || GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId()) return true;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, static_cast<UINT>(timeoutMs),
                             &result) != 0;
}

uint32_t Win32Clipboard::SequenceNumber() { return GetClipboardSequenceNumber(); }

unsigned Win32Clipboard::RegisterFormat(const char* name) { return RegisterClipboardFormatA(name); }

uintptr_t Win32Target::Foreground() { return reinterpret_cast<uintptr_t>(GetForegroundWindow()); }

TIntegrity Win32Target::ForegroundIntegrity() {
  DWORD pid = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &pid);
  ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  return ProcessIntegrity(process);
}

TIntegrity Win32Target::Own() { return ProcessIntegrity(GetCurrentProcess()); }

std::string Win32Target::ForegroundClass() {
  // Class names are at most 256 characters.
  char name[257] = "";
  HWND window = GetForegroundWindow();
  return window && GetClassNameA(window, name, sizeof name) > 0 ? name : "";
}

bool Win32Target::Answers(int timeoutMs) {
  HWND window = GetForegroundWindow();
  if (!window) return true;
  // SMTO_BLOCK: no other program's message re-enters the pad while it waits here.
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, static_cast<UINT>(timeoutMs),
                             &result) != 0;
}

void Win32Clock::SleepMs(int ms) { Sleep(static_cast<DWORD>(ms)); }

uint32_t Win32Clock::NowMs() { return GetTickCount(); }

void Win32Clock::StartTicks(int ms) { SetTimer(pad_, timerId_, static_cast<UINT>(ms), nullptr); }

void Win32Clock::StopTicks() { KillTimer(pad_, timerId_); }

void Win32Beeper::Beep() { MessageBeep(0); }
