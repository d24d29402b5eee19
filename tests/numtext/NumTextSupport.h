// Helpers shared by the number text tests: values built bit by bit, arithmetic done in
// the calculator's own precision whatever the test process starts with, and a scoped
// decimal character.
#ifndef KWIX_TESTS_NUMTEXT_NUMTEXTSUPPORT_H
#define KWIX_TESTS_NUMTEXT_NUMTEXTSUPPORT_H

#include <cstdint>

#include "base/X87.h"

// signAndExponent: the sign bit and the 15-bit biased exponent; significand with its
// explicit integer bit.
Extended ExtendedFromBits(uint16_t signAndExponent, uint64_t significand);
uint16_t SignAndExponentOf(Extended value);
uint64_t SignificandOf(Extended value);

// a op b ('+', '-', '*', '/') rounded to 64 bits, to nearest.
Extended Calc(Extended a, char op, Extended b);
// ScaleByPowerOfTen in the arithmetic the conversions give it.
Extended ScaleInExtended(Extended x, int n);

// Sets the decimal character for the life of the scope.
class SeparatorOverride {
 public:
  explicit SeparatorOverride(char separator);
  ~SeparatorOverride();
  SeparatorOverride(const SeparatorOverride&) = delete;
  SeparatorOverride& operator=(const SeparatorOverride&) = delete;

 private:
  char saved_;
};

#endif
