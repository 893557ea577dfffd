#include "wizard/ReportError.h"

#include "errors/ErrorMessage.h"
#include "platform/forms/Forms.h"
#include "platform/translation/Tr.h"

namespace wizard {

using translation::Tr;

void ReportError(const std::string& message, const std::string& source,
                 std::int32_t line) noexcept {
  try {
    forms::Current().MsgBox(
        errors::ComposeReport(message, source, line, Tr("ReportError", errors::kReportForm).Str()),
        forms::vbOKOnly | forms::vbCritical, kAppTitle);
  } catch (...) {
    // The report is the last resort; there is nobody left to tell.
  }
}

void BoxReporter::StatementFailed(const std::string& source, std::int32_t line,
                                  const errors::CapturedError& error) noexcept {
  try {
    ReportError(errors::ComposeErrorMessage(error.number, error.description), source, line);
  } catch (...) {
    // Composing the message failed (out of memory); ReportError itself never raises.
  }
}

}  // namespace wizard
