#include "platform/registry/Hive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sqlite3.h>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/files/SafeFiles.h"
#include "platform/files/XdgFolders.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/SqliteError.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace registry {
namespace {

constexpr std::int64_t kApplicationId = 0x5343524B;  // "SCRK"
constexpr std::int64_t kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER,
  name TEXT NOT NULL,
  fold TEXT NOT NULL
);
CREATE UNIQUE INDEX keys_by_parent ON keys (parent, fold);
CREATE TABLE key_values (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL
);
CREATE UNIQUE INDEX values_by_key ON key_values (key, fold);
INSERT INTO keys (id, parent, name, fold) VALUES (1, NULL, '', '');
)sql";

// The Windows code for a failed SQLite call.
LONG CodeOf(const sqlite::SqliteError& error) {
  switch (error.Code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM:
      return ERROR_OUTOFMEMORY;
    default:
      return ERROR_BADDB;
  }
}

template <class Work>
LONG Guarded(Work&& work, std::string* problem = nullptr) {
  try {
    return work();
  } catch (const sqlite::SqliteError& error) {
    if (problem != nullptr) {
      *problem = error.what();
    }
    return CodeOf(error);
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

// What was last found wrong with any hive.
std::string& LatestProblem() {
  static std::string latest;
  return latest;
}

bool CanWrite(const std::filesystem::path& path) { return ::access(path.c_str(), W_OK) == 0; }

}  // namespace

std::filesystem::path HivePath(HKEY root) {
  const auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : std::string();
  };
  if (root == HKEY_CURRENT_USER) {
    return files::XdgFolder("XDG_CONFIG_HOME", ".config") / "Pellbrook" / "registry" / "user.hive";
  }
  std::string dirs = variable("XDG_CONFIG_DIRS");
  std::string first = dirs.substr(0, dirs.find(':'));
  if (first.empty()) {
    first = "/etc/xdg";
  }
  return std::filesystem::path(first) / "Pellbrook" / "registry" / "machine.hive";
}

Hive::Hive(std::filesystem::path file, bool userHive)
    : file_(std::move(file)), userHive_(userHive) {}

Hive::~Hive() = default;

LONG Hive::Open(bool create) {
  if (connection_) {
    return ERROR_SUCCESS;
  }
  struct stat status {};
  const bool exists = ::lstat(file_.c_str(), &status) == 0;
  if (!exists && errno != ENOENT) {
    NoteProblem("Cannot read '" + file_.string() + "': " + std::strerror(errno));
    return ERROR_ACCESS_DENIED;
  }
  if (!exists && !create) {
    return ERROR_FILE_NOT_FOUND;
  }
  try {
    // The hive's folders are checked each time, not only when made: a folder replaced by a
    // symbolic link would put the settings in someone else's hands.
    const files::FileDescriptor folder = OpenFolders(!exists);
    if (!exists) {
      MakeFile(folder);
    }
    // Never through a symbolic link, never waiting on a named pipe: a hive is a plain file.
    const files::FileDescriptor hive = files::OpenPlainFile(file_);
    if (userHive_ && ::fstat(hive.Get(), &status) == 0 && status.st_uid == ::geteuid() &&
        (status.st_mode & 077) != 0) {
      ::fchmod(hive.Get(), 0600);  // the user's settings are the user's alone
    }
  } catch (const files::FileError& error) {
    NoteProblem(error.what());
    return error.Errno() == 0 ? ERROR_BADDB : ERROR_ACCESS_DENIED;
  }
  const LONG result = Noted([&] {
    const bool writable = CanWrite(file_) && CanWrite(file_.parent_path());
    auto connection = std::make_unique<sqlite::Connection>(
        file_, writable ? sqlite::Connection::Mode::ReadWrite : sqlite::Connection::Mode::ReadOnly);
    connection->SetBusyTimeout(std::chrono::milliseconds(5000));
    connection->Execute("PRAGMA synchronous = FULL");
    {
      sqlite::Transaction transaction(*connection, writable ? sqlite::Transaction::Kind::Immediate
                                                            : sqlite::Transaction::Kind::Deferred);
      sqlite::Statement id(*connection, "PRAGMA application_id");
      id.Step();
      const std::int64_t applicationId = id.Int(0);
      id.Reset();
      sqlite::Statement tables(*connection, "SELECT count(*) FROM sqlite_schema");
      tables.Step();
      const bool empty = tables.Int(0) == 0;
      tables.Reset();
      if (empty && applicationId == 0 && writable) {
        // A hive made just now (or an empty file left by a crash before its first write).
        connection->Execute(kSchema);
        connection->Execute("PRAGMA application_id = " + std::to_string(kApplicationId) +
                            "; PRAGMA user_version = " + std::to_string(kSchemaVersion));
      } else if (applicationId != kApplicationId) {
        NoteProblem("'" + file_.string() +
                    "' is not a settings file of this program; it was left alone");
        return ERROR_BADDB;  // another program's file: never touched
      }
      transaction.Commit();
    }
    connection_ = std::move(connection);
    return ERROR_SUCCESS;
  });
  if (result == ERROR_SUCCESS) {
    if (LatestProblem() == problem_) {
      LatestProblem().clear();
    }
    problem_.clear();
  }
  return result;
}

