#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace sourcesafe {

// The permissions of a new database file in `folder`: the owner's alone, or the owner's and the
// group's where the folder is meant to be shared by its group (its set-group-ID bit is on).
mode_t NewFileMode(const std::filesystem::path& folder);

// Creates `path`, which must not exist yet (not even as a symbolic link), as an empty file with
// exactly `mode`.
void CreateEmptyFile(const std::filesystem::path& path, mode_t mode);

// Writes `text` to `path` so that a crash leaves the old file or the new one, never a torn one.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view text, mode_t mode);

// The start of the plain file at `path`: at most `limit` + 1 bytes. A symbolic link, a named pipe
// or a device in its place is refused without waiting on it.
std::string ReadSmallFile(const std::filesystem::path& path, std::size_t limit);

// Throws unless `dataFile` is a plain file and its journal, when there is one, is one too.
void RequirePlainDataFile(const std::filesystem::path& dataFile);

}  // namespace sourcesafe
