// The decimal character as the system reports it for the thread's locale.
#include <windows.h>

#include <gtest/gtest.h>

#include "numtext/NumText.h"

namespace {

class ThreadLocale {
 public:
  explicit ThreadLocale(LCID locale) : saved_(GetThreadLocale()) { SetThreadLocale(locale); }
  ~ThreadLocale() { SetThreadLocale(saved_); }

 private:
  LCID saved_;
};

TEST(LocaleSeparator, FollowsTheThreadLocale) {
  const struct {
    LANGID language;
    char separator;
  } cases[] = {
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), '.'},
      {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), ','},
      {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), ','},
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), '.'},
  };
  for (const auto& c : cases) {
    ThreadLocale locale(MAKELCID(c.language, SORT_DEFAULT));
    EXPECT_EQ(FetchLocaleDecimalSeparator(), c.separator) << "language " << std::hex << c.language;
  }
}

}  // namespace
