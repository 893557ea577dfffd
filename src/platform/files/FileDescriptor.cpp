#include "platform/files/FileDescriptor.h"

#include <unistd.h>

namespace files {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = other.Release();
  }
  return *this;
}

bool FileDescriptor::Close() noexcept {
  const int fd = Release();
  return fd < 0 || ::close(fd) == 0;
}

}  // namespace files
