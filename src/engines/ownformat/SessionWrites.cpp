// The writes of a session: projects and files added, deleted and recovered, each change counted
// on the item and every project above it.
#include <utility>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {

ItemRecord Session::Insert(const ItemRecord& parent, std::string_view name, bool isProject,
                           std::int64_t size) {
  ValidateItemName(name);
  const std::string spec = ChildSpec(parent.spec, name);
  if (!IsWithinSpecLimits(spec)) {
    throw EngineError(ErrorCode::kInvalidName,
                      Quoted(spec) + " is too deep or too long: paths may have at most " +
                          std::to_string(kMaxSpecDepth) + " names below $/ and " +
                          std::to_string(kMaxSpecBytes) + " bytes");
  }
  for (const ItemRecord& sibling : ChildrenNamed(parent, name)) {
    if (!sibling.deleted) {
      throw EngineError(ErrorCode::kAlreadyExists, Quoted(sibling.spec) + " already exists");
    }
  }
  sqlite::Statement insert(*connection_,
                           "INSERT INTO items (parent, name, fold, is_project, size)"
                           " VALUES (?1, ?2, ?3, ?4, ?5)");
  insert.Bind(1, parent.id)
      .Bind(2, name)
      .Bind(3, FoldName(name))
      .Bind(4, std::int64_t{isProject ? 1 : 0})
      .Bind(5, size)
      .Run();
  const std::int64_t id = connection_->LastInsertRowId();
  MarkChanged(parent.id);
  ItemRecord item;
  item.id = id;
  item.parent = parent.id;
  item.name = std::string(name);
  item.spec = spec;
  item.isProject = isProject;
  item.version = 1;
  item.size = size;
  return item;
}

ItemRecord Session::MakeProject(std::string_view spec) {
  prefetched_.clear();  // what this change touches may be among it
  const std::vector<std::string> names = SplitSpec(spec);
  if (names.empty()) {
    throw EngineError(ErrorCode::kAlreadyExists, "The root project $/ always exists");
  }
  return WithStorageErrors(location_.dataFile, [&] {
    sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
    ItemRecord current = Root();
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::vector<ItemRecord> matches = ChildrenNamed(current, names[i]);
      std::erase_if(matches, [](const ItemRecord& item) { return item.deleted; });
      if (matches.empty()) {
        current = Insert(current, names[i], true, 0);
      } else if (!matches.front().isProject) {
        throw EngineError(ErrorCode::kNotAProject,
                          Quoted(matches.front().spec) + " is a file, not a project");
      } else if (i + 1 == names.size()) {
        throw EngineError(ErrorCode::kAlreadyExists,
                          Quoted(matches.front().spec) + " already exists");
      } else {
        current = std::move(matches.front());
      }
    }
    transaction.Commit();
    return current;
  });
}

ItemRecord Session::AddFile(std::string_view spec, std::span<const unsigned char> content) {
  prefetched_.clear();  // what this change touches may be among it
  const std::pair<std::string, std::string> parts = SplitParent(spec);
  const std::string& parentSpec = parts.first;
  const std::string& name = parts.second;
  return WithStorageErrors(location_.dataFile, [&] {
    sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
    const ItemRecord parent = Find(parentSpec, false);
    if (!parent.isProject) {
      throw EngineError(ErrorCode::kNotAProject, Quoted(parent.spec) + " is a file, not a project");
    }
    const ItemRecord file = Insert(parent, name, false, static_cast<std::int64_t>(content.size()));
    sqlite::Statement insert(*connection_, "INSERT INTO contents (item, data) VALUES (?1, ?2)");
    insert.Bind(1, file.id).BindBlob(2, content).Run();
    transaction.Commit();
    return file;
  });
}

