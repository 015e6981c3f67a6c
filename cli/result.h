// The one way the host's libraries say that something could not be done: a
// value, or the reason there is none (and, for a file, the error code). The
// libraries never print and never choose an exit status; only the commands
// turn a failed result into a message and a status.
#ifndef LUMAVEIL_CLI_RESULT_H
#define LUMAVEIL_CLI_RESULT_H

#include <optional>
#include <string>
#include <utility>

namespace lumaveil::cli {

template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a value converts to a success
  static Result failure(std::string reason, int error = 0) {
    Result r;
    r.reason_ = std::move(reason);
    r.error_ = error;
    return r;
  }

  bool ok() const { return value_.has_value(); }
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  // Why there is no value, in words; "" for a success.
  const std::string& reason() const { return reason_; }
  // An errno value (or kNotRegularFile) when a file was the cause; else 0.
  int error() const { return error_; }

 private:
  Result() = default;
  std::optional<T> value_;
  std::string reason_;
  int error_ = 0;
};

// The result of a step that gives nothing but may fail (a file written).
struct Done {};
using Status = Result<Done>;

}  // namespace lumaveil::cli

#endif
