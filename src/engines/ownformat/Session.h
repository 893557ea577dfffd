#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engines/common/Location.h"
#include "engines/ownformat/ChangeGroup.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"

namespace sqlite {
class Connection;
class Statement;
class Transaction;
}  // namespace sqlite

namespace sourcesafe {

// One project or file as it was read from the database.
struct ItemRecord {
  std::int64_t id = 0;
  std::int64_t parent = 0;  // 0 for the root project
  std::string name;
  std::string spec;  // "$/" for the root, "$/A/b.txt" below it
  bool isProject = false;
  bool deleted = false;
  // Changes whenever the item's record, or anything below it, changes (destroys below it aside).
  std::int64_t version = 0;
  std::int64_t size = 0;  // a file's content size in bytes
};

// How many children are read ahead at a time.
inline constexpr std::size_t kPrefetchRows = 4096;

struct OpenOptions {
  // How long a call waits for a lock that another user holds before it fails.
  std::chrono::milliseconds busyTimeout{5000};
  std::filesystem::path mountinfo{"/proc/self/mountinfo"};
  // How long children read ahead stay usable (see Children).
  std::chrono::milliseconds readAheadLifetime{1000};
};

// One user logged in to one database. Calls come from one thread at a time; several sessions,
// in this process or others, may use the same database at once.
class Session {
  struct Key {};

 public:
  explicit Session(Key);
  // Opens the database that `path` names (see LocateDatabase) as `user`.
  static std::unique_ptr<Session> Open(const std::string& path, const std::string& user,
                                       const std::string& password,
                                       const OpenOptions& options = {});
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const std::string& UserName() const noexcept { return userName_; }
  const DatabaseLocation& Location() const noexcept { return location_; }
  sqlite::Connection& Connection() noexcept { return *connection_; }

  ItemRecord Root();
  // The children of a project in name order without regard to case, equal names in the order
  // they were made; a file has none. What is returned was read at most the read-ahead lifetime ago,
  // or after this session's last change.
  std::vector<ItemRecord> Children(const ItemRecord& project, bool includeDeleted);
  // Every item that `spec` names: the live one and any deleted ones. With `throughDeleted`
  // false only live items count, along the path as at its end. Throws kItemNotFound when
  // there is none.
  std::vector<ItemRecord> Resolve(std::string_view spec, bool throughDeleted);
  // The one item that `spec` names: the live one, or with `deleted` true and no live one, the
  // only deleted one (kAmbiguousSpec when several have that name).
  ItemRecord Find(std::string_view spec, bool deleted);

  // Makes a project, and the missing projects above it.
  ItemRecord MakeProject(std::string_view spec);
  // Adds a file to an existing live project.
  ItemRecord AddFile(std::string_view spec, std::span<const unsigned char> content);
  // Marks a live item deleted; its children keep their own marks.
  void Delete(const ItemRecord& item);
  // Brings a deleted item back; refused when a live item has its name.
  void Recover(const ItemRecord& item);
  // Puts back an entry kept before a purge (see IVSSDatabase::Restore), in one transaction, or
  // inside a group as destroys are.
  void Restore(const std::vector<sourcecontrol::RestoredItem>& items);
  // Removes the item, and everything below a project, for good, in one transaction. Refused
  // without the right to destroy, and when the item, or anything below it, changed since `item`
  // was read.
  void Destroy(const ItemRecord& item);
  // From here, destroys are saved in groups (ChangeGroup): a group is saved when it holds
  // ChangeGroup::kItems destroys or is ChangeGroup::kTime old, after the destroy that fills it, and
  // by EndDestroyGroup. Far faster than one durable transaction each; a crash loses at most the
  // open group, whose items stay deleted. `between` is called about every ChangeGroup::kTurnEvery
  // while a destroy takes long. Only destroys and restores may be made until EndDestroyGroup.
  void BeginDestroyGroup(std::function<void()> between);
  // How many destroys of the open group are not saved yet.
  int UnsavedDestroys() const noexcept { return group_.Unsaved(); }
  // Saves the open group and ends grouping. A group that cannot be saved rolls back (its items
  // stay deleted) and raises kDestroysNotSaved, as does a destroy after which SQLite itself
  // rolled the group back.
  void EndDestroyGroup();
  // Whether this session's user may destroy items: Admin always, others with the right.
  bool MayDestroy();
  // Adds a user; only Admin may.
  void AddUser(std::string_view name, std::string_view password, bool canDestroy);
  std::vector<unsigned char> Content(const ItemRecord& file);
  // When and by whom a deleted item was deleted; unknown for deletes made before the data file
  // recorded them.
  sourcecontrol::Deletion DeletionOf(const ItemRecord& item);

