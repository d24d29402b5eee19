// The integer parse and the case-insensitive comparison: the parts of the number
// text that the settings binder needs and that involve no floating point.
#include "numtext/NumText.h"

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool SameTextIgnoreCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

int32_t TextToInteger(const std::string& text, int& errorPosition) {
  const size_t len = text.size();
  // Positions are 1-based; "past the end" is len + 1.
  const int pastEnd = static_cast<int>(len) + 1;
  size_t i = 0;
  while (i < len && text[i] == ' ') ++i;
  bool negative = false;
  if (i < len && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < len && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < len && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }

  uint32_t value = 0;
  size_t digits = 0;
  if (hex) {
    while (i < len && HexDigit(text[i]) >= 0) {
      if (value > 0x0FFFFFFFu) {
        errorPosition = static_cast<int>(i) + 1;
        return 0;
      }
      value = value * 16 + static_cast<uint32_t>(HexDigit(text[i]));
      ++i;
      ++digits;
    }
  } else {
    while (i < len && text[i] >= '0' && text[i] <= '9') {
      if (value > 214748364u) {
        errorPosition = static_cast<int>(i) + 1;
        return 0;
      }
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
      ++i;
      ++digits;
    }
  }

  if (i < len) {
    errorPosition = static_cast<int>(i) + 1;
    return 0;
  }
  if (digits == 0) {
    errorPosition = pastEnd;
    return 0;
  }
  if (!hex && value > (negative ? 2147483648u : 2147483647u)) {
    errorPosition = pastEnd;
    return 0;
  }
  errorPosition = 0;
  // Two's complement: "$FFFFFFFF" is -1, and negation wraps the same way.
  uint32_t bits = negative ? (0u - value) : value;
  return static_cast<int32_t>(bits);
}
