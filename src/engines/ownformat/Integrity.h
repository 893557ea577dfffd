#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sqlite {
class Connection;
}

namespace sourcesafe {

class Session;

// Every fault found in the database: SQLite's own integrity check, then the tables and indexes,
// the tree (one root, every item below a live or deleted project and reachable from the root),
// each record as the engine would have written it (names it would accept, flags of 0 or 1,
// whole-number versions and sizes, no two live items of one name in a project), the file
// contents and the users. Empty when the database is sound.
std::vector<std::string> CheckIntegrity(Session& session);

// The same for the database at `path`, opened for reading alone and without logging in: the
// check changes nothing, so whoever may read the files may check them.
std::vector<std::string> CheckIntegrity(
    const std::string& path, const std::filesystem::path& mountinfo = "/proc/self/mountinfo");

}  // namespace sourcesafe
