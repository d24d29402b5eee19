// Native builds: POSIX calls. There is no share mode here, so a writer does not keep
// the reader out.
#include "settings/FileAccess.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include <vector>

#include "base/Errors.h"

TReadOnlyFile::TReadOnlyFile(const std::string& fileName) : fileName_(fileName), handle_(-1) {
  int fd;
  do {
    fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw EInOutError("Cannot open '" + fileName + "'", static_cast<unsigned long>(errno));
  handle_ = fd;
  open_ = true;
}

TReadOnlyFile::~TReadOnlyFile() {
  if (open_) ::close(static_cast<int>(handle_));
}

size_t TReadOnlyFile::Read(char* buffer, size_t size) {
  ssize_t n;
  do {
    n = ::read(static_cast<int>(handle_), buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw EInOutError("Cannot read '" + fileName_ + "'", static_cast<unsigned long>(errno));
  return static_cast<size_t>(n);
}

void TReadOnlyFile::Close() {
  open_ = false;
  if (::close(static_cast<int>(handle_)) != 0) {
    throw EInOutError("Cannot close '" + fileName_ + "'", static_cast<unsigned long>(errno));
  }
}

std::string ModuleFileName() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}
