#pragma once

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "platform/files/FileDescriptor.h"

namespace vss6 {

// Another program holds a lock on a file this program wants to change.
class LockedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Takes a write lock on the whole open file `fd` without waiting, held until the last descriptor
// of that open file is closed. False when it cannot be had (errno says why: EAGAIN when another
// open file holds a lock).
[[nodiscard]] bool LockOpenFile(int fd);

// Write locks on whole files of a database, held until the object goes. They are locks of the
// open file (not of the process), so that reading the same file through another descriptor and
// closing it does not drop them; a CIFS mount passes them on to the server like other POSIX
// locks, so that a client on another machine that locks the same files sees them.
class FileLocks {
 public:
  FileLocks() = default;
  FileLocks(FileLocks&&) = default;
  FileLocks& operator=(FileLocks&&) = default;
  FileLocks(const FileLocks&) = delete;
  FileLocks& operator=(const FileLocks&) = delete;

  // Locks the whole plain file `path` of `data` without waiting, and gives back its descriptor
  // (open for reading and writing, and kept open by this object). Throws LockedError when another
  // open file holds a lock on it, and files::FileError when it cannot be opened or locks cannot be
  // taken there.
  int Lock(DataFolder& data, const std::filesystem::path& path);

 private:
  std::vector<files::FileDescriptor> held_;
};

}  // namespace vss6
