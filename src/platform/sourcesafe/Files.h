#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace sourcesafe {

// The permissions of a new database file in `folder`: the owner's alone, or the owner's and the
// group's where the folder is meant to be shared by its group (its set-group-ID bit is on).
mode_t NewFileMode(const std::filesystem::path& folder);

// Creates `path`, which must not exist yet, as an empty file with `mode`.
void CreateEmptyFile(const std::filesystem::path& path, mode_t mode);

// Writes `text` to `path` so that a crash leaves the old file or the new one, never a torn one:
// a temporary file beside it, flushed to disk, then renamed over it.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view text, mode_t mode);

}  // namespace sourcesafe
