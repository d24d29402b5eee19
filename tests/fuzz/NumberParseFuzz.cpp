// Any text through the number parse: the caller's control word comes back and does not
// change the result, and an accepted number is within its roundings of glibc's correctly
// rounded strtold of the same text. The parse of another program's number, with ','
// grouping as English, India, one group of three and no grouping write it, accepts only what
// the plain parse reads the same once the grouping is out, grouped as the locale writes it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/NumText.h"

namespace {

// Digits as the locale groups them, without leading zeros.
std::string Regrouped(std::string digits, const TDigitGrouping& grouping) {
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  std::string out;
  size_t group = 0, taken = 0;
  for (size_t k = digits.size(); k-- > 0; ++taken) {
    const size_t size = group < grouping.sizes.size() ? grouping.sizes[group]
                        : grouping.repeatLast         ? grouping.sizes.back()
                                                      : SIZE_MAX;
    if (taken == size) out.insert(0, 1, ','), ++group, taken = 0;
    out.insert(0, 1, digits[k]);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  SetLocaleDecimalSeparator('.');
  Extended standing = 0, other = 0;
  SetX87ControlWord(kStandingControlWord);
  const bool ok = TryTextToNumber(text, standing);
  SetX87ControlWord(0x0C7F);  // 24-bit precision, rounding towards zero
  const bool okAgain = TryTextToNumber(text, other);
  const uint16_t word = GetX87ControlWord();
  SetX87ControlWord(kStandingControlWord);
  if (word != 0x0C7F || ok != okAgain || (ok && std::memcmp(&standing, &other, 10) != 0)) std::abort();
  static const char* const kPatterns[] = {"3;0", "3;2;0", "3", "0"};
  SetLocaleDigitGrouping(',', kPatterns[size % 4]);
  std::string ungrouped = text;
  ungrouped.erase(std::remove(ungrouped.begin(), ungrouped.end(), ','), ungrouped.end());
  Extended grouped = 0, plain = 0;
  const bool groupedOk = TryGroupedTextToNumber(text, grouped);
  const bool plainOk = TryTextToNumber(ungrouped, plain);
  if (groupedOk && (!plainOk || std::memcmp(&grouped, &plain, 10) != 0)) std::abort();
  if (ungrouped == text && groupedOk != plainOk) std::abort();
  if (groupedOk && ungrouped != text) {
    const size_t begin = text.find_first_of("0123456789,");
    const std::string integer = text.substr(begin, text.find_first_not_of("0123456789,", begin) - begin);
    std::string digits = integer;
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    if (Regrouped(digits, LocaleDigitGrouping()) != integer) std::abort();
  }
  if (!ok || text.find_first_not_of(" +-.0123456789eE") != std::string::npos) return 0;
  // Each digit past the 19th and each scaling step may round once.
  const Extended reference = std::strtold(text.c_str(), nullptr);
  const Extended steps = static_cast<Extended>(std::count_if(text.begin(), text.end(), ::isdigit) + 8);
  if (!std::isinf(reference) && std::fabs(standing - reference) > std::fabs(reference) * steps * 0x1p-63L + 1e-4940L)
    std::abort();
  return 0;
}
