#include "platform/sourcesafe/Integrity.h"

#include "platform/sourcesafe/Names.h"
#include "platform/sourcesafe/Schema.h"
#include "platform/sourcesafe/Session.h"
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

}  // namespace

std::vector<std::string> CheckIntegrity(Session& session) {
  sqlite::Connection& connection = session.Connection();
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
    sqlite::Statement names(connection, "SELECT id, name, fold FROM items WHERE id <> ?1");
    names.Bind(1, kRootId);
    while (names.Step()) {
      if (FoldName(names.Text(1)) != names.Text(2)) {
        faults.push_back("names: item " + std::to_string(names.Int(0)) + " (" + names.Text(1) +
                         ") is filed under the wrong case-folded name");
      }
    }
  } catch (const sqlite::SqliteError& error) {
    faults.push_back(std::string("storage: ") + error.what());
  }
  return faults;
}

}  // namespace sourcesafe
