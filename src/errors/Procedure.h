#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "errors/Reporter.h"

namespace errors {

// Foreign failures, that is C++ exceptions other than an ErrorRecord, take these numbers.
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kUnspecifiedError = static_cast<std::int32_t>(0x80004005u);

// The error of the exception being handled. Call only inside a catch block.
CapturedError CurrentError() noexcept;

// Runs `statement` with errors captured instead of reported.
template <class Statement>
CapturedError CaptureError(Statement&& statement) noexcept {
  try {
    std::forward<Statement>(statement)();
    return {};
  } catch (...) {
    return CurrentError();
  }
}

// The error handler of one numbered procedure. Each statement runs through Do (or, when it is the
// condition of a branch, through If) with its number; a failure goes to the reporter with the
// procedure's source and that number, and the procedure goes on with its next statement.
//
//   Procedure proc("Scourwell.FMain.SetControls", reporter);
//   proc.Do(100, [&] { frmHost(0)->hide(); });
//   if (proc.If(103, [&] { return WizardStep == 1; })) proc.Do(104, ...);
class Procedure {
 public:
  Procedure(std::string source, Reporter& reporter)
      : source_(std::move(source)), reporter_(reporter) {}

  const std::string& Source() const noexcept { return source_; }

  // Runs one statement; returns whether it succeeded.
  template <class Statement>
  bool Do(std::int32_t line, Statement&& statement) noexcept {
    const CapturedError error = CaptureError(std::forward<Statement>(statement));
    if (error) {
      Report(line, error);
    }
    return !error;
  }

  // Evaluates the condition of a branch. A failing condition is reported and then counts as
  // `onFailure`: true goes into the branch (the statement after a failing one is the branch's
  // first), false skips it where going in would be unsafe.
  template <class Condition>
  bool If(std::int32_t line, Condition&& condition, bool onFailure = true) noexcept {
    bool result = onFailure;
    Do(line, [&] { result = static_cast<bool>(std::forward<Condition>(condition)()); });
    return result;
  }

  // Reports an error captured earlier against `line`.
  void Report(std::int32_t line, const CapturedError& error) const noexcept {
    reporter_.StatementFailed(source_, line, error);
  }

 private:
  std::string source_;
  Reporter& reporter_;
};

}  // namespace errors
