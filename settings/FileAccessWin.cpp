// Windows builds: kernel32 calls.
#include "settings/FileAccess.h"

#include <windows.h>

#include <vector>

#include "base/Errors.h"

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

TReadOnlyFile::TReadOnlyFile(const std::string& fileName) : fileName_(fileName), handle_(0) {
  // FILE_SHARE_READ only: an open that meets a writer fails with a sharing violation,
  // and nobody can start writing while the settings are read.
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EInOutError("Cannot open '" + fileName + "'", GetLastError());
  handle_ = reinterpret_cast<intptr_t>(h);
  open_ = true;
}

TReadOnlyFile::~TReadOnlyFile() {
  if (open_) CloseHandle(AsHandle(handle_));
}

size_t TReadOnlyFile::Read(char* buffer, size_t size) {
  DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), buffer, wanted, &got, nullptr)) {
    throw EInOutError("Cannot read '" + fileName_ + "'", GetLastError());
  }
  return got;
}

void TReadOnlyFile::Close() {
  open_ = false;
  if (!CloseHandle(AsHandle(handle_))) throw EInOutError("Cannot close '" + fileName_ + "'", GetLastError());
}

std::string ModuleFileName() {
  // A path longer than the buffer comes back cut short, filling it: try a larger one.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size() || buffer.size() >= 32768) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}
