#include "platform/files/SafeFiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace files {
namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path) {
  const int error = errno;
  throw FileError("Cannot " + what + " " + Quoted(path) + ": " + std::strerror(error), error);
}

[[noreturn]] void WrongKind(const std::filesystem::path& path, mode_t mode, const char* wanted) {
  throw FileError(Quoted(path) + " is " + KindOf(mode) + ", not " + wanted +
                      "; it was left alone. Remove it, or name another place",
                  0);
}

// An open that failed because the last name is a symbolic link says so in words of its own.
[[noreturn]] void FailOpen(const std::string& what, const char* wanted,
                           const std::filesystem::path& path, int dirfd, const char* name) {
  const int error = errno;
  struct stat status {};
  if ((error == ELOOP || error == ENOTDIR || error == ENXIO) &&
      ::fstatat(dirfd, name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    WrongKind(path, status.st_mode, wanted);
  }
  errno = error;
  Fail(what, path);
}

}  // namespace

void WriteAll(int fd, std::string_view text, const std::filesystem::path& shown) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      if (written == 0) {
        errno = ENOSPC;
      }
      Fail("write", shown);
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string KindOf(mode_t mode) {
  switch (mode & S_IFMT) {
    case S_IFREG:
      return "a plain file";
    case S_IFDIR:
      return "a folder";
    case S_IFLNK:
      return "a symbolic link";
    case S_IFIFO:
      return "a named pipe";
    case S_IFSOCK:
      return "a socket";
    case S_IFCHR:
    case S_IFBLK:
      return "a device";
    default:
      return "a file of an unknown kind";
  }
}

FileDescriptor OpenFolder(const std::filesystem::path& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) {
    Fail("open the folder", path);
  }
  return fd;
}

FileDescriptor OpenOrMakeFolders(const FileDescriptor& base, const std::filesystem::path& shown,
                                 const std::vector<std::string>& names, mode_t mode,
                                 bool ownedByUser) {
  FileDescriptor current;
  int parent = base.Get();
  std::filesystem::path path = shown;
  for (const std::string& name : names) {
    path /= name;
    const bool made = ::mkdirat(parent, name.c_str(), mode) == 0;
    if (!made && errno != EEXIST) {
      Fail("make the folder", path);
    }
    FileDescriptor next(
        ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.Valid()) {
      FailOpen("open the folder", "a folder", path, parent, name.c_str());
    }
    struct stat status {};
    if (::fstat(next.Get(), &status) != 0) {
      Fail("read", path);
    }
    if (ownedByUser && status.st_uid != ::geteuid()) {
      throw FileError(Quoted(path) + " belongs to another user; it was left alone", EACCES);
    }
    // The umask may have taken bits the folder is meant to have, or left some it must not.
    if (made && ::fchmod(next.Get(), mode) != 0) {
      Fail("set the permissions of", path);
    }
    current = std::move(next);
    parent = current.Get();
  }
  if (!current.Valid()) {
    FileDescriptor copy(::fcntl(base.Get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.Valid()) {
      Fail("open the folder", shown);
    }
    return copy;
  }
  return current;
}

FileDescriptor CreateNewFile(const FileDescriptor& folder, const std::filesystem::path& shown,
                             const std::string& name, mode_t mode) {
  const std::filesystem::path path = shown / name;
  FileDescriptor fd(::openat(folder.Get(), name.c_str(),
                             O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode));
  if (!fd.Valid()) {
    Fail("create", path);
  }
  // The umask may have taken bits the group is meant to have.
  if (::fchmod(fd.Get(), mode) != 0) {
    Fail("set the permissions of", path);
  }
  return fd;
}

FileDescriptor OpenPlainFile(const std::filesystem::path& path, int access) {
  return OpenPlainFileAt(AT_FDCWD, path.string(), path, access);
}

FileDescriptor OpenPlainFileAt(int folder, const std::string& name,
                               const std::filesystem::path& shown, int access) {
  FileDescriptor fd(
      ::openat(folder, name.c_str(), access | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (!fd.Valid()) {
    FailOpen(access == O_RDONLY ? "read" : "open", "a plain file", shown, folder, name.c_str());
  }
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0) {
    Fail("read", shown);
  }
  if (!S_ISREG(status.st_mode)) {
    WrongKind(shown, status.st_mode, "a plain file");
  }
  // Reads of a plain file never wait; the flag only kept the open from waiting on a pipe.
  ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

FileDescriptor OpenFolderAt(int folder, const std::string& name,
                            const std::filesystem::path& shown) {
  FileDescriptor fd(
      ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.Valid()) {
    FailOpen("open the folder", "a folder", shown, folder, name.c_str());
  }
  return fd;
}

void RequirePlainFileOrNothing(const std::filesystem::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) {
      return;
    }
    Fail("read", path);
  }
  if (!S_ISREG(status.st_mode)) {
    WrongKind(path, status.st_mode, "a plain file");
  }
}

std::string ReadPlainFile(const std::filesystem::path& path, std::size_t limit) {
  return ReadOpenFile(OpenPlainFile(path).Get(), path, limit);
}

std::vector<std::string> NamesIn(int folder, const std::filesystem::path& shown) {
  const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  DIR* directory = copy < 0 ? nullptr : ::fdopendir(copy);
  if (directory == nullptr) {
    const int error = errno;
    if (copy >= 0) {
      ::close(copy);
    }
    throw FileError("Cannot read the folder " + Quoted(shown) + ": " + std::strerror(error), error);
  }
  const std::unique_ptr<DIR, int (*)(DIR*)> closer(directory, ::closedir);
  ::rewinddir(directory);  // the copy shares its position with `folder`
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") {
      names.emplace_back(name);
    }
  }
  return names;
}

