// The end-to-end tests' Windows side: the application the pad types into (a bare EDIT that
// keeps the keyboard focus), and the eyes and hands the harness lacks in X. Commands come on
// stdin, one a line, read on a second thread and run on the EDIT's own thread (so the EDIT is
// asked in-process); each is answered with one line.
//   state              the pad window: found visible left top width height exstyle colourkey
//                      alpha pid; SM_CYMENU (the pad's row height); the cursor; the EDIT:
//                      focus-kept selstart selend (UTF-16 units); the Ctrl+C it took; copy
//                      mode; then its text (UTF-8)
//   clip               whether the formats ExcludeClipboardContentFromMonitorProcessing,
//                      CanIncludeInClipboardHistory and CanUploadToCloudClipboard are there
//                      (1 or 0 each), then the Unicode text (UTF-8)
//   circle X Y R       draws a circle of radius R around the screen point (X, Y) with
//                      SetCursorPos, which makes no device input: from the top clockwise, 45
//                      points a turn, one every 10 ms, until the pad shows (4 turns at most);
//                      answers the number of points drawn and the longest gap between two, in ms
// and, answered 1 or 0 as they succeed:
//   set TEXT           the EDIT (a Unicode one) holding TEXT (UTF-8), the caret at the "|" in it
//                      or at the end; lets go of the file held
//   mode MODE          how the EDIT behaves: edit (as it is), late (each Ctrl+C and Ctrl+V keeps
//                      its thread busy 900 ms first, as a workbook recalculating), grid (Ctrl+C copies
//                      cells and owns the clipboard, Enter pastes them until another program
//                      empties it, as a spreadsheet's copy mode), console (inside a top-level
//                      window of the class of Windows' console), browser (a plain Left or Right
//                      collapses a selection to its start or end, as web forms do), page (Ctrl+C
//                      copies 700 ms later from another thread, the window answering meanwhile,
//                      as a browser's page process does)
//   hold, release      another program's window holds the clipboard open, or lets it go
//   tool on|off        a clipboard history tool: a window of another thread holds the clipboard
//                      40 ms after each change
//   fill TEXT|big      what the user copied: TEXT (UTF-8) and a private format of a few bytes, or
//                      4 MiB of text and an image of 8 MiB (CF_DIB)
//   kept               the clipboard's Unicode text (its length when longer than 40), then its
//                      private format's bytes in hex or "none"
//   lock PATH          holds the file open for writing, sharing only reading
//   quit               WM_QUIT to the pad's thread
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

HWND Edit, Plain, Console, Holder;  // the EDIT typed into, one of the two
HANDLE Locked;
DWORD Main;  // the thread
WNDPROC EditProc;
char Mode[16] = "edit";
int CtrlC, CopyMode;
bool Tool;

bool Is(const char* mode) { return strcmp(Mode, mode) == 0; }

std::wstring Wide(const char* utf8) {
  std::wstring wide(strlen(utf8) + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], static_cast<int>(wide.size())) - 1);
  return wide;
}
std::string Utf8(const std::wstring& wide) {
  std::string utf8(wide.size() * 3 + 1, '\0');
  utf8.resize(
      WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr) - 1);
  return utf8;
}

const char kPrivate[] = "KWIX e2e private";
const char kPrivateBytes[] = "\x01\x00\xFFprivate";

void PutBytes(UINT format, const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  SetClipboardData(format, block);
}

void PutText(const std::wstring& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, block);
}

// A browser's page copies in its own process, some time after the window took Ctrl+C.
DWORD WINAPI LateCopy(LPVOID text) {
  Sleep(700);
  if (OpenClipboard(nullptr)) {
    PutText(*static_cast<std::wstring*>(text));
    CloseClipboard();
  }
  delete static_cast<std::wstring*>(text);
  return 0;
}

