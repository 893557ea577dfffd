#include "errors/Procedure.h"

#include <exception>
#include <new>

#include "errors/ErrorMessage.h"
#include "errors/ErrorRecord.h"
#include "errors/ReportError.h"

namespace errors {

CapturedError CurrentError() noexcept {
  try {
    try {
      throw;
    } catch (const ErrorRecord& error) {
      // A record raised with number 0 would read as success; keep the failure visible.
      return {error.Number() != 0 ? error.Number() : kUnspecifiedError, error.Description()};
    } catch (const std::bad_alloc&) {
      return {kOutOfMemory, "Out of memory"};
    } catch (const std::exception& error) {
      return {kUnspecifiedError, error.what()};
    } catch (...) {
      return {kUnspecifiedError, "Unspecified error"};
    }
  } catch (...) {
    // Copying the description itself failed.
    return {kOutOfMemory, {}};
  }
}

void Procedure::Report(std::int32_t line, const CapturedError& error) const noexcept {
  try {
    ReportError(ComposeErrorMessage(error.number, error.description), source_, line);
  } catch (...) {
    // Composing the message failed (out of memory); ReportError itself never raises.
  }
}

}  // namespace errors
