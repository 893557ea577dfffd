#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "sourcecontrol/ErrorNumbers.h"

namespace sourcesafe {

using sourcecontrol::ErrorCode;

// A failure of the engine: its number and a description naming the path, user or spec.
class EngineError : public std::runtime_error {
 public:
  EngineError(ErrorCode code, const std::string& description)
      : std::runtime_error(description), code_(code) {}

  ErrorCode Code() const noexcept { return code_; }
  std::int32_t Number() const noexcept { return static_cast<std::int32_t>(code_); }

 private:
  ErrorCode code_;
};

}  // namespace sourcesafe
