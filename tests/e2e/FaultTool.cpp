// Makes trouble for the running program from another Windows process, as other programs
// on a user's desktop do: holds the settings file open for writing, holds the clipboard
// open, puts up a window that takes the keyboard focus and ignores every key, puts up a
// second window that takes what is pasted into it, closes the test's target window, and
// times how long the pad's thread takes to answer. Serves commands from stdin, one per
// line, and answers each with one line of JSON, like kwix_probe.
//
//   lock <path>          open the file for writing, sharing nothing, until unlock
//   unlock
//   holdclip <text>      put text on the clipboard and keep the clipboard open
//   releaseclip
//   deaf                 a focused window that swallows every key; deafkeys counts them
//   witness              a focused window with an edit control; witnesstext reads it
//   closewindows         closes the deaf and witness windows
//   closetarget          asks the test's target window to close (WM_CLOSE)
//   padping <timeout ms> a message to the pad window; answers how long the pad took
//   gdicount             the GDI objects of the pad's process
#include <windows.h>
#include <winternl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const UINT kLine = WM_APP + 1;  // lParam: a heap std::string, or null at the end of input

HANDLE LockedFile = INVALID_HANDLE_VALUE;
bool ClipboardHeld = false;
HWND Owner = nullptr;  // message-only window that owns the clipboard while it is held
HWND Deaf = nullptr;
HWND Witness = nullptr;
HWND WitnessEdit = nullptr;
long DeafKeys = 0;

void Answer(const std::string& json) {
  std::fwrite(json.data(), 1, json.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Bool(const char* key, bool v) { return std::string("\"") + key + "\":" + (v ? "true" : "false"); }
std::string Num(const char* key, long long v) { return std::string("\"") + key + "\":" + std::to_string(v); }
std::string Str(const char* key, const std::string& v) {
  std::string q;
  for (unsigned char c : v) {
    if (c == '"' || c == '\\') q += '\\';
    if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      q += esc;
    } else {
      q += static_cast<char>(c);
    }
  }
  return std::string("\"") + key + "\":\"" + q + "\"";
}
std::string Obj(const std::string& a, const std::string& b = "", const std::string& c = "") {
  std::string s = "{" + a;
  if (!b.empty()) s += "," + b;
  if (!c.empty()) s += "," + c;
  return s + "}";
}

LRESULT CALLBACK DeafProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR: ++DeafKeys; return 0;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK WitnessProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETFOCUS && WitnessEdit) {
    SetFocus(WitnessEdit);
    return 0;
  }
  if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE && WitnessEdit) {
    SetFocus(WitnessEdit);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

HWND TopWindow(const char* cls, WNDPROC proc, const char* title, int x, int y) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, cls, title, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, x, y, 300, 90, nullptr, nullptr,
                           wc.hInstance, nullptr);
  SetForegroundWindow(w);
  return w;
}

// The GDI objects of a process. GetGuiResources answers on Windows; Wine answers 0 there,
// but keeps each process's GDI handles in the table its PEB points to, as Windows once
// did: entries of a non-zero type are objects in use.
struct GdiCount {
  long long reported = -1;
  long long inTable = -1;
};

GdiCount CountGdiObjects(DWORD pid) {
  GdiCount count;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return count;
  count.reported = GetGuiResources(process, GR_GDIOBJECTS);
  using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  ULONG length = 0;
  if (query && query(process, ProcessBasicInformation, &info, sizeof info, &length) == 0) {
    // GdiSharedHandleTable: 0xF8 into a 64-bit PEB, 0x94 into a 32-bit one.
    const size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    void* table = nullptr;
    SIZE_T got = 0;
    if (ReadProcessMemory(process, static_cast<BYTE*>(static_cast<void*>(info.PebBaseAddress)) + offset, &table,
                          sizeof table, &got) &&
        table) {
      struct Entry {  // 24 bytes in both flavours
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
      };
      static_assert(sizeof(Entry) == 24, "GDI handle table entry");
      std::vector<Entry> entries(0x10000);
      if (ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), &got)) {
        count.inTable = 0;
        for (const Entry& e : entries) count.inTable += e.type != 0;
      }
    }
  }
  CloseHandle(process);
  return count;
}

std::string Word(std::string& rest) {
  const size_t sp = rest.find(' ');
  std::string w = rest.substr(0, sp);
  rest = sp == std::string::npos ? std::string() : rest.substr(sp + 1);
  return w;
}

