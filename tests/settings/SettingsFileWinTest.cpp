// The settings file against the real Windows file system: sharing, codes of failure,
// and the executable's own path.
#include "settings/SettingsFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "SettingsTestSupport.h"
#include "base/Errors.h"
#include "settings/Settings.h"

namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h) : h_(h) {}
  ~ScopedHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

HANDLE Open(const std::string& name, DWORD access, DWORD share) {
  return CreateFileA(name.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

unsigned long ErrorCodeOfReading(const std::string& fileName) {
  try {
    ReadPairs(fileName);
  } catch (const EInOutError& e) {
    return e.ErrorCode;
  }
  return 0;
}

TEST(ReadSettingsFileWin, FailuresCarryTheSystemCode) {
  TempFolder folder;
  EXPECT_EQ(ErrorCodeOfReading(folder.PathOf("absent.ini")), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorCodeOfReading(folder.PathOf("none\\absent.ini")), static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(ErrorCodeOfReading(folder.PathOf("")), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
}

// A program writing the file keeps the reader out, whether or not it shares writing.
TEST(ReadSettingsFileWin, FileOpenForWritingIsRefused) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "Margin=9\n");
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    ScopedHandle writer(Open(file, GENERIC_WRITE, share));
    ASSERT_TRUE(writer.Valid());
    EXPECT_EQ(ErrorCodeOfReading(file), static_cast<unsigned long>(ERROR_SHARING_VIOLATION)) << "share " << share;
  }
}

TEST(ReadSettingsFileWin, OtherReadersAreWelcome) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "Margin=9\n");
  ScopedHandle reader(Open(file, GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(reader.Valid());
  EXPECT_EQ(ReadPairs(file), (Pairs{{"Margin", "9"}}));
}

// While the reader has the file, nobody may start writing it; afterwards the file is free,
// also when the handler failed.
TEST(ReadSettingsFileWin, WritersWaitUntilTheFileIsClosed) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "A=1\nB=2\n");
  DWORD errorOfWriter = 0;
  auto handler = [&](const std::string& key, const std::string&) {
    ScopedHandle writer(Open(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
    errorOfWriter = writer.Valid() ? 0 : GetLastError();
    if (key == "B") throw std::logic_error("stop");
  };
  EXPECT_THROW(ReadSettingsFile(file, handler), std::logic_error);
  EXPECT_EQ(errorOfWriter, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  ScopedHandle exclusive(Open(file, GENERIC_READ | GENERIC_WRITE, 0));
  EXPECT_TRUE(exclusive.Valid());
}

TEST(LoadSettingsWin, LockedFileOrDirectoryGivesDefaults) {
  TempFolder folder;
  const std::string file = folder.Write("s.ini", "Margin=9\nFontSize=12\n");
  FakeFontHost fonts;
  LoadSettingsFrom(file, fonts);
  ASSERT_EQ(Margin, 9);
  {
    ScopedHandle writer(Open(file, GENERIC_WRITE, FILE_SHARE_READ));
    ASSERT_TRUE(writer.Valid());
    LoadSettingsFrom(file, fonts);
  }
  EXPECT_EQ(Margin, 5);
  EXPECT_EQ(FontSize, 8);
  EXPECT_EQ(fonts.Last.Height, -11);

  LoadSettingsFrom(file, fonts);
  ASSERT_EQ(Margin, 9);
  LoadSettingsFrom(folder.PathOf(""), fonts);
  EXPECT_EQ(Margin, 5);
  EXPECT_EQ(FontSize, 8);
}

TEST(SettingsFileNameWin, IsTheModuleFileNameWithIni) {
  char module[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
  std::string expected = module;
  ASSERT_EQ(expected.substr(expected.size() - 4), ".exe");
  expected.replace(expected.size() - 4, 4, ".ini");
  EXPECT_EQ(SettingsFileName(), expected);
}

}  // namespace
