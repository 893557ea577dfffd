#pragma once

#include <cstdint>
#include <string>

namespace errors {

// The number and description of a failure; number 0 means nothing failed.
struct CapturedError {
  std::int32_t number = 0;
  std::string description;

  explicit operator bool() const noexcept { return number != 0; }
};

// Where a numbered procedure sends the failure of one of its statements. The window shows it in
// the error report box; a run without a window may count it or write it down instead.
class Reporter {
 public:
  virtual ~Reporter() = default;

  // Statement `line` of the procedure named `source` failed with `error`. Returns when the
  // failure has been dealt with (the box closed); never raises.
  virtual void StatementFailed(const std::string& source, std::int32_t line,
                               const CapturedError& error) noexcept = 0;
};

}  // namespace errors
