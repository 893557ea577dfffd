#pragma once

#include <sys/types.h>

#include <vector>

namespace files {

// Which processes have a file open, from /proc: this process's descriptors of it, and the other
// processes found with one. Processes this one may not look at (another user's, without the
// right) are not among them.
struct Holders {
  int ownDescriptors = 0;
  std::vector<pid_t> others;
};

// The processes that have open the file with device `device` and inode `inode`.
Holders HoldersOf(dev_t device, ino_t inode);

}  // namespace files
