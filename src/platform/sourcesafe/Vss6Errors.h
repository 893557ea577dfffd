#pragma once

#include <utility>

#include "platform/sourcesafe/EngineError.h"
#include "platform/vss6/Records.h"
#include "platform/vss6/Users.h"

namespace sourcesafe {

// Runs a call of the SourceSafe 6 reader, turning what it throws into the engine's errors, so
// that a real database fails with the numbers our own databases give: another format version,
// damage, an unknown user, a wrong password, or a password that cannot be checked yet.
template <class Call>
auto WithVss6Errors(Call&& call) {
  try {
    return std::forward<Call>(call)();
  } catch (const vss6::VersionError& error) {
    throw EngineError(ErrorCode::kUnsupportedVersion, error.what());
  } catch (const vss6::FormatError& error) {
    throw EngineError(ErrorCode::kDamaged, error.what());
  } catch (const vss6::LoginError& error) {
    switch (error.GetKind()) {
      case vss6::LoginError::Kind::kUnknownUser:
        throw EngineError(ErrorCode::kUnknownUser, error.what());
      case vss6::LoginError::Kind::kInvalidPassword:
        throw EngineError(ErrorCode::kInvalidPassword, error.what());
      case vss6::LoginError::Kind::kCannotCheck:
        break;
    }
    throw EngineError(ErrorCode::kPasswordNotCheckable, error.what());
  }
}

}  // namespace sourcesafe
