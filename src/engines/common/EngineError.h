#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sourcesafe {

// Error numbers of the database engine. Where the automation library this engine stands in for
// has a number for the same failure, it is used, so that scripts written for that library
// recognise ours; the others lie at the top of the same range (0x8004DFxx).
enum class ErrorCode : std::int32_t {
  kFileNotFound = static_cast<std::int32_t>(0x8004D83Eu),
  kUnknownUser = static_cast<std::int32_t>(0x8004D6C2u),
  kUnsupportedVersion = static_cast<std::int32_t>(0x8004D6C8u),
  kInvalidPassword = static_cast<std::int32_t>(0x8004D6C9u),
  kAccessDenied = static_cast<std::int32_t>(0x8004D749u),
  kItemNotFound = static_cast<std::int32_t>(0x8004D68Fu),
  kItemChanged = static_cast<std::int32_t>(0x8004D695u),
  kLockTimeout = static_cast<std::int32_t>(0x8004D7E6u),
  kNotADatabase = static_cast<std::int32_t>(0x8004DF01u),
  kDamaged = static_cast<std::int32_t>(0x8004DF02u),
  kInvalidName = static_cast<std::int32_t>(0x8004DF03u),
  kAlreadyExists = static_cast<std::int32_t>(0x8004DF04u),
  kItemNotDeleted = static_cast<std::int32_t>(0x8004DF05u),
  kAmbiguousSpec = static_cast<std::int32_t>(0x8004DF06u),
  kStorageFailure = static_cast<std::int32_t>(0x8004DF07u),
  kNotAProject = static_cast<std::int32_t>(0x8004DF08u),
  kNotOpen = static_cast<std::int32_t>(0x8004DF09u),
  kInvalidArgument = static_cast<std::int32_t>(0x8004DF0Au),
  // 0x8004DF0B is the window's: a checked project kept by the purge.
  kPasswordNotCheckable = static_cast<std::int32_t>(0x8004DF0Cu),
  kDestroyNotWritten = static_cast<std::int32_t>(0x8004DF0Du),
  // The item was destroyed, but some of its files could not be removed.
  kDestroyedWithLeftovers = static_cast<std::int32_t>(0x8004DF0Eu),
  // A group of destroys could not be saved: none of them took place.
  kDestroysNotSaved = static_cast<std::int32_t>(0x8004DF0Fu),
};

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
