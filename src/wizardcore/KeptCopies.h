#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace wizardcore {

// A copy kept before a purge, as its folder holds it.
struct KeptCopyFile {
  std::filesystem::path path;
  std::int64_t size = 0;
  std::time_t written = 0;  // its modification time: a copy is written once
};

// The copies in `folder`, oldest first: its plain files named as copies are (".tar.zst", and
// ".tar" of earlier versions), never a symbolic link or a copy still being written (".part").
// None when the folder is missing. Throws files::FileError when it cannot be read.
std::vector<KeptCopyFile> KeptCopiesIn(const std::filesystem::path& folder);

// "The folder of kept copies holds 3 copies, 12.0 MiB together: vssdb kept lists them and
// removes old ones."
std::string DescribeKeptCopies(const std::vector<KeptCopyFile>& copies);

// The copies of `copies` written more than `days` days before `now`.
std::vector<KeptCopyFile> OlderThan(const std::vector<KeptCopyFile>& copies, int days,
                                    std::time_t now);

// Removes the copy `path` from its folder, never through a symbolic link in its place. Throws
// files::FileError.
void RemoveKeptCopy(const std::filesystem::path& path);

}  // namespace wizardcore