// A clipboard history tool: after each change it holds the clipboard a while to read it.
LRESULT CALLBACK ToolProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLIPBOARDUPDATE && Tool && OpenClipboard(window)) {
    Sleep(40);
    CloseClipboard();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
DWORD WINAPI ToolThread(LPVOID) {
  WNDCLASSW tool{};
  tool.lpfnWndProc = ToolProc, tool.hInstance = GetModuleHandleW(nullptr), tool.lpszClassName = L"HistoryTool";
  RegisterClassW(&tool);
  AddClipboardFormatListener(
      CreateWindowExW(0, L"HistoryTool", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}

LRESULT CALLBACK Behave(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ctrlC = message == WM_KEYDOWN && wParam == 'C' && GetKeyState(VK_CONTROL) < 0;
  const bool ctrlV = message == WM_KEYDOWN && wParam == 'V' && GetKeyState(VK_CONTROL) < 0;
  CtrlC += ctrlC;
  if ((ctrlC || ctrlV) && Is("late")) Sleep(900);
  DWORD start = 0, end = 0;
  SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (Is("page") && message == WM_CHAR && wParam == 3) {
    wchar_t text[400] = L"";
    GetWindowTextW(window, text, 400);
    CloseHandle(CreateThread(nullptr, 0, LateCopy, new std::wstring(text + start, text + end), 0, nullptr));
    return 0;
  }
  const bool arrow = message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT);
  if (Is("browser") && arrow && start != end && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
    const DWORD to = wParam == VK_LEFT ? start : end;
    SendMessageW(window, EM_SETSEL, to, to);
    return 0;
  }
  if (Is("grid")) {
    if (message == WM_CHAR && wParam == 3 && OpenClipboard(window)) {
      PutText(L"1\t2\r\n3\t4\r\n");
      CloseClipboard();
      CopyMode = 1;
      return 0;
    }
    if (message == WM_DESTROYCLIPBOARD) CopyMode = 0;
    if (message == WM_KEYDOWN && wParam == VK_RETURN && CopyMode) SetWindowTextW(window, L"pasted");
  }
  return CallWindowProcW(EditProc, window, message, wParam, lParam);
}

// Top left, away from where the tests draw their circles.
HWND MakeEdit(const wchar_t* windowClass) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, windowClass, L"", WS_POPUP | WS_BORDER | ES_AUTOHSCROLL, 40, 40, 380,
                              28, nullptr, nullptr, nullptr, nullptr);
  EditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Behave)));
  return edit;
}

