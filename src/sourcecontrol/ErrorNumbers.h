#pragma once

#include <cstdint>

namespace sourcecontrol {

// Every error number of the engines and the core, in one place. Where the automation library the
// engines stand in for has a number for the same failure, it is used, so that scripts written
// for that library recognise ours; the others lie at the top of the same range (0x8004DFxx).
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
  // The core's: a checked project the purge kept because an entry below it is not checked.
  kKeptForUncheckedEntry = static_cast<std::int32_t>(0x8004DF0Bu),
  kPasswordNotCheckable = static_cast<std::int32_t>(0x8004DF0Cu),
  kDestroyNotWritten = static_cast<std::int32_t>(0x8004DF0Du),
  // The item was destroyed, but some of its files could not be removed.
  kDestroyedWithLeftovers = static_cast<std::int32_t>(0x8004DF0Eu),
  // A group of destroys could not be saved: none of them took place.
  kDestroysNotSaved = static_cast<std::int32_t>(0x8004DF0Fu),
  // The core's: a run's report could not be written; the copy kept before a purge could not be
  // (nothing was purged); a file that is not a copy kept before a purge.
  kReportNotWritten = static_cast<std::int32_t>(0x8004DF10u),
  kCopyNotKept = static_cast<std::int32_t>(0x8004DF11u),
  kNotAKeptCopy = static_cast<std::int32_t>(0x8004DF12u),
  // The content of an item could not be written where it can be viewed.
  kViewNotWritten = static_cast<std::int32_t>(0x8004DF13u),
};

// The number an error record carries for `code`.
constexpr std::int32_t Number(ErrorCode code) noexcept { return static_cast<std::int32_t>(code); }

}  // namespace sourcecontrol
