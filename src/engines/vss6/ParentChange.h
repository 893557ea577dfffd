#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/DestroyPlan.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {

// What the listing saw of an entry: the project it is in, its physical name and its JP record.
struct EntrySeen {
  std::string parent;
  std::string physical;
  std::vector<unsigned char> record;
};

class Vss6Tree;
struct TreeItem;

// What a change to a listed entry needs: where the database is, who makes the change, and the
// entry as the listing saw it.
struct EntryRequest {
  // The session's view of the data folder (the tree's), shared by all its reads, dry runs and
  // changes, and kept true after its own writes. It must outlive the request.
  DataFolder* data = nullptr;
  std::filesystem::path journal;  // where the journal goes, outside the data folder
  std::string user;               // as um.dat spells it, for the log record
  std::string spec;               // the item's path, for messages
  EntrySeen entry;
  EntryNamer nameOf;
  // A name in upper case as the database's code page has it, to tell names SourceSafe takes for
  // one.
  std::function<std::string(std::string_view name)> upperCase;
  // Told the name of each step before it writes ("journal", "entries", "log", "files").
  std::function<void(std::string_view step)> onStep;
};

// The request for `item` as `tree` listed it, with its names (the tree must outlive it).
EntryRequest EntryRequestFor(Vss6Tree& tree, const TreeItem& item, std::filesystem::path journal,
                             std::string user);

// The parent of an entry as it is now, under lock, and the entry in it, which is as the listing
// saw it and deleted.
struct ParentRead {
  std::string parent;  // its physical name
  std::filesystem::path itemPath;
  std::filesystem::path entryPath;
  files::Ownership itemOwner;
  files::Ownership entryOwner;
  std::vector<unsigned char> item;
  ItemHeader header;
  std::vector<unsigned char> entryBytes;
  std::vector<ProjectEntry> entries;
  std::size_t found = 0;  // the entry's index in `entries`

  const ProjectEntry& Entry() const { return entries[found]; }
};

// Reads the parent of `entry` under write locks. Throws DestroyRefused (kChanged: the entry left
// or changed since it was listed; kNotWritten: it is not deleted), FormatError, LockedError.
ParentRead ReadParent(DataFolder& data, FileLocks& locks, const EntrySeen& entry,
                      const std::string& spec);
// The index in `read.entries` of another entry of the same parent, checked as ReadParent checks
// its own.
std::size_t FindEntry(const ParentRead& read, const EntrySeen& entry, const std::string& spec);

// Finishes or undoes a change cut off before (throws LockedError when one is under way or a
// journal is left alone; a check that writes nothing may leave that to the change itself), then
// reads the entry's project under lock.
struct ParentAtHand {
  explicit ParentAtHand(const EntryRequest& request, bool finishFirst = true);
  DataFolder& data;
  FileLocks locks;
  ParentRead read;
};

// A change to entries of a project: the parent's entry file as it is to be, and the log records
// that say what was done, one for each entry, in order.
struct ParentChange {
  std::vector<unsigned char> entries;                 // the new entry file
  std::vector<std::vector<unsigned char>> logBodies;  // LogBody's, with the action's fields
  int entriesDelta = 0;                               // change of the header's "total entries"
  int subprojectsDelta = 0;                           // change of its "subprojects"
  std::vector<std::filesystem::path> remove;          // files that go once the change took effect
};

// What writing the change did.
struct ParentWritten {
  ProjectState parent;                 // the parent's header after it
  std::vector<std::string> leftovers;  // files that could not be removed, each with why
  bool synced = true;  // false: a folder would not sync, so the journal stays for the next open
};

// The body of the `nth` next log record of the parent (0: the one after its last): previous
// offset, action, revision, time, user, and the comment offset (the end of the record); the rest
// zero. Throws FormatError when the parent is not whole (its end, its counts, its log),
// DestroyRefused when its log cannot take so many more.
std::vector<unsigned char> LogBody(const ParentRead& read, std::uint16_t action,
                                   const std::string& user, std::size_t nth = 0);

// Copies the NAME of `entry` (a JP record of the parent's entry file, as read) into the log body
// `body` at its child's name, and its physical name at `physicalAt` (kLogChildPhysical, or
// kDestroyPhysical for a destroy record).
void CopyEntryNames(const ParentRead& read, const ProjectEntry& entry,
                    std::vector<unsigned char>& body, std::size_t physicalAt);

// Writes `change` to the parent as SourceSafe does: the entry file anew under the other
// extension, the records appended to the parent's log and its header counts following; then the
// files to remove. Each file is written in full beside the old one and renamed over it, under the
// journal at `journalPath` that the next open uses to finish or undo a change cut off. Nothing is
// written before the files it writes are known to keep their owner and group and those it
// removes may be removed. `onStep` hears "journal", "entries", "log", "files" before each.
ParentWritten WriteParent(DataFolder& data, ParentRead& read, const ParentChange& change,
                          const std::filesystem::path& journalPath, const std::string& physical,
                          const std::function<void(std::string_view)>& onStep);

[[noreturn]] void Damaged(const std::filesystem::path& file, const std::string& what);

// The time SourceSafe writes in log records: seconds since 1970 in local wall-clock time.
std::uint32_t LocalClockNow();

}  // namespace vss6
