#include "platform/files/PlaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace files {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
  throw FileError("Cannot " + what + " '" + path.string() + "': " + std::strerror(error), error);
}

}  // namespace

void SyncFolder(int folder, const std::filesystem::path& shown) {
  if (::fsync(folder) != 0) {
    Fail("save to disk the folder", shown, errno);
  }
}

Placed PlaceNewFile(const FileDescriptor& folder, const std::filesystem::path& shown,
                    const Placement& placement, const std::function<void(int fd)>& fill) {
  const std::filesystem::path temporary = shown / placement.temporary;
  Placed placed;
  placed.file = CreateNewFile(folder, shown, placement.temporary, placement.mode);
  const int fd = placed.file.Get();
  try {
    if (const Ownership* ownership = placement.ownership) {
      // The owner and group first: a change of owner may clear the set-ID bits the mode then sets.
      struct stat made {};
      if (::fstat(fd, &made) != 0) {
        Fail("read", temporary, errno);
      }
      if ((made.st_uid != ownership->owner || made.st_gid != ownership->group) &&
          ::fchown(fd, ownership->owner, ownership->group) != 0) {
        Fail("give its owner and group to", temporary, errno);
      }
      if (::fchmod(fd, ownership->mode) != 0) {
        Fail("set the permissions of", temporary, errno);
      }
    }
    fill(fd);
    if (::fsync(fd) != 0) {
      Fail("save to disk", temporary, errno);
    }
    for (int attempt = 1;; ++attempt) {
      placed.name = placement.name(attempt);
      if (::linkat(folder.Get(), placement.temporary.c_str(), folder.Get(), placed.name.c_str(),
                   0) == 0) {
        break;
      }
      const int error = errno;
      if (error != EEXIST) {
        placed.name.clear();
        Fail("put in place", shown / placement.name(attempt), error);
      }
      if (attempt >= placement.attempts) {
        const std::string taken = placed.name;
        placed.name.clear();
        throw NameTaken("'" + (shown / taken).string() + "' is there already");
      }
    }
    if (::unlinkat(folder.Get(), placement.temporary.c_str(), 0) != 0) {
      Fail("remove", temporary, errno);
    }
    SyncFolder(folder.Get(), shown);
  } catch (...) {
    ::unlinkat(folder.Get(), placement.temporary.c_str(), 0);
    if (!placed.name.empty()) {
      ::unlinkat(folder.Get(), placed.name.c_str(), 0);  // not known to be on disk: not there
    }
    throw;
  }
  return placed;
}

}  // namespace files
