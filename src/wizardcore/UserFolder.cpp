#include "wizardcore/UserFolder.h"

#include <string>
#include <vector>

#include "platform/files/SafeFiles.h"
#include "platform/files/XdgFolders.h"

namespace wizardcore {

std::filesystem::path ScourwellFolder(const char* variable, const char* belowHome) {
  return files::XdgFolder(variable, belowHome) / "scourwell";
}

files::FileDescriptor OpenUserFolder(const std::filesystem::path& path) {
  std::vector<std::string> names;
  std::filesystem::path existing = path;
  while (!existing.empty() && existing != existing.root_path() &&
         !std::filesystem::is_directory(existing)) {
    names.insert(names.begin(), existing.filename().string());
    existing = existing.parent_path();
  }
  if (names.empty()) {
    return files::OpenFolder(path);
  }
  return files::OpenOrMakeFolders(files::OpenFolder(existing.empty() ? "." : existing), existing,
                                  names, 0700, true);
}

}  // namespace wizardcore
