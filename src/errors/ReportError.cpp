#include "errors/ReportError.h"

#include "platform/forms/Forms.h"

namespace errors {

std::string ComposeReport(const std::string& message, const std::string& source,
                          std::int32_t line) {
  // The sentence about 'Log.txt' is part of the fixed text: nothing is written to any file.
  return "Error: " + message + "\r\n\r\nThe error happened in component '" + source + "' at line " +
         std::to_string(line) + " and was logged (if configured so) to the 'Log.txt' file.";
}

void ReportError(const std::string& message, const std::string& source,
                 std::int32_t line) noexcept {
  try {
    forms::Current().MsgBox(ComposeReport(message, source, line),
                            forms::vbOKOnly | forms::vbCritical, kAppTitle);
  } catch (...) {
    // The report is the last resort; there is nobody left to tell.
  }
}

}  // namespace errors
