#include "platform/files/Holders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeFiles.h"

namespace files {
namespace {

std::optional<pid_t> PidOf(std::string_view name) {
  pid_t pid = 0;
  const char* end = name.data() + name.size();
  if (name.empty() || std::from_chars(name.data(), end, pid).ptr != end || pid <= 0) {
    return std::nullopt;
  }
  return pid;
}

// How many descriptors of process `pid` name the file; 0 when they cannot be read (another
// user's process, or one gone meanwhile).
int DescriptorsOf(pid_t pid, dev_t device, ino_t inode) {
  const std::filesystem::path folder = "/proc/" + std::to_string(pid) + "/fd";
  const FileDescriptor fds(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fds.Valid()) {
    return 0;
  }
  int count = 0;
  try {
    for (const std::string& name : NamesIn(fds.Get(), folder)) {
      struct stat status {};
      // The descriptor's link is followed to what it has open: the file itself, wherever it is.
      if (::fstatat(fds.Get(), name.c_str(), &status, 0) == 0 && status.st_dev == device &&
          status.st_ino == inode) {
        ++count;
      }
    }
  } catch (const FileError&) {
    return 0;
  }
  return count;
}

}  // namespace

Holders HoldersOf(dev_t device, ino_t inode) {
  Holders holders;
  const FileDescriptor proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!proc.Valid()) {
    return holders;
  }
  const pid_t self = ::getpid();
  for (const std::string& name : NamesIn(proc.Get(), "/proc")) {
    const std::optional<pid_t> pid = PidOf(name);
    if (!pid) {
      continue;
    }
    const int count = DescriptorsOf(*pid, device, inode);
    if (*pid == self) {
      holders.ownDescriptors = count;
    } else if (count > 0) {
      holders.others.push_back(*pid);
    }
  }
  return holders;
}

}  // namespace files