std::string ReadOpenFile(int fd, const std::filesystem::path& shown, std::size_t limit) {
  // Room for what the file holds now (it may grow meanwhile), never more than the limit allows.
  struct stat status {};
  const std::size_t wanted = ::fstat(fd, &status) == 0 && status.st_size >= 0
                                 ? static_cast<std::size_t>(status.st_size) + 1
                                 : 4096;
  std::string text(std::min(wanted, limit + 1), '\0');
  std::size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t got =
        ::pread(fd, text.data() + filled, text.size() - filled, static_cast<off_t>(filled));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      Fail("read", shown);
    }
    if (got == 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
    if (filled == text.size() && text.size() < limit + 1) {
      text.resize(std::min(text.size() * 2, limit + 1));  // it grew since the fstat
    }
  }
  text.resize(filled);
  return text;
}

void ReplaceFile(const std::filesystem::path& path, std::string_view text, mode_t mode) {
  const std::filesystem::path folderPath = path.has_parent_path() ? path.parent_path() : ".";
  const FileDescriptor folder = OpenFolder(folderPath);
  if (!ReplaceFileAt(folder.Get(), folderPath, path.filename().string(), text,
                     {::geteuid(), static_cast<gid_t>(-1), mode})) {
    const int error = errno;
    throw FileError(
        Quoted(path) + " was written, but its folder could not be synced: " + std::strerror(error),
        error);
  }
}

bool ReplaceFileAt(int folder, const std::filesystem::path& shownFolder, const std::string& name,
                   std::string_view text, const Ownership& ownership) {
  const std::string temporaryName = name + ".new";
  const std::filesystem::path temporary = shownFolder / temporaryName;
  const std::filesystem::path path = shownFolder / name;

  // A temporary left by a crash goes; anything else in its place is someone else's business.
  struct stat status {};
  if (::fstatat(folder, temporaryName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid() || status.st_nlink != 1) {
      const std::string whose = !S_ISREG(status.st_mode)       ? ""
                                : status.st_uid != ::geteuid() ? " of another user"
                                                               : " with other names (hard links)";
      throw FileError(Quoted(temporary) + " is in the way: it is " + KindOf(status.st_mode) +
                          whose + ". It was left alone; remove it and try again",
                      EEXIST);
    }
    if (::unlinkat(folder, temporaryName.c_str(), 0) != 0) {
      Fail("remove the leftover", temporary);
    }
  }

  FileDescriptor fd(::openat(folder, temporaryName.c_str(),
                             O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, ownership.mode));
  if (!fd.Valid()) {
    Fail("create", temporary);
  }
  try {
    // The owner and group first: a change of owner may clear the set-ID bits the mode then sets.
    struct stat made {};
    if (::fstat(fd.Get(), &made) != 0) {
      Fail("read", temporary);
    }
    const gid_t group = ownership.group == static_cast<gid_t>(-1) ? made.st_gid : ownership.group;
    if ((made.st_uid != ownership.owner || made.st_gid != group) &&
        ::fchown(fd.Get(), ownership.owner, group) != 0) {
      Fail("give its owner and group to", temporary);
    }
    // The umask may have taken bits the file is meant to have.
    if (::fchmod(fd.Get(), ownership.mode) != 0) {
      Fail("set the permissions of", temporary);
    }
    WriteAll(fd.Get(), text, temporary);
    if (::fsync(fd.Get()) != 0 || !fd.Close()) {
      Fail("write", temporary);
    }
    if (::renameat(folder, temporaryName.c_str(), folder, name.c_str()) != 0) {
      Fail("replace", path);
    }
  } catch (const FileError&) {
    ::unlinkat(folder, temporaryName.c_str(), 0);
    throw;
  }
  return ::fsync(folder) == 0;  // makes the rename itself durable
}

}  // namespace files
