// Entries kept before a purge put back into the database, whole or not at all, their contents
// written a piece at a time.
#include <chrono>
#include <unordered_map>
#include <utility>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Session.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Blob.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {

void Session::Restore(const std::vector<sourcecontrol::RestoredItem>& items) {
  prefetched_.clear();  // what this change touches may be among it
  if (items.empty()) {
    return;
  }
  if (!group_.Grouping()) {
    WithStorageErrors(location_.dataFile, [&] {
      sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
      PutBack(items);
      transaction.Commit();
    });
    return;
  }
  WithStorageErrors(location_.dataFile, [&] { group_.OpenIfNeeded(*connection_); });
  try {
    // The entry goes whole or not at all; the group goes on either way.
    WithStorageErrors(location_.dataFile, [&] {
      sqlite::Savepoint entry(*connection_);
      group_.Restored().insert(PutBack(items));
      entry.Release();
    });
  } catch (const EngineError& error) {
    if (!connection_->InTransaction()) {
      // SQLite rolled the whole group back itself (a full disk): none of it took place.
      const int lost = group_.Lose();
      if (lost > 0) {
        throw EngineError(ErrorCode::kDestroysNotSaved,
                          std::to_string(lost) + " entries put back before " +
                              Quoted(items.front().spec) +
                              " could not be saved and are not back: " + error.what());
      }
    }
    throw;
  }
  group_.Counted(*connection_, location_.dataFile);
}

std::int64_t Session::PutBack(const std::vector<sourcecontrol::RestoredItem>& items) {
  const std::pair<std::string, std::string> parts = SplitParent(items.front().spec);
  std::vector<ItemRecord> parents;
  try {
    parents = Resolve(parts.first, false);
  } catch (const EngineError& error) {
    if (error.Code() != ErrorCode::kItemNotFound) {
      throw;
    }
  }
  if (parents.empty() || !parents.front().isProject) {
    throw EngineError(ErrorCode::kItemNotFound, "The project " + Quoted(parts.first) + " of " +
                                                    Quoted(items.front().spec) +
                                                    " is not there now");
  }
  const ItemRecord parent = parents.front();
  for (const ItemRecord& sibling : ChildrenNamed(parent, parts.second)) {
    // One put back in this group came from the same copy, which held two entries of the path.
    if (sibling.deleted && group_.Restored().count(sibling.id) == 0) {
      throw EngineError(ErrorCode::kAlreadyExists,
                        "A deleted item " + Quoted(sibling.spec) +
                            " is in the project now; putting the kept one back would make "
                            "two");
    }
  }
  // Each item below one put back before it; the entry keeps its deleted mark.
  // (The entry's project by the copy's spelling of it, which may differ in case from today's.)
  std::unordered_map<std::string, std::int64_t> made{{parts.first, parent.id}};
  sqlite::Statement& insert = Cached(
      "INSERT INTO items (parent, name, fold, is_project, deleted, size)"
      " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  sqlite::Statement& content =
      Cached("INSERT INTO contents (item, data) VALUES (?1, zeroblob(?2))");
  std::int64_t entry = 0;
  for (std::size_t index = 0; index < items.size(); ++index) {
    const sourcecontrol::RestoredItem& item = items[index];
    const std::pair<std::string, std::string> at = SplitParent(item.spec);
    const auto above = made.find(at.first);
    if (above == made.end() || (index > 0 && at.first == parts.first)) {
      throw EngineError(ErrorCode::kInvalidArgument,
                        Quoted(item.spec) + " does not lie below the entry kept");
    }
    ValidateItemName(at.second);
    if (!IsWithinSpecLimits(item.spec)) {
      throw EngineError(ErrorCode::kInvalidName, Quoted(item.spec) + " is too deep or too long");
    }
    const std::int64_t size = item.project ? 0 : item.content.Size();
    if (size < 0 || size > connection_->MaxLength()) {
      throw EngineError(ErrorCode::kInvalidArgument,
                        Quoted(item.spec) + " holds " + std::to_string(size) +
                            " bytes, more than a file of this database can hold");
    }
    insert.Bind(1, above->second)
        .Bind(2, at.second)
        .Bind(3, FoldName(at.second))
        .Bind(4, std::int64_t{item.project ? 1 : 0})
        .Bind(5, std::int64_t{index == 0 || item.deleted ? 1 : 0})
        .Bind(6, size)
        .Run();
    insert.Reset();
    const std::int64_t id = connection_->LastInsertRowId();
    entry = index == 0 ? id : entry;
    if (item.project) {
      made[item.spec] = id;
      continue;
    }
    content.Bind(1, id).Bind(2, size).Run();
    content.Reset();
    // The content goes in as it is read, a piece at a time, never whole in memory.
    sqlite::Blob blob(*connection_, "contents", "data", id);
    std::int64_t written = 0;
    item.content.Read([&](std::span<const unsigned char> piece) {
      if (static_cast<std::int64_t>(piece.size()) > size - written) {
        throw EngineError(ErrorCode::kInvalidArgument,
                          "The content of " + Quoted(item.spec) + " is longer than was kept");
      }
      blob.Write(piece, written);
      written += static_cast<std::int64_t>(piece.size());
      group_.Turn();
    });
    if (written != size) {
      throw EngineError(ErrorCode::kInvalidArgument,
                        "The content of " + Quoted(item.spec) + " is shorter than was kept");
    }
  }
  MarkChanged(parent.id);
  return entry;
}

}  // namespace sourcesafe
