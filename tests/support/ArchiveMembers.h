#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace testing_support {

// The members of a tar archive and their bytes, read back with libarchive.
inline std::map<std::string, std::string> ArchiveMembers(const std::filesystem::path& file) {
  std::map<std::string, std::string> members;
  archive* in = archive_read_new();
  archive_read_support_format_tar(in);
  EXPECT_EQ(archive_read_open_filename(in, file.c_str(), 10240), ARCHIVE_OK) << file;
  archive_entry* entry = nullptr;
  while (archive_read_next_header(in, &entry) == ARCHIVE_OK) {
    std::string bytes(static_cast<std::size_t>(archive_entry_size(entry)), '\0');
    if (!bytes.empty()) {
      EXPECT_EQ(archive_read_data(in, bytes.data(), bytes.size()),
                static_cast<la_ssize_t>(bytes.size()));
    }
    members[archive_entry_pathname_utf8(entry)] = bytes;
  }
  archive_read_free(in);
  return members;
}

}  // namespace testing_support
