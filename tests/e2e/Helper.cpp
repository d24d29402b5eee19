// The end-to-end tests' Windows side: the application the pad types into (a bare EDIT that
// keeps the keyboard focus), and the eyes and hands the harness lacks in X. Commands come on
// stdin, one a line, read on a second thread and run on the EDIT's own thread (so the EDIT is
// asked in-process); each is answered with one line.
//   state              the pad window: found visible left top width height exstyle colourkey
//                      alpha pid; SM_CYMENU (the pad's row height); the cursor; the EDIT:
//                      focus-kept selstart selend; the Ctrl+C it took; copy mode; then its text
//   clip               whether the formats ExcludeClipboardContentFromMonitorProcessing,
//                      CanIncludeInClipboardHistory and CanUploadToCloudClipboard are there
//                      (1 or 0 each), then the CF_TEXT text
//   circle X Y R       draws a circle of radius R around the screen point (X, Y) with
//                      SetCursorPos, which makes no device input: from the top clockwise, 45
//                      points a turn, one every 10 ms, until the pad shows (4 turns at most);
//                      answers the number of points drawn and the longest gap between two, in ms
// and, answered 1 or 0 as they succeed:
//   set TEXT           the EDIT holding TEXT, the caret at the "|" in it or at the end; lets go
//                      of the file held
//   mode MODE          how the EDIT behaves: edit (as it is), late (each Ctrl+C keeps its thread
//                      busy 900 ms first, as a workbook recalculating), grid (Ctrl+C copies
//                      cells and owns the clipboard, Enter pastes them until another program
//                      empties it, as a spreadsheet's copy mode), console (inside a top-level
//                      window of the class of Windows' console)
//   hold, release      another program's window holds the clipboard open, or lets it go
//   lock PATH          holds the file open for writing, sharing only reading
//   quit               WM_QUIT to the pad's thread
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

HWND Edit, Plain, Console, Holder;  // the EDIT typed into, one of the two
HANDLE Locked;
DWORD Main;  // the thread
WNDPROC EditProc;
char Mode[16] = "edit";
int CtrlC, CopyMode;

LRESULT CALLBACK Behave(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ctrlC = message == WM_KEYDOWN && wParam == 'C' && GetKeyState(VK_CONTROL) < 0;
  CtrlC += ctrlC;
  if (ctrlC && strcmp(Mode, "late") == 0) Sleep(900);
  if (strcmp(Mode, "grid") == 0) {
    if (message == WM_CHAR && wParam == 3 && OpenClipboard(window)) {
      EmptyClipboard();
      const char cells[] = "1\t2\r\n3\t4\r\n";
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof cells);
      memcpy(GlobalLock(block), cells, sizeof cells);
      GlobalUnlock(block);
      SetClipboardData(CF_TEXT, block);
      CloseClipboard();
      CopyMode = 1;
      return 0;
    }
    if (message == WM_DESTROYCLIPBOARD) CopyMode = 0;
    if (message == WM_KEYDOWN && wParam == VK_RETURN && CopyMode) SetWindowTextA(window, "pasted");
  }
  return CallWindowProcA(EditProc, window, message, wParam, lParam);
}

// Top left, away from where the tests draw their circles.
HWND MakeEdit(const char* windowClass) {
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, windowClass, "", WS_POPUP | WS_BORDER | ES_AUTOHSCROLL, 40, 40, 380, 28,
                              nullptr, nullptr, nullptr, nullptr);
  EditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Behave)));
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
    DWORD key = 0, flags = 0, pid = 0;  // key: a COLORREF
    BYTE alpha = 0;
    char text[400] = "";
    GetWindowRect(pad, &r);
    GetLayeredWindowAttributes(pad, &key, &alpha, &flags);
    GetWindowThreadProcessId(pad, &pid);
    GetCursorPos(&at);
    GetWindowTextA(Edit, text, sizeof text);
    DWORD sel = static_cast<DWORD>(SendMessageA(Edit, EM_GETSEL, 0, 0));
    printf("%d %d %ld %ld %ld %ld %ld %lu %u %lu %d %ld %ld %d %u %u %d %d %s\n", pad != nullptr, IsWindowVisible(pad),
           r.left, r.top, r.right - r.left, r.bottom - r.top, GetWindowLongA(pad, GWL_EXSTYLE), key, alpha, pid,
           GetSystemMetrics(SM_CYMENU), at.x, at.y, GetForegroundWindow() == Edit && GetFocus() == Edit, LOWORD(sel),
           HIWORD(sel), CtrlC, CopyMode, text);
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
  } else if (is("clip") && OpenClipboard(Edit)) {
    for (const char* format :
         {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"})
      printf("%d ", IsClipboardFormatAvailable(RegisterClipboardFormatA(format)));
    HANDLE h = GetClipboardData(CF_TEXT);
    printf("%s\n", h ? static_cast<const char*>(GlobalLock(h)) : "");
    if (h) GlobalUnlock(h);
    CloseClipboard();
  } else {
    bool ok = true;
    if (is("set")) {
      char text[400];
      snprintf(text, sizeof text, "%s", arg);
      const size_t caret = strcspn(text, "|");
      if (text[caret]) memmove(text + caret, text + caret + 1, strlen(text + caret));
      SetWindowTextA(Edit, text), SendMessageA(Edit, EM_SETSEL, caret, caret);
      CloseHandle(Locked), Locked = nullptr;
      CtrlC = CopyMode = 0;
    }
    if (is("mode")) {
      snprintf(Mode, sizeof Mode, "%s", arg);
      ShowWindow(Edit, SW_HIDE);
      Edit = strcmp(Mode, "console") == 0 ? Console : Plain;
      ShowWindow(Edit, SW_SHOW), SetForegroundWindow(Edit), SetFocus(Edit);
    }
    if (is("hold")) ok = OpenClipboard(Holder);
    if (is("release")) ok = CloseClipboard();
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
  WNDCLASSA terminal{};
  GetClassInfoA(nullptr, "EDIT", &terminal);
  terminal.hInstance = GetModuleHandleA(nullptr), terminal.lpszClassName = "ConsoleWindowClass";
  RegisterClassA(&terminal);
  Console = MakeEdit("ConsoleWindowClass");
  Holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Edit = Plain = MakeEdit("EDIT");
  ShowWindow(Edit, SW_SHOW);
  Main = GetCurrentThreadId();
  CloseHandle(CreateThread(nullptr, 0, Reader, nullptr, 0, nullptr));
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_APP) {
      Run(reinterpret_cast<char*>(m.lParam));
    } else {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
}
