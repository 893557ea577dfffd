#pragma once

#include <string>
#include <vector>

namespace sourcesafe {

class Session;

// Every fault found in the database: SQLite's own integrity check, then the tree (one root,
// every item below a live or deleted project and reachable from the root), the case-folded
// names, the file contents and the users. Empty when the database is sound.
std::vector<std::string> CheckIntegrity(Session& session);

}  // namespace sourcesafe