void Run(char* cmd) {
  cmd[strcspn(cmd, "\r\n")] = 0;
  const char* arg = strchr(cmd, ' ') ? strchr(cmd, ' ') + 1 : "";
  auto is = [cmd](const char* word) { return strncmp(cmd, word, strlen(word)) == 0; };
  HWND pad = FindWindowA("KWIXWnd", nullptr);
  if (is("state")) {
    RECT r{};
    POINT at{};
    DWORD key = 0, flags = 0, pid = 0, start = 0, end = 0;  // key: a COLORREF
    BYTE alpha = 0;
    wchar_t text[400] = L"";
    GetWindowRect(pad, &r);
    GetLayeredWindowAttributes(pad, &key, &alpha, &flags);
    GetWindowThreadProcessId(pad, &pid);
    GetCursorPos(&at);
    GetWindowTextW(Edit, text, 400);
    SendMessageW(Edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    printf("%d %d %ld %ld %ld %ld %ld %lu %u %lu %d %ld %ld %d %lu %lu %d %d %s\n", pad != nullptr,
           IsWindowVisible(pad), r.left, r.top, r.right - r.left, r.bottom - r.top, GetWindowLongA(pad, GWL_EXSTYLE),
           key, alpha, pid, GetSystemMetrics(SM_CYMENU), at.x, at.y,
           GetForegroundWindow() == Edit && GetFocus() == Edit, start, end, CtrlC, CopyMode, Utf8(text).c_str());
  } else if (is("circle")) {
    int x = 0, y = 0, r = 0, n = 0;
    DWORD last = GetTickCount(), gap = 0;
    sscanf(arg, "%d %d %d", &x, &y, &r);
    for (DWORD start = last; n < 180 && !IsWindowVisible(pad); ++n) {
      SetCursorPos(x + std::lround(r * std::sin(n * 6.283185307179586 / 45)),
                   y - std::lround(r * std::cos(n * 6.283185307179586 / 45)));
      gap = std::max(gap, GetTickCount() - last);
      last = GetTickCount();
      while (GetTickCount() - start < 10u * (n + 1)) Sleep(1);
    }
    printf("%d %lu\n", n, gap);
  } else if (is("kept") && OpenClipboard(Edit)) {
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    std::wstring text = h ? static_cast<const wchar_t*>(GlobalLock(h)) : L"";
    if (h) GlobalUnlock(h);
    printf("%s ", text.size() > 40 ? std::to_string(text.size()).c_str() : Utf8(text).c_str());
    h = GetClipboardData(RegisterClipboardFormatA(kPrivate));
    const unsigned char* bytes = h ? static_cast<const unsigned char*>(GlobalLock(h)) : nullptr;
    for (size_t i = 0; bytes && i < GlobalSize(h); ++i) printf("%02x", bytes[i]);
    printf("%s\n", bytes ? "" : "none");
    if (h) GlobalUnlock(h);
    CloseClipboard();
  } else if (is("clip") && OpenClipboard(Edit)) {
    for (const char* format :
         {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"})
      printf("%d ", IsClipboardFormatAvailable(RegisterClipboardFormatA(format)));
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    printf("%s\n", h ? Utf8(static_cast<const wchar_t*>(GlobalLock(h))).c_str() : "");
    if (h) GlobalUnlock(h);
    CloseClipboard();
  } else {
    bool ok = true;
    if (is("set")) {
      std::wstring text = Wide(arg);
      const size_t caret = std::min(text.find(L'|'), text.size());
      if (caret < text.size()) text.erase(caret, 1);
      SetWindowTextW(Edit, text.c_str()), SendMessageW(Edit, EM_SETSEL, caret, caret);
      CloseHandle(Locked), Locked = nullptr;
      CtrlC = CopyMode = 0;
    }
    if (is("mode")) {
      snprintf(Mode, sizeof Mode, "%s", arg);
      ShowWindow(Edit, SW_HIDE);
      Edit = Is("console") ? Console : Plain;
      ShowWindow(Edit, SW_SHOW), SetForegroundWindow(Edit), SetFocus(Edit);
    }
    if (is("hold")) ok = OpenClipboard(Holder);
    if (is("release")) ok = CloseClipboard();
    if (is("tool")) Tool = strcmp(arg, "on") == 0;
    if (is("fill") && (ok = OpenClipboard(Holder))) {
      EmptyClipboard();
      if (strcmp(arg, "big") == 0) {
        PutText(std::wstring(4 << 20, L'7'));  // PutText empties first: the image after it
        std::string image(8 << 20, '\x40');
        BITMAPINFOHEADER header{sizeof header, 2048, 1024, 1, 32, BI_RGB, 8 << 20, 0, 0, 0, 0};
        memcpy(&image[0], &header, sizeof header);
        PutBytes(CF_DIB, image.data(), image.size());
      } else {
        PutText(Wide(arg));
        PutBytes(RegisterClipboardFormatA(kPrivate), kPrivateBytes, sizeof kPrivateBytes - 1);
      }
      CloseClipboard();
    }
    if (is("lock")) Locked = CreateFileA(arg, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (is("lock")) ok = Locked != INVALID_HANDLE_VALUE;
    if (is("quit")) PostThreadMessageA(GetWindowThreadProcessId(pad, nullptr), WM_QUIT, 0, 0);
    printf("%d\n", ok);
  }
  fflush(stdout);
  free(cmd);
}

DWORD WINAPI Reader(LPVOID) {
  char line[512];
  while (fgets(line, sizeof line, stdin)) PostThreadMessageA(Main, WM_APP, 0, reinterpret_cast<LPARAM>(strdup(line)));
  PostThreadMessageA(Main, WM_QUIT, 0, 0);
  return 0;
}

}  // namespace

int main() {
  // The console is an EDIT of the class the windows of Windows' console have.
  WNDCLASSW terminal{};
  GetClassInfoW(nullptr, L"EDIT", &terminal);
  terminal.hInstance = GetModuleHandleW(nullptr), terminal.lpszClassName = L"ConsoleWindowClass";
  RegisterClassW(&terminal);
  Console = MakeEdit(L"ConsoleWindowClass");
  Holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Edit = Plain = MakeEdit(L"EDIT");
  ShowWindow(Edit, SW_SHOW);
  Main = GetCurrentThreadId();
  CloseHandle(CreateThread(nullptr, 0, Reader, nullptr, 0, nullptr));
  CloseHandle(CreateThread(nullptr, 0, ToolThread, nullptr, 0, nullptr));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_APP) {
      Run(reinterpret_cast<char*>(m.lParam));
    } else {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
}
