#pragma once

#include <sys/types.h>

#include <vector>

namespace files {

// Which processes have a file open, from /proc: this process's descriptors of it, the other
// processes found with one, and whether some processes could not be looked at (another user's,
// without the right), so that none of them can be ruled out.
struct Holders {
  int ownDescriptors = 0;
  std::vector<pid_t> others;
  bool unseen = false;
};

// The processes that have open the file with device `device` and inode `inode`.
Holders HoldersOf(dev_t device, ino_t inode);

}  // namespace files
