// The two failure kinds of the program: a number text that does not convert, and a
// file that cannot be opened, read or closed. Callers catch them narrowly. They are the
// program's own types, not std::runtime_error's: that one keeps its text in a second
// string implementation, which would be most of a fifth of the program.
#ifndef KWIX_BASE_ERRORS_H
#define KWIX_BASE_ERRORS_H

#include <string>

class EKwixError {
 public:
  explicit EKwixError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept { return message_.c_str(); }

 private:
  std::string message_;
};

class EConvertError : public EKwixError {
 public:
  using EKwixError::EKwixError;
};

class EInOutError : public EKwixError {
 public:
  EInOutError(std::string message, unsigned long errorCode) : EKwixError(std::move(message)), ErrorCode(errorCode) {}
  // The system's error code (2 when the file does not exist).
  unsigned long ErrorCode;
};

#endif
