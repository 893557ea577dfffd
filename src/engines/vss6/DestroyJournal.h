#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {

class UsedFiles;

// What a destroy under way has to finish, kept in a small file outside the data folder from
// before its first write until its last: if the program is cut off, the next open finds it and
// finishes the destroy (when the parent's new log was written) or undoes it (when not). A destroy
// that took effect but could not remove all of its files leaves its journal as a record of those
// files ("scourwell-destroy.<physical>.leftovers"), which later opens and destroys work off.
struct DestroyJournal {
  std::filesystem::path data;  // the data folder, absolute (older versions wrote it as given)
  // The data folder's inode when the journal was written (0 in an older version's journal): what
  // tells this database's journal from one written for another folder.
  std::uint64_t dataInode = 0;
  std::string parent;          // the parent project's physical name
  std::string physical;        // the destroyed item's
  std::uint32_t record = 0;    // where the destroy's log record goes in the parent's item file
  std::uint16_t revision = 0;  // its revision number
  std::vector<std::filesystem::path> temporaries;  // written beside the files they replace
  std::vector<std::filesystem::path> remove;       // old entry file, then the item's files
};

std::string FormatJournal(const DestroyJournal& journal);
// Nothing when the text is not a journal of ours, or names files outside its data folder's
// letter folders, or names as a temporary anything but a file written beside another
// ("<name>.new"), or as a file to remove such a temporary: a damaged or planted journal must not
// make us remove anything else.
std::optional<DestroyJournal> ParseJournal(std::string_view text);

// The journal's place for the database whose folder (srcsafe.ini's) is `folder`.
std::filesystem::path JournalPath(const std::filesystem::path& folder);
// The folder the journal at `path` is in: "." for a bare name.
std::filesystem::path JournalFolder(const std::filesystem::path& path);
// The name of the record a destroy of `physical` keeps of the files it could not remove, beside
// its journal; and whether a name is one of those.
std::string LeftoversName(const std::string& physical);
bool IsLeftoversName(const std::string& name);

// The journal of a change to `data` about to begin: the data folder by its absolute path and its
// inode.
DestroyJournal JournalFor(const DataFolder& data);

// Writes the journal, flushed to disk, beside its place and then linked into it, so that it is
// there whole or not at all, with `ownership` (that of the files it is about, so that whoever may
// write them may finish it); it stays locked (the lock of the open file the result holds) while
// the destroy runs, which tells another program's open that it is not cut off. The name it is
// written under first is this process's own (host and process id), and locked from before its
// first byte, so that no other program's clean-up takes it. Throws LockedError when another
// destroy's journal is there, files::FileError when it cannot be written.
files::FileDescriptor WriteJournal(const std::filesystem::path& path, const DestroyJournal& journal,
                                   const files::Ownership& ownership);

// Whether `name` (in the journal's folder) is a journal being written by a program, named as
// WriteJournal names it before linking it into place at `path`.
bool IsUnfinishedJournal(const std::string& name, const std::filesystem::path& path);

// What finishing the destroys cut off in a database did.
struct Recovery {
  std::vector<std::string> notes;  // what was finished, undone or left alone, for people
  // Why no destroy may run now: another destroy is under way, or a journal was left alone.
  std::optional<std::string> blocking;
};

// Finishes or undoes the destroy that the journal at `path` describes, if there is one, and
// removes the journal; then removes what earlier destroys left behind, where it can. Never
// throws for what it finds. A journal or record is acted on only when it is this database's own
// (written by this program for this very data folder, told by its inode) and only for the files
// that no entry of the database uses (UsedFiles): a file still used is kept, said in the notes,
// and its record kept. A journal of another program, another database or another user is left
// alone, said in the notes, and blocks further destroys. A journal whose lock is held belongs to
// a destroy still running in another program. Without `mayChange` (a user who may not destroy)
// nothing is removed or undone: what is there is only said.
Recovery FinishInterruptedDestroy(const std::filesystem::path& path,
                                  const std::filesystem::path& data, bool mayChange = true);

// What `vssdb check` reports of the journal at `path` and of the files earlier destroys left:
// a journal or record that is not this database's, and the files they name that entries still
// use, as well as those still to be removed.
std::vector<std::string> PendingDestroys(const std::filesystem::path& path,
                                         const std::filesystem::path& data);

// Undoes a destroy that had not taken effect: its temporaries and the entry file it wrote go,
// unless the parent's header names that entry file now, or `used` (when given) says an entry uses
// it.
void UndoDestroy(DataFolder& data, const DestroyJournal& journal, UsedFiles* used = nullptr);

// What removing a destroy's files came to.
struct FilesRemoved {
  std::vector<std::string> failures;         // files that could not be removed, each with why
  std::vector<std::filesystem::path> inUse;  // files an entry still uses: nothing was removed
};

// Removes the files of a destroy that took effect, never the entry file the parent's header
// names now (SourceSafe may have written the project since); when `used` is given and says that
// an entry of the database still uses one of them, none of them.
FilesRemoved RemoveDestroyedFiles(DataFolder& data, const DestroyJournal& journal,
                                  UsedFiles* used = nullptr);

// Keeps the journal at `path` as the record of the files its destroy left behind.
void KeepLeftovers(const std::filesystem::path& path, const DestroyJournal& journal);

}  // namespace vss6
