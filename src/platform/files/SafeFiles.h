#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileDescriptor.h"

namespace files {

// A file could not be made, opened or written. The description names the file and says what is
// wrong with it; `Errno` is the system's error number (0 where the file is of the wrong kind).
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& description, int error)
      : std::runtime_error(description), errno_(error) {}
  int Errno() const noexcept { return errno_; }

 private:
  int errno_;
};

// What a file of this mode is, as said to a user: "a symbolic link", "a named pipe", ...
std::string KindOf(mode_t mode);

// Opens the folder at `path`, which the caller names (symbolic links along it are followed).
FileDescriptor OpenFolder(const std::filesystem::path& path);

// Opens, below the open folder `base`, the folders `names` one inside the other, making those
// that are missing with exactly `mode` (the umask takes nothing). No name is followed when it is
// a symbolic link; with `ownedByUser` every folder must belong to the user running the program.
// `shown` is `base`'s path, for the messages.
FileDescriptor OpenOrMakeFolders(const FileDescriptor& base, const std::filesystem::path& shown,
                                 const std::vector<std::string>& names, mode_t mode,
                                 bool ownedByUser);

// Makes `name` in the open folder as a new, empty file with exactly `mode`, open for writing.
// Fails when anything, a symbolic link included, is there already.
FileDescriptor CreateNewFile(const FileDescriptor& folder, const std::filesystem::path& shown,
                             const std::string& name, mode_t mode);

// Opens an existing plain file with `access` (O_RDONLY or O_RDWR): never through a symbolic link
// at its last name, never waiting on a named pipe, and refusing anything but a plain file.
FileDescriptor OpenPlainFile(const std::filesystem::path& path, int access = O_RDONLY);
// As OpenPlainFile, for the file `name` of the open folder `folder`; `shown` names it in messages.
FileDescriptor OpenPlainFileAt(int folder, const std::string& name,
                               const std::filesystem::path& shown, int access = O_RDONLY);

// The names in the open folder `folder` ("." and ".." aside), in no order; `shown` names it in
// messages. Throws FileError when it cannot be read.
std::vector<std::string> NamesIn(int folder, const std::filesystem::path& shown);

// Opens the folder `name` of the open folder `folder`, never through a symbolic link.
FileDescriptor OpenFolderAt(int folder, const std::string& name,
                            const std::filesystem::path& shown);

// Throws unless `path` is missing or a plain file (a symbolic link counts as neither).
void RequirePlainFileOrNothing(const std::filesystem::path& path);

// Reads at most `limit` + 1 bytes of the plain file at `path`, so that a caller can tell a file
// that is too long.
std::string ReadPlainFile(const std::filesystem::path& path, std::size_t limit);
// As ReadPlainFile, from an open file; `shown` names it in messages.
std::string ReadOpenFile(int fd, const std::filesystem::path& shown, std::size_t limit);

// Writes all of `text` to the open file `fd` (shown as `shown`); raises FileError.
void WriteAll(int fd, std::string_view text, const std::filesystem::path& shown);

// The owner, group and permissions a file is written with.
struct Ownership {
  uid_t owner = 0;
  gid_t group = 0;
  mode_t mode = 0;
};

// Writes `text` to `path` so that a crash leaves the old file or the new one, never a torn one:
// a new file "<name>.new" beside it with exactly `mode`, flushed to disk, then renamed over it.
// A leftover "<name>.new" is removed only when it is a plain file of the user's own. A folder
// that cannot be synced after the rename is a FileError, though the new text is in place.
void ReplaceFile(const std::filesystem::path& path, std::string_view text, mode_t mode);
// As ReplaceFile, for the file `name` of the open folder `folder` (shown as `shownFolder`), the
// new file given `ownership` before it takes the old one's place. The new text is in place when it
// returns; false says the folder could not be synced after the rename, so that the rename may be
// lost in a crash and the caller decides what that means for its change.
[[nodiscard]] bool ReplaceFileAt(int folder, const std::filesystem::path& shownFolder,
                                 const std::string& name, std::string_view text,
                                 const Ownership& ownership);

}  // namespace files
