// Any text through the number parse: the caller's control word comes back and does not
// change the result, and an accepted number is within its roundings of glibc's correctly
// rounded strtold of the same text. The parse of another program's number, with ','
// grouping as English, India, one group of three and no grouping write it, accepts only what
// the plain parse reads the same once the grouping is out.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/NumText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Extended standing = 0, other = 0;
  SetX87ControlWord(kStandingControlWord);
  const bool ok = TryTextToNumber(text, '.', standing);
  SetX87ControlWord(0x0C7F);  // 24-bit precision, rounding towards zero
  const bool okAgain = TryTextToNumber(text, '.', other);
  const uint16_t word = GetX87ControlWord();
  SetX87ControlWord(kStandingControlWord);
  if (word != 0x0C7F || ok != okAgain || (ok && std::memcmp(&standing, &other, 10) != 0)) std::abort();
  static const char* const kPatterns[] = {"3;0", "3;2;0", "3", "0"};
  const TNumberFormat format{'.', ReadDigitGrouping(u',', kPatterns[size % 4])};
  std::string ungrouped = text;
  ungrouped.erase(std::remove(ungrouped.begin(), ungrouped.end(), ','), ungrouped.end());
  Extended grouped = 0, plain = 0;
  // Each byte as the UTF-16 unit of the same value, as Latin-1 text reads.
  std::u16string wide;
  for (const unsigned char c : text) wide += c;
  const bool groupedOk = TryGroupedTextToNumber(wide, format, grouped);
  const bool plainOk = TryTextToNumber(ungrouped, '.', plain);
  if (groupedOk && (!plainOk || std::memcmp(&grouped, &plain, 10) != 0)) std::abort();
  if (ungrouped == text && groupedOk != plainOk) std::abort();
  if (!ok || text.find_first_not_of(" +-.0123456789eE") != std::string::npos) return 0;
  // Each digit past the 19th and each scaling step may round once.
  const Extended reference = std::strtold(text.c_str(), nullptr);
  const Extended steps = static_cast<Extended>(std::count_if(text.begin(), text.end(), ::isdigit) + 8);
  if (!std::isinf(reference) && std::fabs(standing - reference) > std::fabs(reference) * steps * 0x1p-63L + 1e-4940L)
    std::abort();
  return 0;
}
