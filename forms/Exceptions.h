// The exception classes of the component layer. Everything the layer or the
// program raises derives from Exception; the loop shows those and drops EAbort.
#pragma once

#include <stdexcept>
#include <string>

namespace forms {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The silent abort: unwinds a handler without any message being shown.
class EAbort : public Exception {
 public:
  using Exception::Exception;
};

// A system resource (a timer, a window) could not be had.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace forms
