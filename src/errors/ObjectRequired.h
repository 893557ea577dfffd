#pragma once

#include <memory>

#include "errors/ErrorRecord.h"

namespace errors {

inline constexpr std::int32_t kObjectNotSet = 91;

// The object behind `pointer`; raises error 91 when there is none, as a call on an object
// variable that was never set does.
template <class T>
T& Object(const std::shared_ptr<T>& pointer) {
  if (!pointer) {
    throw ErrorRecord(kObjectNotSet, "Scourwell", "Object variable or With block variable not set");
  }
  return *pointer;
}

}  // namespace errors
