#pragma once

#include <utility>

#include "engines/common/EngineError.h"
#include "engines/vss6/DataFolder.h"
#include "engines/vss6/DestroyPlan.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Users.h"
#include "platform/files/SafeFiles.h"

namespace sourcesafe {

// Runs a call of the SourceSafe 6 reader, turning what it throws into the engine's errors, so
// that a real database fails with the numbers our own databases give: another format version,
// damage, an unknown user, a wrong password, or a password the code page cannot hold; and for a
// destroy, an item of a kind whose destroy is not written, one that changed since it was listed,
// a file another program has locked, one this user may not change so, or one that cannot be
// written.
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
  } catch (const vss6::DestroyRefused& error) {
    throw EngineError(error.GetKind() == vss6::DestroyRefused::Kind::kChanged
                          ? ErrorCode::kItemChanged
                          : ErrorCode::kDestroyNotWritten,
                      error.what());
  } catch (const vss6::LockedError& error) {
    throw EngineError(ErrorCode::kLockTimeout, error.what());
  } catch (const vss6::PermissionRefused& error) {
    throw EngineError(ErrorCode::kAccessDenied, error.what());
  } catch (const files::FileError& error) {
    throw EngineError(ErrorCode::kStorageFailure, error.what());
  }
}

}  // namespace sourcesafe
