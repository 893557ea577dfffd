#pragma once

#include <filesystem>

#include "platform/files/FileDescriptor.h"

namespace wizardcore {

// files::XdgFolder(`variable`, `belowHome`)/scourwell.
std::filesystem::path ScourwellFolder(const char* variable, const char* belowHome);

// Opens the folder at `path`, making it and the missing folders on the way the user's alone
// (0700), never through a symbolic link among those it makes. Throws files::FileError.
files::FileDescriptor OpenUserFolder(const std::filesystem::path& path);

}  // namespace wizardcore
