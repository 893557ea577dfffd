#pragma once

#include <filesystem>

namespace files {

// $HOME when it is a whole path, else the home the password database gives the user, else
// "/nonexistent": never the current folder, which a relative path would mean.
std::filesystem::path HomeFolder();

// An XDG base folder: $`variable` when it holds a whole path (a relative one is to be ignored),
// else HomeFolder()/`belowHome` ("XDG_CONFIG_HOME" and ".config", "XDG_DATA_HOME" and
// ".local/share", "XDG_STATE_HOME" and ".local/state").
std::filesystem::path XdgFolder(const char* variable, const char* belowHome);

}  // namespace files
