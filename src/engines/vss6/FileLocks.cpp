#include "engines/vss6/FileLocks.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "platform/files/SafeFiles.h"

namespace vss6 {

bool LockOpenFile(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;  // to the end, however long the file grows
  return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

int FileLocks::Lock(DataFolder& data, const std::filesystem::path& path) {
  files::FileDescriptor fd = data.Open(path, O_RDWR);
  if (!LockOpenFile(fd.Get())) {
    const int error = errno;
    if (error == EAGAIN || error == EACCES) {
      throw LockedError("'" + path.string() +
                        "' is locked by another program, perhaps a SourceSafe client at work; "
                        "nothing was changed. Try again when it is done");
    }
    throw files::FileError("Cannot lock '" + path.string() + "': " + std::strerror(error), error);
  }
  held_.push_back(std::move(fd));
  return held_.back().Get();
}

}  // namespace vss6
