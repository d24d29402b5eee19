// Asks Win32 what the end-to-end runner cannot see from X: the pad window and its layered
// attributes, who has the foreground and the keyboard focus, the target EDIT's text and
// selection, the cursor, the clipboard and the program's resource counts. Every answer is
// one line of JSON.
//
//   kwix_probe <command> [arguments]   one command
//   kwix_probe serve                   commands from stdin, one per line, until end of input
//
// Serving keeps one process for a whole run: starting a Wine process costs far more than
// the intervals the runner polls and measures at.
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <fcntl.h>
#include <io.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

const char kPadClass[] = "KWIXWnd";
const char kTargetClass[] = "KWIXE2ETarget";
const UINT kSendTimeoutMs = 2000;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring Wide(const std::string& s, UINT codePage) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

// A JSON object written field by field; strings arrive as UTF-8.
class Json {
 public:
  Json& Num(const char* key, long long v) { return Raw(key, std::to_string(v)); }
  Json& Bool(const char* key, bool v) { return Raw(key, v ? "true" : "false"); }
  Json& Handle(const char* key, HWND h) { return Num(key, static_cast<long long>(reinterpret_cast<INT_PTR>(h))); }
  Json& Str(const char* key, const std::string& v) {
    std::string q = "\"";
    for (unsigned char c : v) {
      if (c == '"' || c == '\\') {
        q += '\\';
        q += static_cast<char>(c);
      } else if (c < 0x20) {
        char esc[8];
        std::snprintf(esc, sizeof esc, "\\u%04x", c);
        q += esc;
      } else {
        q += static_cast<char>(c);
      }
    }
    return Raw(key, q + "\"");
  }
  Json& Raw(const char* key, const std::string& v) {
    body_ += body_.empty() ? "{" : ",";
    body_ += "\"";
    body_ += key;
    body_ += "\":";
    body_ += v;
    return *this;
  }
  std::string Text() const { return body_.empty() ? "{}" : body_ + "}"; }

 private:
  std::string body_;
};

void Answer(const std::string& json) {
  std::fwrite(json.data(), 1, json.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string ClassOf(HWND h) {
  char name[256] = "";
  if (h) GetClassNameA(h, name, sizeof name);
  return name;
}

HWND Target() { return FindWindowA(kTargetClass, nullptr); }
HWND TargetEdit() {
  HWND t = Target();
  return t ? FindWindowExA(t, nullptr, "EDIT", nullptr) : nullptr;
}

LRESULT Send(HWND h, UINT msg, WPARAM w, LPARAM l, bool* ok = nullptr) {
  DWORD_PTR result = 0;
  LRESULT sent = SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  if (ok) *ok = sent != 0;
  return static_cast<LRESULT>(result);
}

void AddRect(Json& j, const RECT& r) {
  j.Num("left", r.left).Num("top", r.top).Num("right", r.right).Num("bottom", r.bottom);
}

std::string Pad() {
  Json j;
  HWND pad = FindWindowA(kPadClass, nullptr);
  j.Bool("found", pad != nullptr);
  if (!pad) return j.Text();
  RECT r = {}, c = {};
  GetWindowRect(pad, &r);
  GetClientRect(pad, &c);
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(pad, &pid);
  j.Handle("hwnd", pad).Bool("visible", IsWindowVisible(pad) != FALSE);
  AddRect(j, r);
  j.Num("clientw", c.right - c.left).Num("clienth", c.bottom - c.top);
  j.Num("style", static_cast<DWORD>(GetWindowLongA(pad, GWL_STYLE)));
  j.Num("exstyle", static_cast<DWORD>(GetWindowLongA(pad, GWL_EXSTYLE)));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  bool layered = GetLayeredWindowAttributes(pad, &key, &alpha, &flags) != FALSE;
  j.Bool("layered", layered).Num("key", key).Num("alpha", alpha).Num("flags", flags);
  j.Num("pid", pid).Num("tid", tid);
  return j.Text();
}

std::string TargetInfo() {
  Json j;
  HWND t = Target();
  HWND e = TargetEdit();
  j.Handle("target", t).Handle("edit", e);
  if (t) {
    RECT r = {};
    GetWindowRect(t, &r);
    AddRect(j, r);
  }
  if (e) {
    RECT r = {};
    GetWindowRect(e, &r);
    j.Num("editleft", r.left).Num("edittop", r.top).Num("editright", r.right).Num("editbottom", r.bottom);
  }
  return j.Text();
}

std::string Focus() {
  Json j;
  HWND fg = GetForegroundWindow();
  j.Handle("foreground", fg).Str("fgclass", ClassOf(fg));
  HWND t = Target();
  j.Handle("target", t).Handle("edit", TargetEdit());
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  if (t && GetGUIThreadInfo(GetWindowThreadProcessId(t, nullptr), &gti)) {
    j.Handle("active", gti.hwndActive).Handle("focus", gti.hwndFocus).Str("focusclass", ClassOf(gti.hwndFocus));
    j.Handle("capture", gti.hwndCapture);
  }
  return j.Text();
}

std::string EditState() {
  Json j;
  HWND e = TargetEdit();
  j.Bool("found", e != nullptr);
  if (!e) return j.Text();
  bool ok = false;
  LRESULT len = Send(e, WM_GETTEXTLENGTH, 0, 0, &ok);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  LRESULT got = ok ? Send(e, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &ok) : 0;
  text.resize(static_cast<size_t>(got));
  // Both ends packed in the result: no pointers cross the process boundary.
  DWORD sel = static_cast<DWORD>(Send(e, EM_GETSEL, 0, 0, &ok));
  j.Bool("ok", ok).Str("text", Utf8(text)).Num("selstart", LOWORD(sel)).Num("selend", HIWORD(sel));
  return j.Text();
}

std::string SetEdit(int start, int end, const std::string& text) {
  Json j;
  HWND e = TargetEdit();
  j.Bool("found", e != nullptr);
  if (!e) return j.Text();
  std::wstring w = Wide(text, CP_UTF8);
  bool ok1 = false, ok2 = false;
  Send(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()), &ok1);
  Send(e, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end), &ok2);
  j.Bool("ok", ok1 && ok2);
  return j.Text();
}

