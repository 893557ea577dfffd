#include "engines/ownformat/Session.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Passwords.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/StorageErrors.h"
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

sqlite::Statement& Session::Cached(const char* sql) {
  std::unique_ptr<sqlite::Statement>& statement = cached_[sql];
  if (!statement) {
    statement = std::make_unique<sqlite::Statement>(*connection_, sql);
  }
  statement->Reset();
  return *statement;
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

bool Session::RecordsDeletions() {
  sqlite::Statement& version = Cached("PRAGMA user_version");
  version.Step();
  const bool records = version.Int(0) >= 2;
  version.Reset();
  return records;
}

sourcecontrol::Deletion Session::DeletionOf(const ItemRecord& item) {
  if (!item.deleted) {
    return {};
  }
  return WithStorageErrors(location_.dataFile, [&] {
    sourcecontrol::Deletion deletion;
    if (!RecordsDeletions()) {
      return deletion;
    }
    sqlite::Statement& query = Cached("SELECT time, user FROM deletions WHERE item = ?1");
    query.Bind(1, item.id);
    if (query.Step()) {
      deletion.time = query.Int(0);
      deletion.user = query.Text(1);
    }
    query.Reset();
    return deletion;
  });
}

}  // namespace sourcesafe
