#include "engines/ownformat/Session.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Passwords.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Blob.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {
namespace {

constexpr const char* kItemColumns = "id, parent, name, is_project, deleted, version, size";

ItemRecord ReadItem(const sqlite::Statement& row, std::string_view parentSpec) {
  ItemRecord item;
  item.id = row.Int(0);
  item.parent = row.IsNull(1) ? 0 : row.Int(1);
  item.name = row.Text(2);
  item.isProject = row.Int(3) != 0;
  item.deleted = row.Int(4) != 0;
  item.version = row.Int(5);
  item.size = row.Int(6);
  item.spec = item.parent == 0 ? std::string(kRootSpec) : ChildSpec(parentSpec, item.name);
  return item;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The spec of the project above `spec`, and the last name of `spec`.
std::pair<std::string, std::string> SplitParent(std::string_view spec) {
  std::vector<std::string> names = SplitSpec(spec);
  if (names.empty()) {
    throw EngineError(ErrorCode::kAlreadyExists, "The root project $/ always exists");
  }
  std::string parent(kRootSpec);
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    parent = ChildSpec(parent, names[i]);
  }
  return {parent, names.back()};
}

}  // namespace

std::unique_ptr<Session> Session::Open(const std::string& path, const std::string& user,
                                       const std::string& password, const OpenOptions& options) {
  auto session = std::make_unique<Session>(Key{});
  session->location_ = LocateDatabase(path, options.mountinfo);
  session->readAheadLifetime_ = options.readAheadLifetime;
  WithStorageErrors(session->location_.dataFile, [&] {
    session->connection_ = std::make_unique<sqlite::Connection>(
        session->location_.dataFile, sqlite::Connection::Mode::ReadWrite);
    ConfigureConnection(*session->connection_, options.busyTimeout);
    CheckSchema(*session->connection_, session->location_.dataFile);
    session->LogIn(user, password);
    session->childrenQuery_ = std::make_unique<sqlite::Statement>(
        *session->connection_, std::string("SELECT ") + kItemColumns +
                                   " FROM items WHERE parent = ?1 AND (deleted = 0 OR ?2)"
                                   " ORDER BY fold, id");
  });
  return session;
}

Session::Session(Key) {}
Session::~Session() = default;

void Session::LogIn(const std::string& user, const std::string& password) {
  const auto unknown = [&] {
    return EngineError(ErrorCode::kUnknownUser, "User " + Quoted(user) +
                                                    " is not a user of the database " +
                                                    Quoted(location_.ini.string()));
  };
  // Users made before names were held to today's rules still log in: the name is only looked up.
  if (user.empty() || user.size() > 255) {
    throw unknown();
  }
  sqlite::Statement query(
      *connection_,
      "SELECT id, name, password_hash FROM users WHERE fold IN (?1, ?2) ORDER BY fold = ?1 DESC");
  query.Bind(1, FoldName(user)).Bind(2, LegacyFoldName(user));
  if (!query.Step()) {
    throw unknown();
  }
  if (!IsOwnHashForm(query.Text(2))) {
    throw EngineError(ErrorCode::kDamaged,
                      "The password of user " + Quoted(query.Text(1)) + " is stored in a form " +
                          "this program does not make (another algorithm or other limits), so it "
                          "was not checked; run 'vssdb check' on " +
                          Quoted(location_.ini.string()));
  }
  if (!VerifyPassword(password, query.Text(2))) {
    throw EngineError(ErrorCode::kInvalidPassword, "Invalid password");
  }
  userId_ = query.Int(0);
  userName_ = query.Text(1);
}

bool Session::IsAdmin() const { return FoldName(userName_) == FoldName("Admin"); }

ItemRecord Session::Root() {
  return WithStorageErrors(location_.dataFile, [&] {
    sqlite::Statement query(*connection_,
                            std::string("SELECT ") + kItemColumns + " FROM items WHERE id = ?1");
    query.Bind(1, kRootId);
    if (!query.Step()) {
      throw EngineError(ErrorCode::kDamaged, "The database " + Quoted(location_.ini.string()) +
                                                 " has no root project; run 'vssdb check'");
    }
    if (!query.IsNull(1)) {
      // Every walk starts here: a root below another item would lead round a cycle for ever.
      throw EngineError(ErrorCode::kDamaged, "The database " + Quoted(location_.ini.string()) +
                                                 " is damaged: its root project lies below item " +
                                                 std::to_string(query.Int(1)) +
                                                 "; run 'vssdb check'");
    }
    return ReadItem(query, kRootSpec);
  });
}

