#include "platform/files/XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace files {

std::filesystem::path HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home == '/') {
    return home;
  }
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return "/nonexistent";
}

std::filesystem::path XdgFolder(const char* variable, const char* belowHome) {
  if (const char* set = std::getenv(variable); set != nullptr && *set == '/') {
    return set;
  }
  return HomeFolder() / belowHome;
}

}  // namespace files
