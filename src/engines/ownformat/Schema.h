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
inline constexpr std::int64_t kSchemaVersion = 1;
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

// Throws kNotADatabase for a SQLite file of another program and kUnsupportedVersion for a
// data file of a later format.
void CheckSchema(sqlite::Connection& connection, const std::filesystem::path& dataFile);

}  // namespace sourcesafe