std::vector<ItemRecord> Session::Children(const ItemRecord& project, bool includeDeleted) {
  if (!project.isProject) {
    return {};
  }
  auto found = prefetched_.find(project.id);
  if (found == prefetched_.end() ||
      std::chrono::steady_clock::now() - found->second.read > readAheadLifetime_) {
    Prefetch(project);
    found = prefetched_.find(project.id);
  }
  std::vector<ItemRecord> children = std::move(found->second.children);
  prefetched_.erase(found);
  if (!includeDeleted) {
    std::erase_if(children, [](const ItemRecord& item) { return item.deleted; });
  }
  return children;
}

void Session::Prefetch(const ItemRecord& project) {
  const auto now = std::chrono::steady_clock::now();
  std::erase_if(prefetched_,
                [&](const auto& entry) { return now - entry.second.read > readAheadLifetime_; });
  WithStorageErrors(location_.dataFile, [&] {
    sqlite::Transaction snapshot(*connection_);
    std::deque<ItemRecord> pending{project};
    std::size_t rows = 0;
    while (!pending.empty() && (rows < kPrefetchRows || pending.front().id == project.id)) {
      const ItemRecord parent = std::move(pending.front());
      pending.pop_front();
      sqlite::Statement& query = *childrenQuery_;
      query.Reset();
      query.Bind(1, parent.id).Bind(2, std::int64_t{1});
      Prefetched& entry = prefetched_[parent.id];
      entry.children.clear();
      entry.read = now;
      // Checked once for the project (the depth) and once for each child (the length).
      const bool childrenTooDeep = !IsWithinSpecLimits(ChildSpec(parent.spec, "x"));
      bool readable = true;
      while (query.Step()) {
        ItemRecord child = ReadItem(query, parent.spec);
        if (child.id == kRootId || childrenTooDeep || child.spec.size() > kMaxSpecBytes) {
          readable = false;  // said when this project itself is asked for
          break;
        }
        entry.children.push_back(std::move(child));
        if (entry.children.back().isProject) {
          pending.push_back(entry.children.back());
        }
      }
      query.Reset();
      if (!readable) {
        prefetched_.erase(parent.id);
        if (parent.id == project.id) {
          ThrowUnreadableChildren(parent);
        }
        continue;
      }
      rows += entry.children.size() + 1;
    }
    snapshot.Commit();
  });
}

void Session::ThrowUnreadableChildren(const ItemRecord& project) {
  sqlite::Statement root(*connection_, "SELECT 1 FROM items WHERE parent = ?1 AND id = ?2");
  root.Bind(1, project.id).Bind(2, kRootId);
  if (root.Step()) {
    throw EngineError(ErrorCode::kDamaged,
                      "The database " + Quoted(location_.ini.string()) +
                          " is damaged: " + Quoted(project.spec) +
                          " holds the root project, so the tree runs round in a cycle; run "
                          "'vssdb check'");
  }
  throw EngineError(ErrorCode::kInvalidName,
                    Quoted(project.spec) + " holds items deeper than " +
                        std::to_string(kMaxSpecDepth) + " levels or with paths longer than " +
                        std::to_string(kMaxSpecBytes) + " bytes, which this program does not read");
}

std::vector<ItemRecord> Session::ChildrenNamed(const ItemRecord& project, std::string_view name) {
  sqlite::Statement query(*connection_, std::string("SELECT ") + kItemColumns +
                                            " FROM items WHERE parent = ?1 AND fold IN (?2, ?3)"
                                            " ORDER BY deleted, id");
  query.Bind(1, project.id).Bind(2, FoldName(name)).Bind(3, LegacyFoldName(name));
  std::vector<ItemRecord> children;
  while (query.Step()) {
    children.push_back(ReadItem(query, project.spec));
  }
  return children;
}

std::vector<ItemRecord> Session::Resolve(std::string_view spec, bool throughDeleted) {
  const std::vector<std::string> names = SplitSpec(spec);
  ItemRecord current = Root();
  const auto notFound = [&] {
    return EngineError(ErrorCode::kItemNotFound, "No item " + Quoted(spec) + " in the database " +
                                                     Quoted(location_.ini.string()));
  };
  return WithStorageErrors(location_.dataFile, [&] {
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::vector<ItemRecord> matches = ChildrenNamed(current, names[i]);
      if (!throughDeleted) {
        std::erase_if(matches, [](const ItemRecord& item) { return item.deleted; });
      }
      if (i + 1 == names.size()) {
        if (matches.empty()) {
          throw notFound();
        }
        return matches;
      }
      // Live items come first; a deleted project is passed through only when it is the only one.
      if (matches.empty()) {
        throw notFound();
      }
      if (!matches.front().deleted || matches.size() == 1) {
        current = std::move(matches.front());
      } else {
        throw EngineError(ErrorCode::kAmbiguousSpec,
                          std::to_string(matches.size()) + " deleted projects are named " +
                              Quoted(matches.front().spec) + "; name a live one");
      }
      if (!current.isProject) {
        throw EngineError(ErrorCode::kNotAProject,
                          Quoted(current.spec) + " is a file, not a project");
      }
    }
    return std::vector<ItemRecord>{current};
  });
}

