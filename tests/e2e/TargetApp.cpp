// The application the end-to-end tests type into: one top-level window at a fixed place,
// well away from where the tests summon the pad, holding a single-line EDIT that keeps the
// keyboard focus. The runner reads and sets the EDIT from outside (WM_GETTEXT, EM_GETSEL),
// so this program has no logic of its own beyond keeping the focus in the EDIT.
#include <windows.h>

namespace {

const char kTargetClass[] = "KWIXE2ETarget";
const int kLeft = 40, kTop = 40, kWidth = 420, kHeight = 120;
const int kEditId = 100;

HWND Edit = nullptr;

LRESULT CALLBACK TargetProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      Edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10,
                             kWidth - 40, 28, wnd, reinterpret_cast<HMENU>(kEditId),
                             reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance, nullptr);
      SendMessageA(Edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      return 0;
    case WM_ACTIVATE:
      // Coming back to the front, the focus returns to the EDIT, as in a real form.
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(Edit);
      return 0;
    case WM_SETFOCUS: SetFocus(Edit); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kTargetClass;
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, kTargetClass, "KWIX e2e target", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, kLeft, kTop,
                             kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  ShowWindow(wnd, SW_SHOW);
  SetForegroundWindow(wnd);
  SetFocus(Edit);
  MSG msg;
  // Translated, so that Ctrl+C and Ctrl+V reach the EDIT as the characters it acts on.
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
