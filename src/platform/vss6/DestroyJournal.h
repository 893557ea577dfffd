#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileDescriptor.h"

namespace vss6 {

// What a destroy under way has to finish, kept in a small file outside the data folder from
// before its first write until its last: if the program is cut off, the next open finds it and
// finishes the destroy (when the parent's new log was written) or undoes it (when not).
struct DestroyJournal {
  std::filesystem::path data;  // the data folder
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

// The journal's place for the database whose srcsafe.ini is in `iniFolder`.
std::filesystem::path JournalPath(const std::filesystem::path& iniFolder);

// Writes the journal, flushed to disk, beside its place and then linked into it, so that it is
// there whole or not at all; it stays locked (the lock of the open file the result holds) while
// the destroy runs, which tells another program's open that it is not cut off. Throws
// LockedError when another destroy's journal is there, files::FileError when it cannot be
// written.
files::FileDescriptor WriteJournal(const std::filesystem::path& path,
                                   const DestroyJournal& journal);

// Finishes or undoes the destroy that the journal at `path` describes, if there is one, and
// removes the journal; says what it did, or nothing when there was no journal or its destroy is
// still running in another program (its journal is locked). Throws
// FormatError when the journal is not ours or belongs to another data folder than `data`.
std::optional<std::string> FinishInterruptedDestroy(const std::filesystem::path& path,
                                                    const std::filesystem::path& data);

// Removes a file the destroy no longer needs; one already gone is fine.
void RemoveFile(const std::filesystem::path& path);

}  // namespace vss6
