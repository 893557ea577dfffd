#pragma once

// The destroy journal's text, a format of its own: what it holds, how it is written and read,
// and the names of the journal and its records. Nothing here touches a file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vss6 {

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

// Whether `name` (in the journal's folder) is a journal being written by a program, named as
// WriteJournal names it before linking it into place at `path`.
bool IsUnfinishedJournal(const std::string& name, const std::filesystem::path& path);

}  // namespace vss6
