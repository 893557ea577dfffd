#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeFiles.h"

namespace files {

// The last name a file could be put in place under is taken.
class NameTaken : public FileError {
 public:
  explicit NameTaken(const std::string& description) : FileError(description, EEXIST) {}
};

// How a file written beside its name is put in place.
struct Placement {
  // Its name while it is written, in the same folder; it must be free.
  std::string temporary;
  // Its name once whole, for attempt 1, 2, ...: the next is tried while one is taken, up to
  // `attempts`; then NameTaken.
  std::function<std::string(int attempt)> name;
  int attempts = 1;
  mode_t mode = 0600;
  // Given to the file (owner, group and exactly its mode) before anything is written to it.
  const Ownership* ownership = nullptr;
};

// A file put in place: its name, and the file, still open.
struct Placed {
  std::string name;
  FileDescriptor file;
};

// Makes `placement.temporary` new in the open folder `folder` (shown as `shown` in messages),
// lets `fill` write it, syncs it, links it to its name (never over another file), removes the
// temporary and syncs the folder. On any failure, `fill`'s own exceptions included, neither the
// temporary nor the new name is left, and the failure is raised (FileError for the file's own).
[[nodiscard]] Placed PlaceNewFile(const FileDescriptor& folder, const std::filesystem::path& shown,
                                  const Placement& placement,
                                  const std::function<void(int fd)>& fill);

// Syncs the open folder `folder`, so that the names made and removed in it are on disk; raises
// FileError naming `shown` when it cannot.
void SyncFolder(int folder, const std::filesystem::path& shown);

}  // namespace files