std::string Cursor() {
  POINT p = {};
  bool ok = GetCursorPos(&p) != FALSE;
  return Json().Bool("ok", ok).Num("x", p.x).Num("y", p.y).Text();
}

// Samples the cursor on a 10 ms timer, as the program does, and lists the positions it
// moved to with the number of the tick that saw each; stops after maxMs, or once the cursor has moved and then rested
// for restMs. Shows whether a circle the runner draws reaches such a sampler whole, and how late the timer ran (the
// longest gap between two ticks). Answers {"sampling":true} at once, then the result.
std::string Sample(int maxMs, int restMs) {
  POINT last = {};
  GetCursorPos(&last);
  std::string points = "[" + std::to_string(last.x) + "," + std::to_string(last.y) + ",0]";
  int ticks = 0;
  bool moved = false;
  DWORD start = GetTickCount(), lastMove = start, lastTick = start, maxGap = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
  Answer(Json().Bool("sampling", true).Text());
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_TIMER) continue;
    DWORD now = GetTickCount();
    maxGap = std::max(maxGap, now - lastTick);
    lastTick = now;
    ++ticks;
    POINT p = {};
    GetCursorPos(&p);
    if (p.x != last.x || p.y != last.y) {
      points += ",[" + std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(ticks) + "]";
      last = p;
      moved = true;
      lastMove = now;
    }
    if (static_cast<int>(now - start) >= maxMs) break;
    if (moved && restMs > 0 && static_cast<int>(now - lastMove) >= restMs) break;
  }
  KillTimer(nullptr, timer);
  return Json()
      .Num("ticks", ticks)
      .Num("ms", GetTickCount() - start)
      .Num("maxgap", maxGap)
      .Raw("points", "[" + points + "]")
      .Text();
}

bool OpenClipboardPatiently() {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(10);
  }
  return false;
}

std::string Clipboard() {
  Json j;
  if (!OpenClipboardPatiently()) return j.Bool("ok", false).Text();
  std::string text;
  HANDLE h = GetClipboardData(CF_TEXT);
  if (h) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return j.Bool("ok", true).Bool("has", h != nullptr).Str("text", Utf8(Wide(text, CP_ACP))).Text();
}

std::string SetClipboard(const std::string& utf8) {
  Json j;
  std::wstring w = Wide(utf8, CP_UTF8);
  int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (!OpenClipboardPatiently()) return j.Bool("ok", false).Text();
  EmptyClipboard();
  bool ok = false;
  if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(n))) {
    if (char* p = static_cast<char*>(GlobalLock(mem))) {
      WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, p, n, nullptr, nullptr);
      GlobalUnlock(mem);
      ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    }
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return j.Bool("ok", ok).Text();
}

std::string Counts() {
  Json j;
  HWND pad = FindWindowA(kPadClass, nullptr);
  DWORD pid = 0;
  if (pad) GetWindowThreadProcessId(pad, &pid);
  HANDLE proc = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
  j.Bool("ok", proc != nullptr).Num("pid", pid);
  if (!proc) return j.Text();
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(proc, &pmc, sizeof pmc)) {
    j.Num("workingset", static_cast<long long>(pmc.WorkingSetSize));
    j.Num("peakworkingset", static_cast<long long>(pmc.PeakWorkingSetSize));
    j.Num("pagefile", static_cast<long long>(pmc.PagefileUsage));
  }
  DWORD handles = 0;
  if (GetProcessHandleCount(proc, &handles)) j.Num("handles", handles);
  j.Num("gdi", GetGuiResources(proc, GR_GDIOBJECTS)).Num("user", GetGuiResources(proc, GR_USEROBJECTS));
  CloseHandle(proc);
  return j.Text();
}

