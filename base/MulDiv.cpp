#include "base/MulDiv.h"

#include <cstdint>

#ifndef _WIN32
int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t n = number;
  int64_t d = denominator;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  int64_t product = n * numerator;
  // Rounds half away from zero by moving half the divisor towards the product's sign.
  int64_t q = product >= 0 ? (product + d / 2) / d : (product - d / 2) / d;
  if (q > 2147483647 || q < -2147483647) return -1;
  return static_cast<int>(q);
}
#endif
