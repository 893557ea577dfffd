#include "engines/vss6/DataFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "engines/vss6/Records.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const noexcept { ::closedir(directory); }
};

enum class Kind { kFile, kFolder, kLink, kOther };

struct Name {
  std::string name;
  Kind kind;
};

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The names in the open folder `fd`, each with its kind (a link is never followed).
std::vector<Name> ListFolder(int fd, const std::filesystem::path& shown) {
  const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  std::unique_ptr<DIR, DirectoryCloser> directory(copy < 0 ? nullptr : ::fdopendir(copy));
  if (!directory) {
    const int error = errno;
    if (copy >= 0) {
      ::close(copy);
    }
    throw FormatError("Cannot read the folder " + Quoted(shown) + ": " + std::strerror(error));
  }
  ::rewinddir(directory.get());  // the copy shares its position with `fd`
  std::vector<Name> names;
  while (const dirent* entry = ::readdir(directory.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") {
      continue;
    }
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat status {};
      if (::fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        type = S_ISLNK(status.st_mode)   ? DT_LNK
               : S_ISDIR(status.st_mode) ? DT_DIR
               : S_ISREG(status.st_mode) ? DT_REG
                                         : DT_UNKNOWN;
      }
    }
    names.push_back({name, type == DT_REG   ? Kind::kFile
                           : type == DT_DIR ? Kind::kFolder
                           : type == DT_LNK ? Kind::kLink
                                            : Kind::kOther});
  }
  return names;
}

[[noreturn]] void LinkRefused(const std::filesystem::path& link) {
  throw FormatError(Quoted(link) +
                    " is a symbolic link: links in a database's data folder are not followed, "
                    "so it was left alone. Put the folder it points to in its place");
}

