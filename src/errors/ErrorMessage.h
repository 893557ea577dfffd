#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace errors {

// "(" + number in decimal + ") '" + description + "'": the message every numbered procedure of
// the window hands to ReportError.
std::string ComposeErrorMessage(std::int32_t number, std::string_view description);

// The text of the error report for a failure at `line` of the procedure named by `source`.
std::string ComposeReport(const std::string& message, const std::string& source, std::int32_t line);

}  // namespace errors
