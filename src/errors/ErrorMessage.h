#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace errors {

// "(" + number in decimal + ") '" + description + "'": the message every numbered procedure of
// the window hands to ReportError.
std::string ComposeErrorMessage(std::int32_t number, std::string_view description);

// Marks a text for translation where Qt is not at hand, as QT_TRANSLATE_NOOP does: lupdate knows
// it by this name, and it is the text itself.
#define SCOURWELL_TR_NOOP(context, text) text

// The error report's fixed text: %1 the message, %2 the component, %3 the line. The sentence
// about 'Log.txt' is part of it: nothing is written to any file.
inline constexpr const char* kReportForm = SCOURWELL_TR_NOOP(
    "ReportError",
    "Error: %1\r\n\r\nThe error happened in component '%2' at line %3 and was logged (if "
    "configured so) to the 'Log.txt' file.");

// The text of the error report for a failure at `line` of the procedure named by `source`, in
// `form` (kReportForm or its translation). The values are filled in one pass, so a "%2" in the
// message stays as it is.
std::string ComposeReport(const std::string& message, const std::string& source, std::int32_t line,
                          std::string_view form = kReportForm);

}  // namespace errors
