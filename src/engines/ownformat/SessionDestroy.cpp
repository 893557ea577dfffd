// The destroys of a session: one durable transaction each, or saved in groups, a large project a
// step at a time.
#include <chrono>
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

void Session::Destroy(const ItemRecord& item) {
  prefetched_.clear();  // what this change touches may be among it
  if (!group_.Grouping()) {
    WithStorageErrors(location_.dataFile, [&] {
      sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
      ExpectMayDestroy(item);
      Erase(Doomed(item));
      connection_->Execute("PRAGMA incremental_vacuum");
      transaction.Commit();
    });
    return;
  }
  WithStorageErrors(location_.dataFile, [&] {
    // The right and the root cannot change while the group holds the write lock: they are read
    // once for the whole group.
    group_.OpenIfNeeded(*connection_, [&] { ExpectMayDestroy(item); });
  });
  bool writing = false;  // past the checks: the destroy has begun to change the database
  try {
    WithStorageErrors(location_.dataFile, [&] {
      if (item.id == kRootId) {
        throw EngineError(ErrorCode::kAccessDenied, "The root project $/ cannot be destroyed");
      }
      std::vector<std::int64_t> doomed = Doomed(item);
      writing = true;
      if (doomed.size() > kRowsInOneStep) {
        DestroyInSteps(item, std::move(doomed));
      } else {
        Erase(doomed);
      }
    });
  } catch (const EngineError& error) {
    if (writing || !connection_->InTransaction()) {
      // A destroy that failed halfway (a full disk, an I/O error) takes the group with it, so
      // that nothing torn is ever saved; SQLite may have rolled it back already.
      const int lost = group_.Lose();
      if (lost > 0) {
        throw EngineError(ErrorCode::kDestroysNotSaved,
                          std::to_string(lost) + " destroys before " + Quoted(item.spec) +
                              " could not be saved and did not take place: " + error.what());
      }
    }
    throw;
  }
  group_.Counted(*connection_, location_.dataFile);
}

void Session::BeginDestroyGroup(std::function<void()> between) { group_.Begin(std::move(between)); }

void Session::EndDestroyGroup() { group_.End(*connection_, location_.dataFile); }

void Session::SaveGroup() { group_.Save(*connection_, location_.dataFile); }

void Session::ExpectMayDestroy(const ItemRecord& item) {
  // The right is read inside the transaction, so a right taken away meanwhile counts.
  if (!HasDestroyRight()) {
    throw EngineError(
        ErrorCode::kAccessDenied,
        "User " + Quoted(userName_) + " has no right to destroy " + Quoted(item.spec));
  }
  if (item.id == kRootId) {
    throw EngineError(ErrorCode::kAccessDenied, "The root project $/ cannot be destroyed");
  }
  // Every item has one parent, so the root can lie below the item only when the root itself
  // has a parent: a cycle through it. Anywhere else a cycle only makes the query below meet
  // items twice, which UNION (not UNION ALL) passes over, so that it ends.
  sqlite::Statement root(*connection_, "SELECT parent IS NOT NULL FROM items WHERE id = ?1");
  root.Bind(1, kRootId);
  if (root.Step() && root.Int(0) != 0) {
    throw EngineError(ErrorCode::kDamaged, "The database " + Quoted(location_.ini.string()) +
                                               " is damaged: its root project lies below "
                                               "another item; nothing was destroyed. Run "
                                               "'vssdb check'");
  }
}

std::vector<std::int64_t> Session::Doomed(const ItemRecord& item) {
  // The item's version counts every change below it too (destroys aside, which only take away
  // from what this destroy takes): an item recovered or added below a project since the caller
  // read it stops the destroy.
  ExpectUnchanged(item);
  // What goes is read first and then removed a row at a time: a project holding a great many
  // items is not removed in one statement, so that a window gets its turns in between.
  sqlite::Statement& below = Cached(
      "WITH RECURSIVE doomed(id) AS (SELECT ?1 UNION"
      " SELECT items.id FROM items JOIN doomed ON items.parent = doomed.id) SELECT id FROM doomed");
  below.Bind(1, item.id);
  std::vector<std::int64_t> doomed;
  while (below.Step()) {
    doomed.push_back(below.Int(0));
    if (doomed.size() % kRowsBetweenTurns == 0) {
      group_.Turn();
    }
  }
  below.Reset();
  return doomed;
}

void Session::Erase(const std::vector<std::int64_t>& doomed) {
  sqlite::Statement& contents = Cached("DELETE FROM contents WHERE item = ?1");
  sqlite::Statement& items = Cached("DELETE FROM items WHERE id = ?1");
  sqlite::Statement* deletions =
      RecordsDeletions() ? &Cached("DELETE FROM deletions WHERE item = ?1") : nullptr;
  for (std::size_t index = 0; index < doomed.size(); ++index) {
    contents.Bind(1, doomed[index]).Run();
    contents.Reset();
    if (deletions != nullptr) {
      deletions->Bind(1, doomed[index]).Run();
      deletions->Reset();
    }
    items.Bind(1, doomed[index]).Run();
    items.Reset();
    if ((index + 1) % kRowsBetweenTurns == 0) {
      group_.Turn();
    }
  }
}

void Session::DestroyInSteps(const ItemRecord& item, std::vector<std::int64_t> doomed) {
  // The group so far is saved first; then the items below go a step at a time, each step saved,
  // the deepest first, so that after each step every item left still has its project: a crash
  // between steps leaves the project deleted with less below it, and the database sound. Between
  // steps another user may write: a change below the project stops the destroy there.
  SaveGroup();
  std::reverse(doomed.begin(), doomed.end());  // the walk met each project before its items
  const std::size_t total = doomed.size();
  for (std::size_t done = 0; done < total; done += kRowsInOneStep) {
    const std::size_t end = std::min(total, done + kRowsInOneStep);
    group_.OpenIfNeeded(*connection_);
    try {
      ExpectUnchanged(item);
    } catch (const EngineError& error) {
      group_.Lose();
      throw EngineError(ErrorCode::kItemChanged,
                        std::string(error.what()) + " (" + std::to_string(done) + " of the " +
                            std::to_string(total) + " items it takes were destroyed already)");
    }
    Erase({doomed.begin() + static_cast<std::ptrdiff_t>(done),
           doomed.begin() + static_cast<std::ptrdiff_t>(end)});
    if (end < total) {
      SaveGroup();
      group_.Turn(true);  // a turn between steps, when nothing holds the database
    }
  }
  // The last step, which takes the project itself, stays open as the group of this destroy.
  group_.Restart();
}

}  // namespace sourcesafe
