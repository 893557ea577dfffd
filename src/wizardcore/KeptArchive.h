#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "errors/Reporter.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "wizardcore/DeletedEntry.h"

namespace wizardcore {

// Raised when a file is not a copy Scourwell kept, or cannot be read as one.
inline constexpr std::int32_t kNotAKeptCopy =
    sourcecontrol::Number(sourcecontrol::ErrorCode::kNotAKeptCopy);

// The most bytes a member that a restore puts back may hold: more than any item of a database
// can (our format keeps at most 10^9 bytes an item, and the SourceSafe 6 engine reads no larger
// file).
inline constexpr std::int64_t kLargestItemBytes = 1'000'000'000;

// A copy kept before a purge, read back: the database it came from and each entry it holds with
// the items to put back, the entry first, each file by the member that holds its content. The
// members' contents are not read until they are put back.
struct KeptCopyRead {
  std::filesystem::path path;  // the archive
  std::string database;
  std::string user;
  std::string time;
  struct Item {
    std::string spec;
    bool project = false;
    bool deleted = false;
    std::string member;     // empty for a project, or a file whose content could not be kept
    std::int64_t size = 0;  // its content's
  };
  struct Entry {
    std::string spec;
    std::vector<Item> items;
    std::vector<std::string> unreadable;  // items whose content could not be kept
  };
  std::vector<Entry> entries;
};

// Reads the manifest of the archive at `path` and the headers of its members, but none of their
// contents: every file the manifest names must be a plain member of the size it says, no larger
// than kLargestItemBytes, met in the archive in the manifest's order. Throws errors::ErrorRecord
// (kNotAKeptCopy) saying why.
KeptCopyRead ReadKeptCopy(const std::filesystem::path& path);

// What putting one entry back came to: restored; refused with the engine's reason (its name
// taken, its project gone, an item it does not keep); or failed (the database could not be
// written, or the copy's member could not be read).
struct RestoreRow {
  std::string spec;
  Outcome outcome = Outcome::None;  // Restored, Refused or Failed
  errors::CapturedError error;
};

// Puts each entry of `copy` back into `database` as it was before the purge, one by one, each
// file's content streamed from its member as it goes in (one member at a time, never whole in
// memory), saved in groups as a purge saves its destroys: an entry the engine refuses leaves the
// others to go on; a group that cannot be saved fails every entry of it.
std::vector<RestoreRow> RestoreKept(sourcecontrol::IVSSDatabase& database,
                                    const KeptCopyRead& copy);

// Extracts every member of the archive at `path` into `folder` (made 0700 when missing): files
// new (0600), never over a file there already, never outside the folder (names with "..", an
// absolute name or a member other than a plain file refuse the copy before anything is written).
// Each file is written beside its name and linked into place when whole, its holes kept, a block
// at a time. Gives back the paths written. Throws errors::ErrorRecord (kNotAKeptCopy) saying why;
// the files whole before the failure stay.
std::vector<std::filesystem::path> ExtractKeptCopy(const std::filesystem::path& path,
                                                   const std::filesystem::path& folder);

}  // namespace wizardcore
