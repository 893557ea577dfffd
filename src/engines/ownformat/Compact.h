#pragma once

#include <cstdint>
#include <string>

namespace sourcesafe {

// The data file's size before and after a compaction.
struct Compacted {
  std::int64_t before = 0;
  std::int64_t after = 0;
};

// Gives the free pages of the database at `path` back to the file system: a compacted copy of the
// data file is written beside it, synced, given the file's owner, group and mode, and renamed into
// its place. Only a user with the destroy right may. Refused, with nothing changed, while another
// process has the data file open, when someone changes the database meanwhile, or when a file is
// in the way of the copy (kAccessDenied, kItemChanged, kAlreadyExists; kStorageFailure for the
// file system's own failures).
Compacted CompactDatabase(const std::string& path, const std::string& user,
                          const std::string& password);

}  // namespace sourcesafe
