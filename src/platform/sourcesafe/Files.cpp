#include "platform/sourcesafe/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/sourcesafe/EngineError.h"

namespace sourcesafe {
namespace {

// A file descriptor closed when the object goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const noexcept { return fd_; }
  // Closes now, reporting whether the close succeeded.
  bool Close() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path) {
  throw EngineError(ErrorCode::kStorageFailure,
                    "Cannot " + what + " '" + path.string() + "': " + std::strerror(errno));
}

}  // namespace

mode_t NewFileMode(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0 && (status.st_mode & S_ISGID) != 0) {
    return 0660;
  }
  return 0600;
}

void CreateEmptyFile(const std::filesystem::path& path, mode_t mode) {
  FileDescriptor fd(::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
  if (fd.Get() < 0) {
    Fail("create", path);
  }
  // The umask may have taken bits the group is meant to have.
  if (::fchmod(fd.Get(), mode) != 0 || !fd.Close()) {
    Fail("create", path);
  }
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view text, mode_t mode) {
  const std::filesystem::path temporary = path.string() + ".new";
  FileDescriptor fd(::open(temporary.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, mode));
  if (fd.Get() < 0) {
    Fail("create", temporary);
  }
  while (!text.empty()) {
    const ssize_t written = ::write(fd.Get(), text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      const int saved = errno;
      ::unlink(temporary.c_str());
      errno = saved;
      Fail("write", temporary);
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0 || !fd.Close()) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    Fail("write", temporary);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    Fail("replace", path);
  }
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() >= 0) {
    ::fsync(directory.Get());  // makes the rename itself durable
  }
}

}  // namespace sourcesafe
