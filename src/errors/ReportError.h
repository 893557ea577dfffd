#pragma once

#include <cstdint>
#include <string>

namespace errors {

// The caption of every box the program shows.
inline constexpr const char* kAppTitle = "Pellbrook Scourwell";

// The report text for a failure at `line` of the procedure named by `source`.
std::string ComposeReport(const std::string& message, const std::string& source, std::int32_t line);

// Shows the report in a modal critical box with one OK button and returns when the user has
// closed it. Never raises: a report that cannot be shown is dropped.
void ReportError(const std::string& message, const std::string& source, std::int32_t line) noexcept;

}  // namespace errors