// Ends the program the one way it allows from outside: WM_QUIT to its thread ends its
// message loop, and it exits with code 0.
std::string Quit() {
  HWND pad = FindWindowA(kPadClass, nullptr);
  DWORD tid = pad ? GetWindowThreadProcessId(pad, nullptr) : 0;
  bool ok = tid && PostThreadMessageA(tid, WM_QUIT, 0, 0);
  return Json().Bool("ok", ok).Text();
}

std::string Screen() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return Json()
      .Num("width", GetSystemMetrics(SM_CXSCREEN))
      .Num("height", GetSystemMetrics(SM_CYSCREEN))
      .Num("cymenu", GetSystemMetrics(SM_CYMENU))
      .Num("dpi", dpi)
      .Text();
}

// Draws text as the pad draws its calc edit with the default settings (bold Verdana at
// 8 points, white on black, right-aligned and vertically centred in one line), so the
// runner can compare a screenshot's calc edit with what a given text looks like.
std::string Render(int width, int height, const std::string& utf8) {
  Json j;
  if (width <= 0 || height <= 0 || width > 2000 || height > 200) return j.Bool("ok", false).Text();
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(8, dpi, 72);
  lf.lfWeight = FW_BOLD;
  lstrcpyA(lf.lfFaceName, "Verdana");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT r = {0, 0, width, height};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  std::wstring w = Wide(utf8, CP_UTF8);
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  GdiFlush();
  std::string hex;
  hex.reserve(static_cast<size_t>(width) * height * 6);
  const DWORD* px = static_cast<const DWORD*>(bits);
  for (int i = 0; px && i < width * height; ++i) {
    char h[8];
    std::snprintf(h, sizeof h, "%06lx", static_cast<unsigned long>(px[i] & 0xFFFFFF));
    hex += h;
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBmp);
  DeleteObject(font);
  DeleteObject(bmp);
  DeleteDC(dc);
  return j.Bool("ok", px != nullptr).Num("w", width).Num("h", height).Str("rgb", hex).Text();
}

// Splits off the first space-separated word of rest.
std::string Word(std::string& rest) {
  size_t sp = rest.find(' ');
  std::string w = rest.substr(0, sp);
  rest = sp == std::string::npos ? std::string() : rest.substr(sp + 1);
  return w;
}

// Synthetic keys as the program sends them (keybd_event, scan code 0), for checking the
// harness without the program: each word is a hexadecimal virtual-key code, tapped, or
// with "+" pressed and with "-" released.
std::string Keys(const std::string& words) {
  std::string rest = words;
  int sent = 0;
  while (!rest.empty()) {
    std::string w = Word(rest);
    if (w.empty()) continue;
    char how = (w[0] == '+' || w[0] == '-') ? w[0] : 0;
    BYTE vk = static_cast<BYTE>(std::strtoul(w.c_str() + (how ? 1 : 0), nullptr, 16));
    if (how != '-') keybd_event(vk, 0, 0, 0);
    if (how != '+') keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    ++sent;
  }
  return Json().Bool("ok", true).Num("sent", sent).Text();
}

std::string Run(const std::string& line) {
  std::string rest = line;
  std::string cmd = Word(rest);
  if (cmd == "pad") return Pad();
  if (cmd == "target") return TargetInfo();
  if (cmd == "focus") return Focus();
  if (cmd == "edit") return EditState();
  if (cmd == "setedit") {  // setedit <selstart> <selend> <text to the end of the line>
    int start = std::atoi(Word(rest).c_str());
    int end = std::atoi(Word(rest).c_str());
    return SetEdit(start, end, rest);
  }
  if (cmd == "cursor") return Cursor();
  if (cmd == "sample") {  // sample <longest ms> <ms at rest that end it, 0 for never>
    int maxMs = std::atoi(Word(rest).c_str());
    return Sample(maxMs, std::atoi(rest.c_str()));
  }
  if (cmd == "clipboard") return Clipboard();
  if (cmd == "setclipboard") return SetClipboard(rest);
  if (cmd == "counts") return Counts();
  if (cmd == "quit") return Quit();
  if (cmd == "screen") return Screen();
  if (cmd == "render") {  // render <width> <height> <text to the end of the line>
    int w = std::atoi(Word(rest).c_str());
    int h = std::atoi(Word(rest).c_str());
    return Render(w, h, rest);
  }
  if (cmd == "keys") return Keys(rest);
  if (cmd == "sleep") {
    Sleep(static_cast<DWORD>(std::atoi(rest.c_str())));
    return Json().Bool("ok", true).Text();
  }
  if (cmd == "ping") return Json().Bool("ok", true).Text();
  return Json().Str("error", "unknown command: " + cmd).Text();
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  if (argc >= 2 && std::string(argv[1]) == "serve") {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Answer(Run(line));
    }
    return 0;
  }
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  Answer(Run(line));
  return 0;
}