files::FileDescriptor Hive::OpenFolders(bool make) {
  // The hive lives in two folders of its own below the configuration folder; those are made
  // here when missing, never followed when they are symbolic links, and must be the user's
  // where the hive is the user's.
  const std::filesystem::path folderPath = file_.parent_path();
  const std::filesystem::path base = folderPath.parent_path().parent_path();
  if (make) {
    std::error_code error;
    std::filesystem::create_directories(base, error);
  }
  const files::FileDescriptor baseFolder = files::OpenFolder(base);
  return files::OpenOrMakeFolders(
      baseFolder, base,
      {folderPath.parent_path().filename().string(), folderPath.filename().string()},
      userHive_ ? 0700 : 0755, userHive_);
}

void Hive::MakeFile(const files::FileDescriptor& folder) {
  const std::filesystem::path folderPath = file_.parent_path();
  if (userHive_) {
    ::fchmod(folder.Get(), 0700);
  }
  if (::faccessat(folder.Get(), ".", W_OK, AT_EACCESS) != 0) {
    throw files::FileError("Cannot write in '" + folderPath.string() + "'", EACCES);
  }
  try {
    files::CreateNewFile(folder, folderPath, file_.filename().string(), userHive_ ? 0600 : 0644);
  } catch (const files::FileError& failure) {
    if (failure.Errno() != EEXIST) {
      throw;  // made by another process meanwhile is as good as made here
    }
  }
}

void Hive::NoteProblem(std::string problem) {
  problem_ = std::move(problem);
  LatestProblem() = problem_;
}

LONG Hive::Noted(const std::function<LONG()>& work) {
  std::string failure;
  const LONG result = Guarded(work, &failure);
  if (!failure.empty()) {
    NoteProblem("The settings file '" + file_.string() + "' cannot be used (" + failure + ")");
  }
  return result;
}

std::string LastHiveProblem() { return LatestProblem(); }

LONG Hive::ForReading(sqlite::Connection** connection) {
  const LONG result = Open(false);
  if (result != ERROR_SUCCESS) {
    return ERROR_FILE_NOT_FOUND;  // a missing or damaged hive holds no keys
  }
  *connection = connection_.get();
  return ERROR_SUCCESS;
}

LONG Hive::ForWriting(sqlite::Connection** connection) {
  const LONG result = Open(true);
  if (result != ERROR_SUCCESS) {
    return result;
  }
  if (!CanWrite(file_)) {
    return ERROR_ACCESS_DENIED;
  }
  *connection = connection_.get();
  return ERROR_SUCCESS;
}

Hive* HiveOf(HKEY root) {
  if (root != HKEY_CURRENT_USER && root != HKEY_LOCAL_MACHINE) {
    return nullptr;
  }
  // One hive object for each file: the environment may point elsewhere later (tests do).
  static std::map<std::filesystem::path, std::unique_ptr<Hive>> hives;
  const std::filesystem::path file = HivePath(root);
  auto& hive = hives[file];
  if (!hive) {
    hive = std::make_unique<Hive>(file, root == HKEY_CURRENT_USER);
  }
  return hive.get();
}

}  // namespace registry
