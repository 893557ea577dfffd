#include "platform/files/Holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/FileDescriptor.h"

namespace files {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

std::optional<pid_t> PidOf(std::string_view name) {
  pid_t pid = 0;
  const char* end = name.data() + name.size();
  if (name.empty() || std::from_chars(name.data(), end, pid).ptr != end || pid <= 0) {
    return std::nullopt;
  }
  return pid;
}

// How many descriptors of process `pid` name the file; none when they cannot be read.
std::optional<int> DescriptorsOf(pid_t pid, dev_t device, ino_t inode) {
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
  FileDescriptor fds(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fds.Valid()) {
    return std::nullopt;
  }
  Dir dir(::fdopendir(::dup(fds.Get())));
  if (!dir) {
    return std::nullopt;
  }
  int count = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    struct stat status {};
    // The descriptor's link is followed to what it has open: the file itself, wherever it is.
    if (entry->d_name[0] != '.' && ::fstatat(fds.Get(), entry->d_name, &status, 0) == 0 &&
        status.st_dev == device && status.st_ino == inode) {
      ++count;
    }
  }
  return count;
}

}  // namespace

Holders HoldersOf(dev_t device, ino_t inode) {
  Holders holders;
  Dir proc(::opendir("/proc"));
  if (!proc) {
    holders.unseen = true;
    return holders;
  }
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(proc.get())) {
    const std::optional<pid_t> pid = PidOf(entry->d_name);
    if (!pid) {
      continue;
    }
    const std::optional<int> count = DescriptorsOf(*pid, device, inode);
    if (!count) {
      holders.unseen = true;  // another user's, or gone meanwhile
      continue;
    }
    if (*pid == self) {
      holders.ownDescriptors = *count;
    } else if (*count > 0) {
      holders.others.push_back(*pid);
    }
  }
  return holders;
}

}  // namespace files