ItemRecord Session::Find(std::string_view spec, bool deleted) {
  std::vector<ItemRecord> matches = Resolve(spec, deleted);
  if (!matches.front().deleted || matches.size() == 1) {
    return std::move(matches.front());
  }
  throw EngineError(
      ErrorCode::kAmbiguousSpec,
      std::to_string(matches.size()) + " deleted items are named " + Quoted(matches.front().spec));
}

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

void Session::Restore(const std::vector<sourcecontrol::RestoredItem>& items) {
  prefetched_.clear();  // what this change touches may be among it
  if (items.empty()) {
    return;
  }
  if (!grouping_) {
    WithStorageErrors(location_.dataFile, [&] {
      sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
      PutBack(items);
      transaction.Commit();
    });
    return;
  }
  WithStorageErrors(location_.dataFile, [&] {
    if (!group_) {
      group_ =
          std::make_unique<sqlite::Transaction>(*connection_, sqlite::Transaction::Kind::Immediate);
      groupStart_ = std::chrono::steady_clock::now();
      groupCount_ = 0;
    }
  });
  try {
    // The entry goes whole or not at all; the group goes on either way.
    WithStorageErrors(location_.dataFile, [&] {
      sqlite::Savepoint entry(*connection_);
      restoredInGroup_.insert(PutBack(items));
      entry.Release();
    });
  } catch (const EngineError& error) {
    if (!connection_->InTransaction()) {
      // SQLite rolled the whole group back itself (a full disk): none of it took place.
      group_.reset();
      const int lost = std::exchange(groupCount_, 0);
      if (lost > 0) {
        throw EngineError(ErrorCode::kDestroysNotSaved,
                          std::to_string(lost) + " entries put back before " +
                              Quoted(items.front().spec) +
                              " could not be saved and are not back: " + error.what());
      }
    }
    throw;
  }
  ++groupCount_;
  if (groupCount_ >= kGroupItems || std::chrono::steady_clock::now() - groupStart_ >= kGroupTime) {
    SaveGroup();
  }
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
    if (sibling.deleted && restoredInGroup_.count(sibling.id) == 0) {
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
      Turn();
    });
    if (written != size) {
      throw EngineError(ErrorCode::kInvalidArgument,
                        "The content of " + Quoted(item.spec) + " is shorter than was kept");
    }
  }
  MarkChanged(parent.id);
  return entry;
}

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
    MarkChanged(item.id);
    transaction.Commit();
  });
}

void Session::Destroy(const ItemRecord& item) {
  prefetched_.clear();  // what this change touches may be among it
  if (!grouping_) {
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
    if (!group_) {
      auto group =
          std::make_unique<sqlite::Transaction>(*connection_, sqlite::Transaction::Kind::Immediate);
      // The right and the root cannot change while the group holds the write lock: they are
      // read once for the whole group.
      ExpectMayDestroy(item);
      group_ = std::move(group);
      groupStart_ = std::chrono::steady_clock::now();
      groupCount_ = 0;
    }
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
      group_.reset();
      const int lost = std::exchange(groupCount_, 0);
      if (lost > 0) {
        throw EngineError(ErrorCode::kDestroysNotSaved,
                          std::to_string(lost) + " destroys before " + Quoted(item.spec) +
                              " could not be saved and did not take place: " + error.what());
      }
    }
    throw;
  }
  ++groupCount_;
  if (groupCount_ >= kGroupItems || std::chrono::steady_clock::now() - groupStart_ >= kGroupTime) {
    SaveGroup();
  }
}

void Session::BeginDestroyGroup(std::function<void()> between) {
  grouping_ = true;
  between_ = std::move(between);
  restoredInGroup_.clear();
}

void Session::EndDestroyGroup() {
  grouping_ = false;
  between_ = nullptr;
  restoredInGroup_.clear();
  SaveGroup();
}

