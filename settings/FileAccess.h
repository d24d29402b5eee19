// The system's part in reading the settings file: a file opened for reading only, and
// the path of the running executable. Kept to these few calls so that everything the
// reader decides is tested without the platform.
#ifndef KWIX_SETTINGS_FILEACCESS_H
#define KWIX_SETTINGS_FILEACCESS_H

#include <cstddef>
#include <cstdint>
#include <string>

// An existing file opened for reading only. Other programs may read it meanwhile; where
// the system can refuse it (Windows), nobody may write it, and an open that meets a
// writer fails. Every failure throws EInOutError with the system's error code.
class TReadOnlyFile {
 public:
  explicit TReadOnlyFile(const std::string& fileName);
  // Closes a file still open, ignoring failure: only reached when something already failed.
  ~TReadOnlyFile();
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

  // Up to size bytes; 0 at the end of the file.
  size_t Read(char* buffer, size_t size);
  void Close();

 private:
  std::string fileName_;
  intptr_t handle_;
  bool open_ = false;
};

// The full path of the running executable.
std::string ModuleFileName();

#endif
