#include "NumTextSupport.h"

#include <cstring>

#include "numtext/NumText.h"

Extended ExtendedFromBits(uint16_t signAndExponent, uint64_t significand) {
  unsigned char bytes[sizeof(Extended)] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
  Extended value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

uint16_t SignAndExponentOf(Extended value) {
  uint16_t word;
  std::memcpy(&word, reinterpret_cast<const unsigned char*>(&value) + 8, 2);
  return word;
}

uint64_t SignificandOf(Extended value) {
  uint64_t significand;
  std::memcpy(&significand, &value, 8);
  return significand;
}

Extended Calc(Extended a, char op, Extended b) {
  volatile Extended x = a;
  volatile Extended y = b;
  volatile Extended result = 0;
  MaskedExtendedScope scope;
  switch (op) {
    case '+': result = x + y; break;
    case '-': result = x - y; break;
    case '*': result = x * y; break;
    default: result = x / y; break;
  }
  return result;
}

Extended ScaleInExtended(Extended x, int n) {
  volatile Extended in = x;
  volatile Extended result = 0;
  MaskedExtendedScope scope;
  result = ScaleByPowerOfTen(in, n);
  return result;
}

SeparatorOverride::SeparatorOverride(char separator) : saved_(LocaleDecimalSeparator()) {
  SetLocaleDecimalSeparator(separator);
}

SeparatorOverride::~SeparatorOverride() { SetLocaleDecimalSeparator(saved_); }