void Session::ExpectUnchanged(const ItemRecord& item) {
  sqlite::Statement& query = Cached("SELECT version FROM items WHERE id = ?1");
  query.Bind(1, item.id);
  if (!query.Step()) {
    throw EngineError(ErrorCode::kItemChanged,
                      Quoted(item.spec) + " was destroyed by another user meanwhile");
  }
  const std::int64_t version = query.Int(0);
  query.Reset();
  if (version != item.version) {
    throw EngineError(ErrorCode::kItemChanged,
                      Quoted(item.spec) +
                          (item.isProject ? ", or an item below it," : std::string()) +
                          " was changed by another user meanwhile; nothing was done");
  }
}

void Session::MarkChanged(std::int64_t id) {
  // UNION, not UNION ALL: on a damaged database whose parents run in a cycle the query still
  // ends, having met every item of the cycle once.
  sqlite::Statement update(*connection_,
                           "WITH RECURSIVE up(id) AS (SELECT ?1 UNION SELECT items.parent FROM"
                           " items JOIN up ON items.id = up.id WHERE items.parent IS NOT NULL)"
                           " UPDATE items SET version = version + 1 WHERE id IN up");
  update.Bind(1, id).Run();
}

void Session::Delete(const ItemRecord& item) {
  if (item.id == kRootId) {
    throw EngineError(ErrorCode::kAccessDenied, "The root project $/ cannot be deleted");
  }
  SetDeletedMark(item, true);
}

void Session::Recover(const ItemRecord& item) { SetDeletedMark(item, false); }

void Session::SetDeletedMark(const ItemRecord& item, bool deleted) {
  prefetched_.clear();  // what this change touches may be among it
  WithStorageErrors(location_.dataFile, [&] {
    sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
    ExpectUnchanged(item);
    if (item.deleted == deleted) {
      throw deleted
          ? EngineError(ErrorCode::kItemNotFound, Quoted(item.spec) + " is deleted already")
          : EngineError(ErrorCode::kItemNotDeleted, Quoted(item.spec) + " is not deleted");
    }
    if (!deleted) {
      // An item below a deleted project would come back out of sight: the project first.
      sqlite::Statement above(
          *connection_,
          "WITH RECURSIVE up(id) AS (SELECT parent FROM items WHERE id = ?1 UNION SELECT"
          " items.parent FROM items JOIN up ON items.id = up.id WHERE items.parent IS NOT NULL)"
          " SELECT 1 FROM items WHERE id IN up AND deleted = 1 LIMIT 1");
      above.Bind(1, item.id);
      if (above.Step()) {
        throw EngineError(ErrorCode::kDestroyNotWritten,
                          Quoted(item.spec) +
                              " lies in a deleted project, where it would stay out of sight; "
                              "recover the project first");
      }
      sqlite::Statement live(
          *connection_,
          "SELECT 1 FROM items WHERE parent = ?1 AND fold IN (?2, ?3) AND deleted = 0");
      live.Bind(1, item.parent).Bind(2, FoldName(item.name)).Bind(3, LegacyFoldName(item.name));
      if (live.Step()) {
        throw EngineError(ErrorCode::kAlreadyExists,
                          "A live item " + Quoted(item.spec) + " exists; recovering would clash");
      }
    }
    sqlite::Statement update(*connection_, "UPDATE items SET deleted = ?2 WHERE id = ?1");
    update.Bind(1, item.id).Bind(2, std::int64_t{deleted ? 1 : 0}).Run();
    if (deleted && !RecordsDeletions()) {
      UpgradeSchema(*connection_);
    }
    if (deleted) {
      sqlite::Statement record(*connection_,
                               "INSERT OR REPLACE INTO deletions (item, time, user) "
                               "VALUES (?1, ?2, ?3)");
      record.Bind(1, item.id).Bind(2, WallClockNow()).Bind(3, userName_).Run();
    } else if (RecordsDeletions()) {
      sqlite::Statement forget(*connection_, "DELETE FROM deletions WHERE item = ?1");
      forget.Bind(1, item.id).Run();
    }
    MarkChanged(item.id);
    transaction.Commit();
  });
}

}  // namespace sourcesafe
