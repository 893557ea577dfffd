#include "engines/ownformat/StorageErrors.h"

#include <sqlite3.h>

#include "engines/common/EngineError.h"

namespace sourcesafe {

void ThrowStorageError(const sqlite::SqliteError& error, const std::filesystem::path& dataFile) {
  const std::string file = "'" + dataFile.string() + "'";
  switch (error.Code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      throw EngineError(ErrorCode::kLockTimeout,
                        "The database " + file +
                            " is locked by another user; try again when the other user is done");
    case SQLITE_CORRUPT:
      throw EngineError(ErrorCode::kDamaged, "The database file " + file + " is damaged (" +
                                                 error.what() + "); run 'vssdb check'");
    case SQLITE_NOTADB:
      throw EngineError(ErrorCode::kNotADatabase,
                        file + " is not the data file of a source-control database");
    case SQLITE_FULL:
      throw EngineError(ErrorCode::kStorageFailure,
                        "The disk holding " + file + " is full; nothing was changed");
    case SQLITE_IOERR:
      throw EngineError(ErrorCode::kStorageFailure,
                        "Cannot read or write " + file + " (" + error.what() +
                            ": the disk may be full or failing); nothing was changed");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      throw EngineError(ErrorCode::kStorageFailure,
                        "Cannot write " + file + " (" + error.what() + "); nothing was changed");
    default:
      throw EngineError(ErrorCode::kStorageFailure,
                        "The database file " + file + " could not be used: " + error.what());
  }
}

}  // namespace sourcesafe
