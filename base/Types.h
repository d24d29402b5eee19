// Plain geometry and colour values shared by the platform-free code. They mirror
// the Windows POINT, RECT and COLORREF so the Windows edge converts them field by field.
#ifndef KWIX_BASE_TYPES_H
#define KWIX_BASE_TYPES_H

#include <cstdint>

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
};

inline bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const TPoint& a, const TPoint& b) { return !(a == b); }

// Right and bottom are exclusive, as in GDI.
struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

inline bool operator==(const TRect& a, const TRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Pixel arithmetic on unchecked settings may leave 32 bits: it is done in 64 bits and
// wrapped back, as the 32-bit program's integer arithmetic does, instead of overflowing.
inline int32_t Wrapped32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// True when the two rectangles share at least one pixel (IntersectRect non-empty).
inline bool RectsIntersect(const TRect& a, const TRect& b) {
  int32_t l = a.left > b.left ? a.left : b.left;
  int32_t r = a.right < b.right ? a.right : b.right;
  int32_t t = a.top > b.top ? a.top : b.top;
  int32_t bt = a.bottom < b.bottom ? a.bottom : b.bottom;
  return l < r && t < bt;
}

struct TSize {
  int32_t width = 0;
  int32_t height = 0;
};

// 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;

#endif
