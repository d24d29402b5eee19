// Any bytes as a settings file: the same pairs in whatever pieces the reader gets them, and
// binding them into the settings, whatever they say, never faults.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "settings/Settings.h"

#define KWIX_BIND(name, type, kind, value) MakeParamRec(#name, &settings.name, kind),

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  TSettings settings;
  const TParamRec table[] = {KWIX_SETTINGS(KWIX_BIND)};
  std::string whole, pieces;
  TSettingsParser one([&](const std::string& k, const std::string& v) {
    whole += k + '\0' + v + '\n';
    BindSettings(table, std::size(table), '.', k, v);
  });
  TSettingsParser many([&](const std::string& k, const std::string& v) { pieces += k + '\0' + v + '\n'; });
  if (one.Feed(bytes, size)) one.Finish();
  const size_t step = size ? data[0] % 64 + 1 : 1;
  bool going = true;
  for (size_t i = 0; going && i < size; i += step) going = many.Feed(bytes + i, std::min(step, size - i));
  if (going) many.Finish();
  if (whole != pieces || MakePadLogFont(FontParamsOf(settings), 96).FaceName[31]) std::abort();
  return 0;
}