bool InGroup(gid_t group) {
  if (group == ::getegid()) {
    return true;
  }
  const int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
  const int got = ::getgroups(static_cast<int>(groups.size()), groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

DataFolder::DataFolder(std::filesystem::path path) : path_(path.lexically_normal()) {
  if (!path_.has_filename() && path_.has_parent_path()) {
    path_ = path_.parent_path();  // "data/" names the folder "data"
  }
  try {
    fd_ = files::OpenFolderAt(AT_FDCWD, path_.string(), path_);
  } catch (const files::FileError& error) {
    struct stat status {};
    if (::lstat(path_.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
      LinkRefused(path_);
    }
    throw FormatError(error.what());
  }
}

struct stat DataFolder::Status() const {
  struct stat status {};
  if (::fstat(fd_.Get(), &status) != 0) {
    throw FormatError("Cannot read the folder " + Quoted(path_) + ": " + std::strerror(errno));
  }
  return status;
}

DataFolder::Letter* DataFolder::LetterFolder(const std::string& letter) {
  if (const auto found = letters_.find(letter); found != letters_.end()) {
    return found->second.fd.Valid() ? &found->second : nullptr;
  }
  Letter& folder = letters_[letter];
  for (const Name& entry : ListFolder(fd_.Get(), path_)) {
    if (text::AsciiLower(entry.name) != letter) {
      continue;
    }
    if (entry.kind == Kind::kLink) {
      letters_.erase(letter);
      LinkRefused(path_ / entry.name);
    }
    if (entry.kind != Kind::kFolder) {
      continue;
    }
    folder.name = entry.name;
    try {
      folder.fd = files::OpenFolderAt(fd_.Get(), entry.name, path_ / entry.name);
      Relist(folder);
    } catch (...) {
      letters_.erase(letter);
      throw;
    }
    return &folder;
  }
  return nullptr;
}

bool DataFolder::Relist(Letter& folder) {
  struct stat status {};
  if (::fstat(folder.fd.Get(), &status) != 0) {
    throw FormatError("Cannot read the folder " + Quoted(path_ / folder.name) + ": " +
                      std::strerror(errno));
  }
  if (!folder.files.empty() && status.st_mtim.tv_sec == folder.listed.tv_sec &&
      status.st_mtim.tv_nsec == folder.listed.tv_nsec) {
    return false;
  }
  // The time first: a change made while the folder is listed shows at the next look.
  folder.listed = status.st_mtim;
  folder.files.clear();
  for (const Name& file : ListFolder(folder.fd.Get(), path_ / folder.name)) {
    folder.files.emplace(text::AsciiLower(file.name), file.name);
  }
  return true;
}

void DataFolder::Changed(Letter& folder) {
  struct stat status {};
  if (::fstat(folder.fd.Get(), &status) == 0) {
    folder.listed = status.st_mtim;
  }
}

DataFolder::Letter* DataFolder::LetterOf(const std::filesystem::path& file) {
  return LetterFolder(text::AsciiLower(file.parent_path().filename().string()));
}

std::filesystem::path DataFolder::ItemPath(const std::string& physical,
                                           std::string_view extension) {
  std::filesystem::path found = FindItemFile(physical, extension);
  if (found.empty()) {
    throw FormatError("The item file " +
                      Quoted(path_ / text::AsciiLower(physical.substr(0, 1)) /
                             text::AsciiLower(physical + std::string(extension))) +
                      " is missing");
  }
  return found;
}

std::filesystem::path DataFolder::FindItemFile(const std::string& physical,
                                               std::string_view extension) {
  Letter* folder = LetterFolder(text::AsciiLower(physical.substr(0, 1)));
  if (folder == nullptr) {
    return {};
  }
  const std::string name = text::AsciiLower(physical + std::string(extension));
  auto found = folder->files.find(name);
  if (found == folder->files.end() && Relist(*folder)) {
    found = folder->files.find(name);
  }
  return found == folder->files.end() ? std::filesystem::path()
                                      : path_ / folder->name / found->second;
}

std::filesystem::path DataFolder::Find(const std::string& name) {
  for (const Name& entry : ListFolder(fd_.Get(), path_)) {
    if (text::AsciiEqualNoCase(entry.name, name)) {
      return path_ / entry.name;
    }
  }
  return {};
}

DataFolder::Contents DataFolder::List() {
  Contents contents;
  for (const Name& entry : ListFolder(fd_.Get(), path_)) {
    if (entry.kind == Kind::kLink) {
      contents.links.push_back(path_ / entry.name);
    } else if (entry.kind == Kind::kFolder && entry.name.size() == 1) {
      const files::FileDescriptor folder =
          files::OpenFolderAt(fd_.Get(), entry.name, path_ / entry.name);
      for (const Name& file : ListFolder(folder.Get(), path_ / entry.name)) {
        if (file.kind == Kind::kFile) {
          contents.files.push_back(path_ / entry.name / file.name);
        } else if (file.kind == Kind::kLink) {
          contents.links.push_back(path_ / entry.name / file.name);
        }
      }
    }
  }
  return contents;
}

std::pair<int, std::string> DataFolder::Locate(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path();
  if (folder == path_) {
    return {fd_.Get(), file.filename().string()};
  }
  if (folder.parent_path() == path_ && folder.filename().string().size() == 1) {
    if (const Letter* letter = LetterOf(file)) {
      return {letter->fd.Get(), file.filename().string()};
    }
    throw FormatError("The folder " + Quoted(folder) + " is missing");
  }
  throw FormatError(Quoted(file) + " is not a file of the data folder " + Quoted(path_));
}

std::vector<unsigned char> DataFolder::Read(const std::filesystem::path& file, std::size_t limit) {
  try {
    const auto [folder, name] = Locate(file);
    const files::FileDescriptor fd = files::OpenPlainFileAt(folder, name, file);
    const std::string text = files::ReadOpenFile(fd.Get(), file, limit);
    return {text.begin(), text.end()};
  } catch (const files::FileError& error) {
    throw FormatError(error.what());
  }
}

std::vector<unsigned char> DataFolder::ReadWhole(const std::filesystem::path& file) {
  constexpr std::size_t kMaxFileBytes = 256u << 20;
  std::vector<unsigned char> bytes = Read(file, kMaxFileBytes);
  if (bytes.size() > kMaxFileBytes) {
    throw FormatError(Quoted(file) + " is larger than a file of a database can be");
  }
  return bytes;
}

files::FileDescriptor DataFolder::Open(const std::filesystem::path& file, int access) {
  const auto [folder, name] = Locate(file);
  return files::OpenPlainFileAt(folder, name, file, access);
}

void DataFolder::Replace(const std::filesystem::path& file, std::string_view bytes,
                         const files::Ownership& ownership) {
  const auto [folder, name] = Locate(file);
  const bool synced = files::ReplaceFileAt(folder, file.parent_path(), name, bytes, ownership);
  if (Letter* letter = file.parent_path() == path_ ? nullptr : LetterOf(file)) {
    letter->files[text::AsciiLower(name)] = name;
    letter->unsynced = letter->unsynced || !synced;
    Changed(*letter);
  } else {
    rootUnsynced_ = rootUnsynced_ || !synced;
  }
}

void DataFolder::Remove(const std::filesystem::path& file) {
  const auto [folder, name] = Locate(file);
  if (::unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT) {
    const int error = errno;
    throw files::FileError("Cannot remove " + Quoted(file) + ": " + std::strerror(error), error);
  }
  if (Letter* letter = file.parent_path() == path_ ? nullptr : LetterOf(file)) {
    letter->files.erase(text::AsciiLower(name));
    letter->unsynced = true;  // a file written anew syncs its folder itself; a removal does not
    Changed(*letter);
  }
}

bool DataFolder::Sync() {
  bool synced = !rootUnsynced_;
  rootUnsynced_ = false;
  for (auto& [letter, folder] : letters_) {
    if (folder.fd.Valid() && folder.unsynced) {
      synced = ::fsync(folder.fd.Get()) == 0 && synced;
      folder.unsynced = false;
    }
  }
  return synced;
}

void DataFolder::RequireRemovable(const std::filesystem::path& file) {
  const auto [folder, name] = Locate(file);
  const std::filesystem::path shown = file.parent_path();
  struct statvfs volume {};
  if (::fstatvfs(folder, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0) {
    throw PermissionRefused("The folder " + Quoted(shown) + " is on a read-only file system, so " +
                            Quoted(file) + " could not be removed; nothing was changed");
  }
  if (::faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    const int error = errno;
    throw PermissionRefused("This user may not change the folder " + Quoted(shown) + " (" +
                            std::strerror(error) + "), so " + Quoted(file) +
                            " could not be removed; nothing was changed");
  }
  struct stat folderStatus {};
  struct stat fileStatus {};
  if (::geteuid() != 0 && ::fstat(folder, &folderStatus) == 0 &&
      (folderStatus.st_mode & S_ISVTX) != 0 && folderStatus.st_uid != ::geteuid() &&
      ::fstatat(folder, name.c_str(), &fileStatus, AT_SYMLINK_NOFOLLOW) == 0 &&
      fileStatus.st_uid != ::geteuid()) {
    throw PermissionRefused("The folder " + Quoted(shown) +
                            " lets only a file's owner remove it (its sticky bit is set), and " +
                            Quoted(file) + " belongs to user " + std::to_string(fileStatus.st_uid) +
                            "; nothing was changed");
  }
}

void DataFolder::RequireOwnership(const std::filesystem::path& file,
                                  const files::Ownership& ownership) {
  if (::geteuid() == 0) {
    return;  // root gives any file any owner
  }
  if (ownership.owner != ::geteuid()) {
    throw PermissionRefused(Quoted(file) + " belongs to user " + std::to_string(ownership.owner) +
                            ", and written anew by user " + std::to_string(::geteuid()) +
                            " it would belong to that user; run the destroy as its owner or as "
                            "root. Nothing was changed");
  }
  const auto [folder, name] = Locate(file);
  struct stat folderStatus {};
  const gid_t newGroup = ::fstat(folder, &folderStatus) == 0 && (folderStatus.st_mode & S_ISGID)
                             ? folderStatus.st_gid
                             : ::getegid();
  if (ownership.group != newGroup && !InGroup(ownership.group)) {
    throw PermissionRefused(Quoted(file) + " belongs to group " + std::to_string(ownership.group) +
                            ", which user " + std::to_string(::geteuid()) +
                            " is not a member of, so a file written anew could not keep it. "
                            "Nothing was changed");
  }
}

}  // namespace vss6