void Session::SaveGroup() {
  if (!group_) {
    return;
  }
  const int count = std::exchange(groupCount_, 0);
  const std::unique_ptr<sqlite::Transaction> group = std::move(group_);
  try {
    WithStorageErrors(location_.dataFile, [&] {
      connection_->Execute("PRAGMA incremental_vacuum");
      group->Commit();
    });
  } catch (const EngineError& error) {
    // The transaction rolls back as `group` goes: none of its destroys took place.
    throw EngineError(ErrorCode::kDestroysNotSaved,
                      std::to_string(count) +
                          " changes (destroys, or entries put back) could not be saved and did "
                          "not take place: " +
                          error.what());
  }
}

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
      Turn();
    }
  }
  below.Reset();
  return doomed;
}

void Session::Erase(const std::vector<std::int64_t>& doomed) {
  sqlite::Statement& contents = Cached("DELETE FROM contents WHERE item = ?1");
  sqlite::Statement& items = Cached("DELETE FROM items WHERE id = ?1");
  for (std::size_t index = 0; index < doomed.size(); ++index) {
    contents.Bind(1, doomed[index]).Run();
    contents.Reset();
    items.Bind(1, doomed[index]).Run();
    items.Reset();
    if ((index + 1) % kRowsBetweenTurns == 0) {
      Turn();
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
    group_ =
        std::make_unique<sqlite::Transaction>(*connection_, sqlite::Transaction::Kind::Immediate);
    try {
      ExpectUnchanged(item);
    } catch (const EngineError& error) {
      group_.reset();
      throw EngineError(ErrorCode::kItemChanged,
                        std::string(error.what()) + " (" + std::to_string(done) + " of the " +
                            std::to_string(total) + " items it takes were destroyed already)");
    }
    Erase({doomed.begin() + static_cast<std::ptrdiff_t>(done),
           doomed.begin() + static_cast<std::ptrdiff_t>(end)});
    if (end < total) {
      SaveGroup();
      Turn(true);  // a turn between steps, when nothing holds the database
    }
  }
  // The last step, which takes the project itself, stays open as the group of this destroy.
  groupStart_ = std::chrono::steady_clock::now();
  groupCount_ = 0;
}

sqlite::Statement& Session::Cached(const char* sql) {
  std::unique_ptr<sqlite::Statement>& statement = cached_[sql];
  if (!statement) {
    statement = std::make_unique<sqlite::Statement>(*connection_, sql);
  }
  statement->Reset();
  return *statement;
}

void Session::Turn(bool always) {
  const auto now = std::chrono::steady_clock::now();
  if (between_ && (always || now - lastTurn_ >= kTurnEvery)) {
    lastTurn_ = now;
    between_();
  }
}

bool Session::HasDestroyRight() {
  sqlite::Statement right(*connection_, "SELECT can_destroy FROM users WHERE id = ?1");
  right.Bind(1, userId_);
  return right.Step() && (right.Int(0) != 0 || IsAdmin());
}

bool Session::MayDestroy() {
  return WithStorageErrors(location_.dataFile, [&] { return HasDestroyRight(); });
}

void Session::AddUser(std::string_view name, std::string_view password, bool canDestroy) {
  if (!IsAdmin()) {
    throw EngineError(ErrorCode::kAccessDenied,
                      "Only Admin may add users; " + Quoted(userName_) + " may not");
  }
  ValidateUserName(name);
  const std::string hash = HashPassword(password);
  WithStorageErrors(location_.dataFile, [&] {
    sqlite::Transaction transaction(*connection_, sqlite::Transaction::Kind::Immediate);
    sqlite::Statement exists(*connection_, "SELECT 1 FROM users WHERE fold IN (?1, ?2)");
    exists.Bind(1, FoldName(name)).Bind(2, LegacyFoldName(name));
    if (exists.Step()) {
      throw EngineError(ErrorCode::kAlreadyExists, "User " + Quoted(name) + " already exists");
    }
    sqlite::Statement insert(*connection_,
                             "INSERT INTO users (name, fold, password_hash, can_destroy)"
                             " VALUES (?1, ?2, ?3, ?4)");
    insert.Bind(1, name)
        .Bind(2, FoldName(name))
        .Bind(3, hash)
        .Bind(4, std::int64_t{canDestroy ? 1 : 0})
        .Run();
    transaction.Commit();
  });
}

std::vector<unsigned char> Session::Content(const ItemRecord& file) {
  return WithStorageErrors(location_.dataFile, [&] {
    // Prepared once: a copy kept before a purge reads every file's content in turn.
    sqlite::Statement& query = Cached("SELECT data FROM contents WHERE item = ?1");
    query.Bind(1, file.id);
    if (!query.Step()) {
      query.Reset();
      throw EngineError(ErrorCode::kItemNotFound, "No content for " + Quoted(file.spec));
    }
    std::vector<unsigned char> content = query.Blob(0);
    query.Reset();  // ends the read, so that no lock outlives the call
    return content;
  });
}

}  // namespace sourcesafe
