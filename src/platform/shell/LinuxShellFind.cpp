// The shell stand-in's file search: FindFirstFile with * and ? as its only wildcards.
#include <fnmatch.h>

#include <filesystem>

#include "platform/shell/LinuxShell.h"

namespace shell {

HANDLE LinuxShell::FindFirstFile(const std::string& pattern, WIN32_FIND_DATA* found) {
  const std::filesystem::path path(pattern);
  const std::string name = path.filename().string();
  std::error_code error;
  if (name.find_first_of("*?") == std::string::npos) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
      return INVALID_HANDLE_VALUE;
    }
    if (found != nullptr) {
      found->cFileName = name;
    }
    return NewHandle({Handle::kSearch});
  }
  // Only * and ? are wildcards; '[' is an ordinary character.
  std::string fnmatchPattern;
  for (const char c : name) {
    fnmatchPattern += c == '[' ? std::string("[[]") : std::string(1, c);
  }
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string entryName = entry.path().filename().string();
    if (::fnmatch(fnmatchPattern.c_str(), entryName.c_str(), FNM_PERIOD) == 0) {
      if (found != nullptr) {
        found->cFileName = entryName;
      }
      return NewHandle({Handle::kSearch});
    }
  }
  return INVALID_HANDLE_VALUE;
}

BOOL LinuxShell::FindClose(HANDLE search) {
  const auto found = handles_.find(search);
  if (found == handles_.end() || found->second.kind != Handle::kSearch) {
    return 0;
  }
  handles_.erase(found);
  return 1;
}

}  // namespace shell
