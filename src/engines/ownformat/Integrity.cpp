#include "engines/ownformat/Integrity.h"

#include <map>

#include "engines/common/EngineError.h"
#include "engines/common/Location.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Passwords.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/SqliteError.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {
namespace {

// Adds one line for each row of `sql`; the rows' first column describes the fault.
void Collect(sqlite::Connection& connection, const std::string& sql, const std::string& prefix,
             std::vector<std::string>& faults) {
  sqlite::Statement query(connection, sql);
  while (query.Step()) {
    faults.push_back(prefix + query.Text(0));
  }
}

// Each record as the engine writes it, and what it would refuse to write.
void CheckRecords(sqlite::Connection& connection, std::vector<std::string>& faults) {
  const auto describe = [](std::int64_t id, const std::string& name) {
    return "item " + std::to_string(id) + " (" + name + ")";
  };
  sqlite::Statement items(connection,
                          "SELECT id, parent, name, fold, is_project, deleted, typeof(version),"
                          " typeof(size), size FROM items ORDER BY id");
  std::map<std::pair<std::int64_t, std::string>, std::int64_t> liveNames;
  while (items.Step()) {
    const std::int64_t id = items.Int(0);
    const std::string name = items.Text(2);
    const std::string item = describe(id, name);
    if (id == kRootId) {
      if (name != kRootName) {
        faults.push_back("names: the root project is named '" + name + "', not '$'");
      }
    } else {
      try {
        ValidateItemName(name);
      } catch (const EngineError& error) {
        faults.push_back("names: " + item + " has a name the engine refuses: " + error.what());
      }
    }
    if (FoldName(name) != items.Text(3) && LegacyFoldName(name) != items.Text(3)) {
      faults.push_back("names: " + item + " is filed under the wrong case-folded name");
    }
    for (const auto& [column, value] :
         {std::pair{"is_project", items.Int(4)}, std::pair{"deleted", items.Int(5)}}) {
      if (value != 0 && value != 1) {
        faults.push_back("records: " + item + " has " + column + " = " + std::to_string(value) +
                         ", which is neither 0 nor 1");
      }
    }
    if (items.Text(6) != "integer") {
      faults.push_back("records: " + item + " has a version of type " + items.Text(6) +
                       ", not a whole number");
    }
    if (items.Text(7) != "integer" || items.Int(8) < 0) {
      faults.push_back("records: " + item + " has a size that is not a whole number of bytes");
    }
    if (items.Int(5) == 0 && !items.IsNull(1)) {
      const auto [other, added] = liveNames.emplace(std::pair{items.Int(1), FoldName(name)}, id);
      if (!added) {
        faults.push_back("names: items " + std::to_string(other->second) + " and " +
                         std::to_string(id) + " are live in one project under the name '" + name +
                         "'");
      }
    }
  }
  sqlite::Statement users(connection, "SELECT name, password_hash FROM users ORDER BY id");
  while (users.Step()) {
    try {
      ValidateUserName(users.Text(0));
    } catch (const EngineError& error) {
      faults.push_back("users: user '" + users.Text(0) +
                       "' has a name the engine refuses: " + error.what());
    }
    if (!IsOwnHashForm(users.Text(1))) {
      faults.push_back("users: the password of user '" + users.Text(0) +
                       "' is stored in a form this program does not make; it cannot log in");
    }
  }
}

void CheckIndexes(sqlite::Connection& connection, std::vector<std::string>& faults) {
  sqlite::Statement index(connection,
                          "SELECT 1 FROM sqlite_schema WHERE type = 'index' AND name = ?1");
  for (const char* name : kIndexes) {
    index.Reset();
    index.Bind(1, name);
    if (!index.Step()) {
      faults.push_back(std::string("tables: the index ") + name + " is missing");
    }
  }
  index.Reset();
}

std::vector<std::string> Check(sqlite::Connection& connection) {
  std::vector<std::string> faults;
  try {
    sqlite::Transaction snapshot(connection);  // one consistent view for every check
    {
      sqlite::Statement check(connection, "PRAGMA integrity_check");
      while (check.Step()) {
        if (check.Text(0) != "ok") {
          faults.push_back("storage: " + check.Text(0));
        }
      }
    }
    if (!faults.empty()) {
      return faults;  // the checks below would read a damaged file
    }
    Collect(connection,
            "SELECT 'the root project (id " + std::to_string(kRootId) +
                ") is missing or not a live project' WHERE NOT EXISTS (SELECT 1 FROM items"
                " WHERE id = " +
                std::to_string(kRootId) + " AND parent IS NULL AND is_project = 1 AND deleted = 0)",
            "tree: ", faults);
    Collect(connection,
            "SELECT 'the root project lies below item ' || parent || ', so the tree runs round a"
            " cycle' FROM items WHERE id = " +
                std::to_string(kRootId) + " AND parent IS NOT NULL",
            "tree: ", faults);
    Collect(connection,
            "SELECT 'item ' || id || ' (' || name || ') has no parent' FROM items"
            " WHERE parent IS NULL AND id <> " +
                std::to_string(kRootId),
            "tree: ", faults);
    Collect(connection,
            "SELECT 'item ' || c.id || ' (' || c.name || ') lies below ' ||"
            " CASE WHEN p.id IS NULL THEN 'a missing item' ELSE 'a file' END"
            " FROM items c LEFT JOIN items p ON p.id = c.parent"
            " WHERE c.parent IS NOT NULL AND (p.id IS NULL OR p.is_project = 0)",
            "tree: ", faults);
    Collect(connection,
            "WITH RECURSIVE reach(id) AS (SELECT " + std::to_string(kRootId) +
                " UNION SELECT items.id FROM items JOIN reach ON items.parent = reach.id)"
                " SELECT ((SELECT count(*) FROM items) - (SELECT count(*) FROM reach)) ||"
                " ' items cannot be reached from the root'"
                " WHERE (SELECT count(*) FROM items) <> (SELECT count(*) FROM reach)",
            "tree: ", faults);
    Collect(connection,
            "SELECT 'file ' || i.id || ' (' || i.name || ') ' || CASE WHEN c.item IS NULL"
            " THEN 'has no content' ELSE 'has ' || length(c.data) || ' bytes, not ' || i.size"
            " END FROM items i LEFT JOIN contents c ON c.item = i.id"
            " WHERE i.is_project = 0 AND (c.item IS NULL OR length(c.data) <> i.size)",
            "contents: ", faults);
    Collect(connection,
            "SELECT 'content ' || c.item || ' belongs to no file' FROM contents c"
            " LEFT JOIN items i ON i.id = c.item WHERE i.id IS NULL OR i.is_project = 1",
            "contents: ", faults);
    Collect(connection,
            "SELECT 'there is no user Admin' WHERE NOT EXISTS"
            " (SELECT 1 FROM users WHERE fold = '" +
                FoldName("Admin") + "')",
            "users: ", faults);
    sqlite::Statement deletions(
        connection, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'deletions'");
    if (deletions.Step()) {
      Collect(connection,
              "SELECT 'the delete recorded for ' || d.item || ' names ' || CASE WHEN i.id IS NULL"
              " THEN 'no item' ELSE 'a live item' END FROM deletions d"
              " LEFT JOIN items i ON i.id = d.item WHERE i.id IS NULL OR i.deleted = 0",
              "deletions: ", faults);
    }
    CheckIndexes(connection, faults);
    CheckRecords(connection, faults);
  } catch (const sqlite::SqliteError& error) {
    faults.push_back(std::string("storage: ") + error.what());
  }
  return faults;
}

}  // namespace

std::vector<std::string> CheckIntegrity(Session& session) { return Check(session.Connection()); }

std::vector<std::string> CheckIntegrity(const std::string& path,
                                        const std::filesystem::path& mountinfo) {
  const DatabaseLocation location = LocateDatabase(path, mountinfo);
  return WithStorageErrors(location.dataFile, [&] {
    sqlite::Connection connection(location.dataFile, sqlite::Connection::Mode::ReadOnly);
    ConfigureConnection(connection, std::chrono::milliseconds(5000));
    CheckSchema(connection, location.dataFile);
    return Check(connection);
  });
}

}  // namespace sourcesafe
