#pragma once

#include <cstdint>
#include <utility>

#include "errors/ErrorRecord.h"

namespace errors {

// Runs one public operation of a class. The class's own errors (those with its source) go to the
// caller as they are; every other failure becomes the class's component-failure error, without
// the underlying number and text.
template <class Operation>
auto AsClassOperation(const char* source, std::int32_t componentFailure,
                      const char* componentFailureText, Operation&& operation) {
  try {
    return std::forward<Operation>(operation)();
  } catch (const ErrorRecord& error) {
    if (error.Source() == source) {
      throw;
    }
  } catch (...) {
  }
  throw ErrorRecord(componentFailure, source, componentFailureText);
}

}  // namespace errors
