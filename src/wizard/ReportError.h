#pragma once

#include <cstdint>
#include <string>

#include "errors/Reporter.h"

namespace wizard {

// The caption of every box the program shows.
inline constexpr const char* kAppTitle = "Pellbrook Scourwell";

// Shows the error report in a modal critical box with one OK button and returns when the user
// has closed it. Never raises: a report that cannot be shown is dropped.
void ReportError(const std::string& message, const std::string& source, std::int32_t line) noexcept;

// Reports each failing statement in the error report box.
class BoxReporter final : public errors::Reporter {
 public:
  void StatementFailed(const std::string& source, std::int32_t line,
                       const errors::CapturedError& error) noexcept override;
};

}  // namespace wizard
