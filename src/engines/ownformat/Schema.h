#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace sqlite {
class Connection;
}

namespace sourcesafe {

// Marks the data file as ours ("SCWL"), so a SQLite file of another program is told apart.
inline constexpr std::int64_t kApplicationId = 0x5343574C;
// Version 2 adds the deletions table (when and by whom each deleted item was deleted). A
// version-1 file is read as it is and upgraded by the first delete made in it.
inline constexpr std::int64_t kSchemaVersion = 2;
inline constexpr std::int64_t kFirstSchemaVersion = 1;
inline constexpr std::int64_t kRootId = 1;
// The indexes a data file has: the walk's, the one that keeps live names unique in a project,
// and the one that keeps user names unique.
inline constexpr const char* kIndexes[] = {"items_by_parent", "items_live_names",
                                           "sqlite_autoindex_users_1"};

// Creates a new database in `folder` (made if missing) with the root project "$/" and the user
// "Admin" with an empty password and every right. Refuses a folder that holds a database.
void CreateDatabase(const std::filesystem::path& folder);

// Sets what every connection to a data file needs: the busy timeout, durable commits through
// the rollback journal, and destroyed contents overwritten on disk.
void ConfigureConnection(sqlite::Connection& connection, std::chrono::milliseconds busyTimeout);

// The data file's format version. Throws kNotADatabase for a SQLite file of another program and
// kUnsupportedVersion for a data file of a later format.
std::int64_t CheckSchema(sqlite::Connection& connection, const std::filesystem::path& dataFile);

// Now, as the deletions table keeps times: seconds since 1970 of the local wall-clock time.
std::int64_t WallClockNow();

// Makes a version-1 data file version 2 (adds the deletions table), in the caller's transaction.
void UpgradeSchema(sqlite::Connection& connection);

}  // namespace sourcesafe
