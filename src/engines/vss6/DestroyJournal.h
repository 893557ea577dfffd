#pragma once

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

// What a destroy under way has to finish, kept in a small file outside the data folder from
// before its first write until its last: if the program is cut off, the next open finds it and
// finishes the destroy (when the parent's new log was written) or undoes it (when not). A destroy
// that took effect but could not remove all of its files leaves its journal as a record of those
// files ("scourwell-destroy.<physical>.leftovers"), which later opens and destroys work off.
struct DestroyJournal {
  std::filesystem::path data;  // the data folder, absolute (older versions wrote it as given)
  std::string parent;          // the parent project's physical name
  std::string physical;        // the destroyed item's
  std::uint32_t record = 0;    // where the destroy's log record goes in the parent's item file
  std::uint16_t revision = 0;  // its revision number
  std::vector<std::filesystem::path> temporaries;  // written beside the files they replace
  std::vector<std::filesystem::path> remove;       // old entry file, then the item's files
};

std::string FormatJournal(const DestroyJournal& journal);
// Nothing when the text is not a journal of ours, or names files outside its data folder's
// letter folders (a damaged or planted journal must not make us remove anything else).
std::optional<DestroyJournal> ParseJournal(std::string_view text);

// The journal's place for the database whose folder (srcsafe.ini's) is `folder`.
std::filesystem::path JournalPath(const std::filesystem::path& folder);

// Writes the journal, flushed to disk, beside its place and then linked into it, so that it is
// there whole or not at all, with `ownership` (that of the files it is about, so that whoever may
// write them may finish it); it stays locked (the lock of the open file the result holds) while
// the destroy runs, which tells another program's open that it is not cut off. Throws
// LockedError when another destroy's journal is there, files::FileError when it cannot be
// written.
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
// throws for what it finds: a journal of another program, another database or another user is
// left alone, said in the notes, and blocks further destroys. A journal whose lock is held
// belongs to a destroy still running in another program.
Recovery FinishInterruptedDestroy(const std::filesystem::path& path,
                                  const std::filesystem::path& data);

// What `vssdb check` reports of the journal at `path` and of the files earlier destroys left.
std::vector<std::string> PendingDestroys(const std::filesystem::path& path,
                                         const std::filesystem::path& data);

// Undoes a destroy that had not taken effect: its temporaries and the entry file it wrote go,
// unless the parent's header names that entry file now.
void UndoDestroy(DataFolder& data, const DestroyJournal& journal);

// Removes the files of a destroy that took effect, never the entry file the parent's header
// names now (SourceSafe may have written the project since); gives those that could not be
// removed, each with why.
std::vector<std::string> RemoveDestroyedFiles(DataFolder& data, const DestroyJournal& journal);

// Keeps the journal at `path` as the record of the files its destroy left behind.
void KeepLeftovers(const std::filesystem::path& path, const DestroyJournal& journal);

}  // namespace vss6
