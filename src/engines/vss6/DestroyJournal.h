#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/JournalText.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {

class UsedFiles;

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
