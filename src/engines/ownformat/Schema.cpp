#include "engines/ownformat/Schema.h"

#include <ctime>
#include <string>

#include "engines/common/EngineError.h"
#include "engines/common/Files.h"
#include "engines/common/Location.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Passwords.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {
namespace {

// `fold` holds the case-folded name under which names compare; `version` counts the changes of
// the item's own record, so that a destroy can tell that someone changed the item meanwhile.
// AUTOINCREMENT keeps an id from ever naming a second item. items_by_parent covers every column
// the walk reads, so listing a project's children never leaves the index.
constexpr const char* kSchema = R"sql(
CREATE TABLE users (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  fold TEXT NOT NULL UNIQUE,
  password_hash TEXT NOT NULL,
  can_destroy INTEGER NOT NULL
);
CREATE TABLE items (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  is_project INTEGER NOT NULL,
  deleted INTEGER NOT NULL DEFAULT 0,
  version INTEGER NOT NULL DEFAULT 1,
  size INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX items_by_parent ON items (parent, fold, id, name, is_project, deleted, version, size);
CREATE UNIQUE INDEX items_live_names ON items (parent, fold) WHERE deleted = 0;
CREATE TABLE contents (
  item INTEGER PRIMARY KEY,
  data BLOB NOT NULL
);
)sql";

// The time (local wall-clock seconds since 1970) and the user of each deleted item's delete.
constexpr const char* kDeletions = R"sql(
CREATE TABLE deletions (
  item INTEGER PRIMARY KEY,
  time INTEGER NOT NULL,
  user TEXT NOT NULL
);
)sql";

}  // namespace

void ConfigureConnection(sqlite::Connection& connection, std::chrono::milliseconds busyTimeout) {
  connection.SetBusyTimeout(busyTimeout);
  // The walk visits the children of every project, which lie scattered over the file: a page
  // cache of up to 64 MiB keeps a large database in memory after the first pass.
  connection.Execute(
      "PRAGMA synchronous = FULL; PRAGMA secure_delete = ON; PRAGMA cache_size = -65536;");
}

std::int64_t CheckSchema(sqlite::Connection& connection, const std::filesystem::path& dataFile) {
  sqlite::Statement applicationId(connection, "PRAGMA application_id");
  applicationId.Step();
  if (applicationId.Int(0) != kApplicationId) {
    throw EngineError(ErrorCode::kNotADatabase, "'" + dataFile.string() +
                                                    "' is a SQLite file of another program, "
                                                    "not a source-control database");
  }
  sqlite::Statement userVersion(connection, "PRAGMA user_version");
  userVersion.Step();
  const std::int64_t version = userVersion.Int(0);
  if (version < kFirstSchemaVersion || version > kSchemaVersion) {
    throw EngineError(ErrorCode::kUnsupportedVersion,
                      "The data file '" + dataFile.string() + "' has format version " +
                          std::to_string(version) + "; this program reads version " +
                          std::to_string(kSchemaVersion));
  }
  return version;
}

std::int64_t WallClockNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) {
    return now;
  }
  return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

void UpgradeSchema(sqlite::Connection& connection) {
  connection.Execute(kDeletions);
  connection.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
}

void CreateDatabase(const std::filesystem::path& folder) {
  std::error_code error;
  const bool madeFolder = std::filesystem::create_directories(folder, error);
  if (error) {
    throw EngineError(ErrorCode::kStorageFailure,
                      "Cannot create the folder '" + folder.string() + "': " + error.message());
  }
  const std::filesystem::path ini = folder / kIniName;
  const std::filesystem::path dataFile = folder / kDataFileName;
  const auto present = [&](const std::filesystem::path& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
  };
  if (present(ini) || present(dataFile)) {
    throw EngineError(ErrorCode::kAlreadyExists,
                      "The folder '" + folder.string() + "' already holds a database");
  }
  const std::filesystem::path journal = dataFile.string() + "-journal";
  if (present(journal)) {
    // SQLite would write the new database's journal through whatever is there.
    throw EngineError(ErrorCode::kAlreadyExists, "'" + journal.string() +
                                                     "' is in the way of a new database; it was "
                                                     "left alone. Remove it and try again");
  }
  const mode_t mode = NewFileMode(folder);
  CreateEmptyFile(dataFile, mode);
  try {
    WithStorageErrors(dataFile, [&] {
      sqlite::Connection connection(dataFile, sqlite::Connection::Mode::ReadWrite);
      ConfigureConnection(connection, std::chrono::milliseconds(5000));
      // These two must precede the first table.
      connection.Execute("PRAGMA auto_vacuum = INCREMENTAL; PRAGMA journal_mode = DELETE;");
      sqlite::Transaction transaction(connection, sqlite::Transaction::Kind::Immediate);
      connection.Execute(kSchema);
      connection.Execute(kDeletions);
      connection.Execute("PRAGMA application_id = " + std::to_string(kApplicationId) +
                         "; PRAGMA user_version = " + std::to_string(kSchemaVersion));
      sqlite::Statement root(connection,
                             "INSERT INTO items (id, parent, name, fold, is_project) "
                             "VALUES (?1, NULL, ?2, ?2, 1)");
      root.Bind(1, kRootId).Bind(2, kRootName).Run();
      sqlite::Statement admin(connection,
                              "INSERT INTO users (name, fold, password_hash, can_destroy) "
                              "VALUES ('Admin', ?1, ?2, 1)");
      admin.Bind(1, FoldName("Admin")).Bind(2, HashPassword("")).Run();
      transaction.Commit();
    });
    // The ini comes last: until it exists, the folder is not taken for a database.
    WriteFileAtomically(ini, NewIniText(), mode);
  } catch (...) {
    // A half-made database would make the next create say the folder holds one, and an open
    // say it holds none: what this call made goes, so that a retry starts afresh.
    std::filesystem::remove(journal, error);
    std::filesystem::remove(dataFile, error);
    if (madeFolder) {
      std::filesystem::remove(folder, error);  // only when nothing else is in it
    }
    throw;
  }
}

}  // namespace sourcesafe
