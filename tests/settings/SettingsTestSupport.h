// Helpers shared by the settings tests: a private temporary folder per test, so the
// tests can run in parallel, and a stand-in for the platform's font calls.
#ifndef KWIX_TESTS_SETTINGS_SETTINGSTESTSUPPORT_H
#define KWIX_TESTS_SETTINGS_SETTINGSTESTSUPPORT_H

#include <string>
#include <utility>
#include <vector>

#include "settings/PadFontHost.h"

using Pairs = std::vector<std::pair<std::string, std::string>>;

// A new empty folder under the system's temporary folder, removed with its content.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string PathOf(const std::string& name) const;
  // Writes the bytes exactly as given and returns the file's full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// Records what LoadSettings asks of the platform.
class FakeFontHost : public PadFontHost {
 public:
  explicit FakeFontHost(int pixelsPerInchY = 96) : pixelsPerInchY_(pixelsPerInchY) {}
  int ScreenPixelsPerInchY() override { return pixelsPerInchY_; }
  void ReplacePadFont(const TLogFont& font) override {
    ++Replaced;
    Last = font;
  }

  int Replaced = 0;
  TLogFont Last;

 private:
  int pixelsPerInchY_;
};

// Every pair that ReadSettingsFile hands over for the file's bytes.
Pairs ReadPairs(const std::string& fileName);

#endif