std::string Run(const std::string& line) {
  std::string rest = line;
  const std::string cmd = Word(rest);
  if (cmd == "ping") return Obj(Bool("ok", true));
  if (cmd == "lock") {
    if (LockedFile != INVALID_HANDLE_VALUE) CloseHandle(LockedFile);
    LockedFile = CreateFileA(rest.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool ok = LockedFile != INVALID_HANDLE_VALUE;
    return Obj(Bool("ok", ok), Num("code", ok ? 0 : static_cast<long long>(GetLastError())));
  }
  if (cmd == "unlock") {
    if (LockedFile != INVALID_HANDLE_VALUE) CloseHandle(LockedFile);
    LockedFile = INVALID_HANDLE_VALUE;
    return Obj(Bool("ok", true));
  }
  if (cmd == "holdclip") {
    bool ok = false;
    for (int i = 0; i < 100 && !(ok = OpenClipboard(Owner) != FALSE); ++i) Sleep(10);
    if (ok) {
      EmptyClipboard();
      if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, rest.size() + 1)) {
        if (char* p = static_cast<char*>(GlobalLock(mem))) {
          std::memcpy(p, rest.c_str(), rest.size() + 1);
          GlobalUnlock(mem);
          if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);
        }
      }
      ClipboardHeld = true;  // open, and kept open
    }
    return Obj(Bool("ok", ok));
  }
  if (cmd == "releaseclip") {
    if (ClipboardHeld) CloseClipboard();
    ClipboardHeld = false;
    return Obj(Bool("ok", true));
  }
  if (cmd == "deaf") {
    DeafKeys = 0;
    if (!Deaf) Deaf = TopWindow("KWIXE2EDeaf", DeafProc, "ignores every key", 40, 200);
    SetForegroundWindow(Deaf);
    SetFocus(Deaf);
    return Obj(Bool("ok", Deaf != nullptr), Num("hwnd", reinterpret_cast<INT_PTR>(Deaf)));
  }
  if (cmd == "deafkeys") {
    return Obj(Num("keys", DeafKeys), Bool("foreground", Deaf && GetForegroundWindow() == Deaf));
  }
  if (cmd == "witness") {
    if (!Witness) {
      Witness = TopWindow("KWIXE2EWitness", WitnessProc, "takes what is pasted", 40, 320);
      WitnessEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 280, 26,
                                    Witness, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    SetForegroundWindow(Witness);
    SetFocus(WitnessEdit);
    return Obj(Bool("ok", WitnessEdit != nullptr));
  }
  if (cmd == "witnesstext") {
    char text[512] = "";
    if (WitnessEdit) GetWindowTextA(WitnessEdit, text, sizeof text);
    return Obj(Bool("ok", WitnessEdit != nullptr), Str("text", text),
               Bool("foreground", Witness && GetForegroundWindow() == Witness));
  }
  if (cmd == "closewindows") {
    if (Deaf) DestroyWindow(Deaf);
    if (Witness) DestroyWindow(Witness);
    Deaf = Witness = WitnessEdit = nullptr;
    return Obj(Bool("ok", true));
  }
  if (cmd == "closetarget") {
    HWND t = FindWindowA("KWIXE2ETarget", nullptr);
    return Obj(Bool("ok", t && PostMessageA(t, WM_CLOSE, 0, 0)));
  }
  if (cmd == "padping") {
    const UINT timeout = static_cast<UINT>(std::atoi(rest.c_str()));
    HWND pad = FindWindowA("KWIXWnd", nullptr);
    const DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    const bool answered =
        pad && SendMessageTimeoutA(pad, WM_NULL, 0, 0, SMTO_NORMAL, timeout ? timeout : 5000, &result) != 0;
    return Obj(Bool("answered", answered), Num("ms", static_cast<long long>(GetTickCount() - start)));
  }
  if (cmd == "gdicount") {
    HWND pad = FindWindowA("KWIXWnd", nullptr);
    DWORD pid = 0;
    if (pad) GetWindowThreadProcessId(pad, &pid);
    const GdiCount c = pid ? CountGdiObjects(pid) : GdiCount();
    return Obj(Num("pid", pid), Num("reported", c.reported), Num("table", c.inTable));
  }
  return Obj(Str("error", "unknown command: " + cmd));
}

DWORD MainThread = 0;

DWORD WINAPI ReadLines(LPVOID) {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    PostThreadMessageA(MainThread, kLine, 0, reinterpret_cast<LPARAM>(new std::string(line)));
  }
  PostThreadMessageA(MainThread, kLine, 0, 0);
  return 0;
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  // The queue must exist before the reader thread posts to it.
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  Owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  MainThread = GetCurrentThreadId();
  // Lines are read on their own thread: the windows and the held clipboard need this one
  // to keep handling messages while it waits for the next command.
  HANDLE reader = CreateThread(nullptr, 0, ReadLines, nullptr, 0, nullptr);
  if (reader) CloseHandle(reader);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kLine) {
      std::string* line = reinterpret_cast<std::string*>(msg.lParam);
      if (!line) break;
      Answer(Run(*line));
      delete line;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (ClipboardHeld) CloseClipboard();
  if (LockedFile != INVALID_HANDLE_VALUE) CloseHandle(LockedFile);
  return 0;
}
