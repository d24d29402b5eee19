// Any 80-bit pattern at every precision: the text fits the layout's length, does not depend
// on the caller's control word, and reads back as a value with the same text (but near the
// ends of the range, exponents 4930 to 4932, where a rounded text may lie beyond them).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/NumFormat.h"
#include "numtext/NumText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 10) return 0;
  Extended value = 0;
  std::memcpy(&value, data, 10);
  const char separator = size > 10 && data[10] & 1 ? ',' : '.';
  for (int precision = 2; precision <= 18; ++precision) {
    SetX87ControlWord(kStandingControlWord);
    const std::string text = NumberToText(value, precision, 3, separator);
    SetX87ControlWord(0x0E7F);
    if (NumberToText(value, precision, 3, separator) != text || GetX87ControlWord() != 0x0E7F) std::abort();
    SetX87ControlWord(kStandingControlWord);
    Extended back = 0;
    if (text.size() > precision + 8u) std::abort();
    const bool atAnEnd = text.find("E493") != std::string::npos || text.find("E-493") != std::string::npos;
    if (text.find('N') != std::string::npos || atAnEnd) continue;
    if (!TryTextToNumber(text, separator, back) || NumberToText(back, precision, 3, separator) != text) std::abort();
  }
  return 0;
}