 private:
  // Whether the data file has the deletions table (format version 2), as it is now: another
  // session may have upgraded it since this one opened it.
  bool RecordsDeletions();
  void LogIn(const std::string& user, const std::string& password);
  std::vector<ItemRecord> ChildrenNamed(const ItemRecord& project, std::string_view name);
  // Reads the children of `project`, and of the projects below it breadth first, up to about
  // kPrefetchRows items, under one read lock.
  void Prefetch(const ItemRecord& project);
  // Restore's writes, inside a transaction: gives back the entry's new id.
  std::int64_t PutBack(const std::vector<sourcecontrol::RestoredItem>& items);
  // Marks an unchanged item deleted or live again.
  void SetDeletedMark(const ItemRecord& item, bool deleted);
  // The destroy's checks of the user's right and of the root, inside its transaction.
  void ExpectMayDestroy(const ItemRecord& item);
  // The ids of an unchanged item and of everything below it, for its destroy.
  std::vector<std::int64_t> Doomed(const ItemRecord& item);
  // Removes the rows of those items, inside a transaction.
  void Erase(const std::vector<std::int64_t>& doomed);
  // Destroys an item with more than kRowsInOneStep items below it in steps of that many, each
  // saved, inside a group of destroys.
  void DestroyInSteps(const ItemRecord& item, std::vector<std::int64_t> doomed);
  // A statement of the destroy's, prepared once and reset for each use (`sql` is a literal).
  sqlite::Statement& Cached(const char* sql);
  // Saves the open group of changes.
  void SaveGroup();
  // Throws kItemChanged unless the item's record is as `item` has it.
  void ExpectUnchanged(const ItemRecord& item);
  // Counts a change of the item, and so of every project above it.
  void MarkChanged(std::int64_t id);
  // Says why the children of `project` are not read: it holds the root (a cycle), or items
  // beyond the limits of a spec.
  [[noreturn]] void ThrowUnreadableChildren(const ItemRecord& project);
  ItemRecord Insert(const ItemRecord& parent, std::string_view name, bool isProject,
                    std::int64_t size);
  bool IsAdmin() const;
  // Reads the user's destroy right as the database holds it now.
  bool HasDestroyRight();

  DatabaseLocation location_;
  std::unique_ptr<sqlite::Connection> connection_;
  std::unique_ptr<sqlite::Statement> childrenQuery_;  // prepared once: the walk's hot path
  std::unordered_map<const char*, std::unique_ptr<sqlite::Statement>> cached_;

  // A walk asks for the children of every project. Taking and releasing the file lock for each
  // costs more than reading the rows, so children are read ahead in batches under one lock, and
  // kept for a short while: long enough for a walk to use them, short enough that what the
  // walk sees is current. A destroy checks the item's record again in any case.
  struct Prefetched {
    std::vector<ItemRecord> children;  // deleted ones included
    std::chrono::steady_clock::time_point read;
  };
  std::unordered_map<std::int64_t, Prefetched> prefetched_;  // by project id
  std::chrono::milliseconds readAheadLifetime_{0};
  static constexpr std::size_t kRowsBetweenTurns = 512;
  static constexpr std::size_t kRowsInOneStep = 1024;
  ChangeGroup group_;  // the destroys and restores saved in groups

  std::int64_t userId_ = 0;
  std::string userName_;
};

}  // namespace sourcesafe
