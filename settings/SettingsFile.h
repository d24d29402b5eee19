// The settings file beside the executable: where it lies, how its bytes become
// (key, value) pairs, and the binder that stores each value into the variable a table
// assigns to its key. Nothing here knows a particular setting.
#ifndef KWIX_SETTINGS_SETTINGSFILE_H
#define KWIX_SETTINGS_SETTINGSFILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Receives each pair as soon as its line has been read.
using SettingHandler = std::function<void(const std::string& key, const std::string& value)>;

// Kinds of TParamRec, and the type of the variable each one binds.
enum : uint8_t {
  pkInteger = 0,  // int32_t
  pkBoolean = 1,  // bool
  pkFloat = 2,    // double
  pkString = 3,   // std::string
};

// One setting name bound to one variable; any Kind other than the four above binds nothing.
struct TParamRec {
  std::string Name;
  void* Ptr;
  uint8_t Kind;
};

TParamRec MakeParamRec(const std::string& name, void* variable, uint8_t kind);

// Turns the bytes of a settings file, handed over in pieces of any size, into pairs:
// lines end at LF (a CR is never part of a line), "#" starts a comment, 0x1A ends a
// line's text and, as the first byte of a line, the data.
class TSettingsParser {
 public:
  explicit TSettingsParser(SettingHandler handler);
  // False once the end-of-data mark has been met: nothing after it is wanted.
  bool Feed(const char* data, size_t size);
  // Hands over the last line when the data ended without a line end.
  void Finish();

 private:
  void EndLine();

  SettingHandler handler_;
  std::string line_;
  bool atLineStart_ = true;
  bool dropping_ = false;  // after "#" or 0x1A: the rest of the line is not kept
  bool ended_ = false;
};

// Opens the file read-only (other readers allowed, writers refused), hands every pair to
// the handler in file order and closes it. Throws EInOutError with the system's error
// code when the file cannot be opened, read or closed; pairs read before a failure
// stay handed over, and a handler's exception passes through after the file is closed.
void ReadSettingsFile(const std::string& fileName, const SettingHandler& handler);

// The module path with its extension replaced by ".ini": the extension starts at the
// last "." that no "\" or ":" follows; a path without one gets ".ini" appended.
std::string SettingsFileNameFor(const std::string& modulePath);
// The settings file of the running executable.
std::string SettingsFileName();
void ReadModuleSettings(const SettingHandler& handler);

// Stores the value into every entry of the table whose Name matches the key, letters
// a..z taken as A..Z, a pkFloat value read with decimalSeparator; a value that does not
// convert leaves its variable unchanged.
void BindSettings(const TParamRec* table, size_t count, char decimalSeparator, const std::string& key,
                  const std::string& value);
// Reads the settings file of the executable, binding through the table. Reading
// failures (EInOutError) pass through.
void LoadParams(const TParamRec* table, size_t count, char decimalSeparator);

#endif
