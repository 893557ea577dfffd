#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {

// A file of the database may not be changed by this process the way a destroy changes it: its
// folder cannot be written, or the file could not keep its owner. Nothing was written.
class PermissionRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The data folder of a database, opened once: the files of each item in the letter folder of its
// physical name, found without regard to case (copies made on other systems change it). Each
// letter folder is listed once and its listing kept true after this object's own writes; a file
// not found in it is looked for again in a new listing when the folder changed since (another
// program made or removed files there), told by its modification time. Every file
// and letter folder is reached from the data folder's descriptor and never through a symbolic
// link, so that a link planted in the database cannot lead a read, a write or a removal outside
// it. Files are named by the paths this object hands out (data/NAME, data/LETTER/NAME).
class DataFolder {
 public:
  // Opens the folder at `path`; a symbolic link in its place is a FormatError naming it.
  explicit DataFolder(std::filesystem::path path);

  const std::filesystem::path& Path() const noexcept { return path_; }
  // The folder's device and inode, which name it whatever path reaches it. Throws FormatError.
  struct stat Status() const;

  // The item file of `physical`, or with an extension (".A") its data file. Throws FormatError
  // naming the file when it is missing.
  std::filesystem::path ItemPath(const std::string& physical, std::string_view extension = {});
  // As ItemPath, but empty when the file is missing.
  std::filesystem::path FindItemFile(const std::string& physical, std::string_view extension = {});
  // A file of the data folder itself (names.dat, um.dat) in any case; empty when there is none.
  std::filesystem::path Find(const std::string& name);

  // Every plain file of the letter folders, and every symbolic link in the data folder or in them
  // (which this program does not follow).
  struct Contents {
    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> links;
  };
  Contents List();

  // At most `limit` + 1 bytes of a plain file; throws FormatError.
  std::vector<unsigned char> Read(const std::filesystem::path& file, std::size_t limit);
  // A whole plain file; a FormatError when it is larger than any file of a database can be, which
  // keeps a damaged or hostile one from taking the memory.
  std::vector<unsigned char> ReadWhole(const std::filesystem::path& file);
  // Opens a plain file with `access`; throws files::FileError.
  files::FileDescriptor Open(const std::filesystem::path& file, int access);

  // Writes `bytes` in place of `file` (made when missing) so that a crash leaves the old file or
  // the new one, the new one given `ownership`; throws files::FileError.
  void Replace(const std::filesystem::path& file, std::string_view bytes,
               const files::Ownership& ownership);
  // Removes a file; one already gone is fine. Throws files::FileError.
  void Remove(const std::filesystem::path& file);
  // Makes the removals so far durable, and the replacements whose own folder sync failed: syncs
  // the folders they were made in. False when one of them could not be synced.
  [[nodiscard]] bool Sync();
  // Throws PermissionRefused unless this process can make and remove files in the folder of
  // `file` and, when it is there, remove `file` itself (the sticky bit lets only its owner).
  void RequireRemovable(const std::filesystem::path& file);
  // Throws PermissionRefused unless a file written in place of one with `ownership`, in the folder
  // of `file`, can be given that owner and group by this process.
  void RequireOwnership(const std::filesystem::path& file, const files::Ownership& ownership);

 private:
  struct Letter {
    std::string name;  // as on disk
    files::FileDescriptor fd;
    std::unordered_map<std::string, std::string> files;  // lower-case name → name on disk
    struct timespec listed {};                           // the folder's time when listed
    bool unsynced = false;  // this object removed files from it since the last Sync
  };
  bool rootUnsynced_ = false;  // a replacement in the data folder itself was not synced
  Letter* LetterFolder(const std::string& letter);  // null when there is none
  // Lists the folder's files anew when it changed since it was listed; false when it did not.
  bool Relist(Letter& folder);
  // After this object changed the folder: its listing stays true, and so its time.
  void Changed(Letter& folder);
  Letter* LetterOf(const std::filesystem::path& file);  // the letter folder holding `file`
  // The open folder holding `file`, and its name there.
  std::pair<int, std::string> Locate(const std::filesystem::path& file);

  std::filesystem::path path_;
  files::FileDescriptor fd_;
  std::unordered_map<std::string, Letter> letters_;  // by lower-case letter
};

}  // namespace vss6
