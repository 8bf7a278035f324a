// The one way an operation that can fail says why: a Result holds its value or one line of
// reason. Whoever receives a failure decides whether and where to show it; the core never
// prints.
#pragma once

#include <string>
#include <utility>
#include <variant>

#include "base/check.h"

namespace cw {

struct Failure {
  std::string why;
};
inline Failure failure(std::string why) {
  return Failure{std::move(why)};
}

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Failure f) : v_(std::move(f)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& {
    CW_CHECK(ok(), "value of a failed result");
    return std::get<0>(v_);
  }
  T&& value() && {
    CW_CHECK(ok(), "value of a failed result");
    return std::get<0>(std::move(v_));
  }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }
  const std::string& error() const {
    CW_CHECK(!ok(), "reason of a result that did not fail");
    return std::get<1>(v_).why;
  }

 private:
  std::variant<T, Failure> v_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure f) : why_(std::move(f.why)), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return why_; }

 private:
  std::string why_;
  bool failed_ = false;
};

// Success or the reason of a failure.
using Status = Result<void>;

}  // namespace cw
