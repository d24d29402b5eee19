// The two failure kinds of the program: a number text that does not convert, and a
// file that cannot be opened, read or closed. Callers catch them narrowly.
#ifndef KWIX_BASE_ERRORS_H
#define KWIX_BASE_ERRORS_H

#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

class EInOutError : public std::runtime_error {
 public:
  EInOutError(const std::string& message, unsigned long errorCode)
      : std::runtime_error(message), ErrorCode(errorCode) {}
  // The system's error code (2 when the file does not exist).
  unsigned long ErrorCode;
};

#endif
