#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// The errors of one class, which names its source (kSource, "Scourwell.CShell") and its
// component-failure number (kComponentFailure): Raise throws one of its own errors, and Guarded
// runs one of its public operations as AsClassOperation does, with "CShell component failure".
template <class Class>
struct ClassErrors {
  [[noreturn]] static void Raise(std::int32_t number, const char* description) {
    throw ErrorRecord(number, Class::kSource, description);
  }

  template <class Operation>
  static auto Guarded(Operation&& operation) {
    static const std::string text = [] {
      const std::string_view source = Class::kSource;
      return std::string(source.substr(source.rfind('.') + 1)) + " component failure";
    }();
    return AsClassOperation(Class::kSource, Class::kComponentFailure, text.c_str(),
                            std::forward<Operation>(operation));
  }
};

}  // namespace errors
