#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "errors/Reporter.h"
#include "sourcecontrol/IVSSDatabase.h"

namespace wizardcore {

// Raised when a file is not a copy Scourwell kept, or cannot be read as one.
inline constexpr std::int32_t kNotAKeptCopy = static_cast<std::int32_t>(0x8004DF12u);

// A copy kept before a purge, read back: the database it came from and each entry it holds with
// the items to put back, the entry first.
struct KeptCopyRead {
  std::string database;
  std::string user;
  std::string time;
  struct Entry {
    std::string spec;
    std::vector<sourcecontrol::RestoredItem> items;
    std::vector<std::string> unreadable;  // items whose content could not be kept
  };
  std::vector<Entry> entries;
};

// Reads the archive at `path`. Throws errors::ErrorRecord (kNotAKeptCopy) saying why.
KeptCopyRead ReadKeptCopy(const std::filesystem::path& path);

// What putting one entry back came to: "restored", or "refused" with the engine's reason.
struct RestoreRow {
  std::string spec;
  std::string outcome;
  errors::CapturedError error;
};

// Puts each entry of `copy` back into `database` as it was before the purge, one by one: an
// entry the engine refuses (its name taken, its project gone) leaves the others to go on.
std::vector<RestoreRow> RestoreKept(sourcecontrol::IVSSDatabase& database,
                                    const KeptCopyRead& copy);

// Extracts every member of the archive at `path` into `folder` (made 0700 when missing): files
// new (0600), never over a file there already, never outside the folder (names with "..", an
// absolute name or a link are refused). Gives back the paths written. Throws errors::ErrorRecord
// (kNotAKeptCopy) saying why; what was written before the failure stays.
std::vector<std::filesystem::path> ExtractKeptCopy(const std::filesystem::path& path,
                                                   const std::filesystem::path& folder);

}  // namespace wizardcore
