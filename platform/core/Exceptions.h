// Exception classes shared by every layer. The application's error box shows Message();
// EAbort is the silent abort that ends an operation without a word.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
  std::string Message() const { return what(); }
};

class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
