// Scoped Win32 resources: each wrapper takes its resource when it is made and gives it back
// when its scope ends, so a handler that returns early or throws leaks nothing. Each hands
// out the raw handle, so call sites stay plain Win32. Windows builds only.
#ifndef KWIX_BASE_SCOPEDWIN_H
#define KWIX_BASE_SCOPEDWIN_H

#include <windows.h>

// Not copyable: a copy would give the resource back twice.
class NonCopyable {
 protected:
  NonCopyable() = default;
  ~NonCopyable() = default;

 public:
  NonCopyable(const NonCopyable&) = delete;
  NonCopyable& operator=(const NonCopyable&) = delete;
};

// A window's device context (GetDC / ReleaseDC); no window gives the whole screen's.
class ScopedWindowDC : NonCopyable {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the one it replaced comes back.
class ScopedSelect : NonCopyable {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A GDI object of ours (a font, a bitmap), deleted when replaced and at the end.
template <typename Handle>
class ScopedGdiObject : NonCopyable {
 public:
  explicit ScopedGdiObject(Handle handle = nullptr) : handle_(handle) {}
  ~ScopedGdiObject() { Reset(); }
  void Reset(Handle handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }
  operator Handle() const { return handle_; }

 private:
  Handle handle_;
};

// A memory device context compatible with dc, holding a compatible bitmap of the given
// size. Members end in reverse order: the bitmap is deselected, deleted, then the DC.
class ScopedMemoryDC : NonCopyable {
 public:
  ScopedMemoryDC(HDC dc, int width, int height)
      : dc_(dc), bitmap_(CreateCompatibleBitmap(dc, width, height)), select_(dc_, bitmap_) {}
  operator HDC() const { return dc_; }

 private:
  struct CompatibleDC : NonCopyable {
    explicit CompatibleDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~CompatibleDC() {
      if (dc) DeleteDC(dc);
    }
    operator HDC() const { return dc; }
    HDC dc;
  } dc_;
  ScopedGdiObject<HBITMAP> bitmap_;
  ScopedSelect select_;
};

// BeginPaint / EndPaint.
class ScopedPaint : NonCopyable {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { BeginPaint(window, &paint_); }
  ~ScopedPaint() { EndPaint(window_, &paint_); }
  HDC DC() const { return paint_.hdc; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// A kernel handle (a process, a token), closed at the end.
class ScopedHandle : NonCopyable {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  void Close() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
  }
  HANDLE* Receive() { return &handle_; }
  operator HANDLE() const { return handle_; }

 private:
  HANDLE handle_;
};

#endif
