#include "settings/SettingsFile.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "base/Errors.h"
#include "numtext/NumText.h"
#include "settings/FileAccess.h"

namespace {

constexpr char kEndOfData = 0x1A;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool NeedsDecision(char c) { return c == '\n' || c == '\r' || c == '#' || c == kEndOfData; }

// The smallest magnitude that rounds to infinity as a double (2^1024 - 2^970, the
// halfway point above DBL_MAX, which ties to even upwards). Storing such a value would
// overflow; with overflow unmasked on the x87 that is a fault, not an infinity.
const Extended kDoubleOverflowThreshold = std::ldexp(static_cast<Extended>((1ULL << 54) - 1), 970);

void BindValue(const TParamRec& entry, char decimalSeparator, const std::string& value) {
  switch (entry.Kind) {
    case pkInteger: {
      int errorPosition = 0;
      int32_t number = TextToInteger(value, errorPosition);
      if (errorPosition == 0) *static_cast<int32_t*>(entry.Ptr) = number;
      break;
    }
    case pkBoolean: {
      int errorPosition = 0;
      int32_t number = TextToInteger(value, errorPosition);
      bool& flag = *static_cast<bool*>(entry.Ptr);
      if (errorPosition == 0) {
        flag = number != 0;
      } else if (SameTextIgnoreCase(value, "True") || SameTextIgnoreCase(value, "Yes")) {
        flag = true;
      } else if (SameTextIgnoreCase(value, "False") || SameTextIgnoreCase(value, "No")) {
        flag = false;
      }
      break;
    }
    case pkFloat: {
      try {
        Extended number = TextToNumber(value, decimalSeparator);
        if (std::fabs(number) < kDoubleOverflowThreshold)
          *static_cast<double*>(entry.Ptr) = static_cast<double>(number);
      } catch (const EConvertError&) {
        // A malformed number leaves the variable as it was.
      }
      break;
    }
    case pkString: *static_cast<std::string*>(entry.Ptr) = value; break;
    default: break;
  }
}

}  // namespace

TParamRec MakeParamRec(const std::string& name, void* variable, uint8_t kind) {
  return TParamRec{name, variable, kind};
}

TSettingsParser::TSettingsParser(SettingHandler handler) : handler_(std::move(handler)) {}

bool TSettingsParser::Feed(const char* data, size_t size) {
  if (ended_) return false;
  size_t i = 0;
  while (i < size) {
    if (atLineStart_ && data[i] == kEndOfData) {
      ended_ = true;
      return false;
    }
    atLineStart_ = false;
    if (dropping_) {
      const void* lineEnd = std::memchr(data + i, '\n', size - i);
      if (lineEnd == nullptr) return true;
      i = static_cast<size_t>(static_cast<const char*>(lineEnd) - data);
    } else {
      // The line text up to the next byte that needs a decision is taken in one piece.
      size_t plain = i;
      while (plain < size && !NeedsDecision(data[plain])) ++plain;
      line_.append(data + i, plain - i);
      i = plain;
      if (i == size) return true;
    }
    const char c = data[i++];
    if (c == '\n') {
      EndLine();
    } else if (c == '#' || c == kEndOfData) {
      dropping_ = true;
    }
    // A CR either belongs to a CR LF line end or is dropped; neither is line text.
  }
  return true;
}

void TSettingsParser::Finish() {
  if (!ended_ && !atLineStart_) EndLine();
  ended_ = true;
}

void TSettingsParser::EndLine() {
  std::string key, value;
  size_t end = line_.size();
  while (end > 0 && IsBlank(line_[end - 1])) --end;
  const size_t equals = line_.find('=');
  if (equals != std::string::npos) {
    size_t keyBegin = 0;
    while (keyBegin < equals && IsBlank(line_[keyBegin])) ++keyBegin;
    size_t keyEnd = equals;
    while (keyEnd > keyBegin && IsBlank(line_[keyEnd - 1])) --keyEnd;
    size_t valueBegin = equals + 1;
    while (valueBegin < end && IsBlank(line_[valueBegin])) ++valueBegin;
    key = line_.substr(keyBegin, keyEnd - keyBegin);
    value = line_.substr(valueBegin, end - valueBegin);
  }
  // The next line starts before the handler runs: it may throw, and the line must not
  // be handed over twice.
  line_.clear();
  atLineStart_ = true;
  dropping_ = false;
  // A line without "=" or with an empty key is no setting.
  if (!key.empty()) handler_(key, value);
}

void ReadSettingsFile(const std::string& fileName, const SettingHandler& handler) {
  TReadOnlyFile file(fileName);
  TSettingsParser parser(handler);
  char buffer[4096];
  for (;;) {
    const size_t got = file.Read(buffer, sizeof buffer);
    if (got == 0) {
      parser.Finish();
      break;
    }
    if (!parser.Feed(buffer, got)) break;
  }
  file.Close();
}

std::string SettingsFileNameFor(const std::string& modulePath) {
  const size_t dot = modulePath.find_last_of(".\\:");
  if (dot != std::string::npos && modulePath[dot] == '.') return modulePath.substr(0, dot) + ".ini";
  return modulePath + ".ini";
}

std::string SettingsFileName() { return SettingsFileNameFor(ModuleFileName()); }

void ReadModuleSettings(const SettingHandler& handler) { ReadSettingsFile(SettingsFileName(), handler); }

void BindSettings(const TParamRec* table, size_t count, char decimalSeparator, const std::string& key,
                  const std::string& value) {
  for (size_t i = 0; i < count; ++i) {
    if (SameTextIgnoreCase(table[i].Name, key)) BindValue(table[i], decimalSeparator, value);
  }
}

void LoadParams(const TParamRec* table, size_t count, char decimalSeparator) {
  ReadModuleSettings([table, count, decimalSeparator](const std::string& key, const std::string& value) {
    BindSettings(table, count, decimalSeparator, key, value);
  });
}
