#include "errors/Procedure.h"

#include <exception>
#include <new>

#include "errors/ErrorRecord.h"

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

}  // namespace errors
