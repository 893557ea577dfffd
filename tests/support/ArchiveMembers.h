#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// The members of a tar archive and their bytes, read back with libarchive.
inline std::map<std::string, std::string> ArchiveMembers(const std::filesystem::path& file) {
  std::map<std::string, std::string> members;
  archive* in = archive_read_new();
  archive_read_support_format_tar(in);
  archive_read_support_filter_all(in);
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

// A member of a tar archive a test writes: a plain file with `bytes` unless `type` says otherwise;
// with `sparseSize`, a file of that many bytes that are holes but for `bytes` at its start.
struct TarMember {
  std::string name;
  std::string bytes;
  unsigned type = AE_IFREG;
  std::int64_t sparseSize = 0;
};

inline void WriteTar(const std::filesystem::path& file, const std::vector<TarMember>& members) {
  archive* out = archive_write_new();
  archive_write_set_format_pax_restricted(out);
  ASSERT_EQ(archive_write_open_filename(out, file.c_str()), ARCHIVE_OK) << file;
  for (const TarMember& member : members) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, member.name.c_str());
    archive_entry_set_filetype(entry, member.type);
    archive_entry_set_perm(entry, 0600);
    if (member.type == AE_IFLNK) {
      archive_entry_set_symlink(entry, "/etc/passwd");
    }
    const bool data = member.type == AE_IFREG;
    if (member.sparseSize > 0) {
      archive_entry_set_size(entry, member.sparseSize);
      archive_entry_sparse_add_entry(entry, 0, static_cast<la_int64_t>(member.bytes.size()));
    } else {
      archive_entry_set_size(entry, data ? static_cast<la_int64_t>(member.bytes.size()) : 0);
    }
    EXPECT_EQ(archive_write_header(out, entry), ARCHIVE_OK) << member.name;
    if (data && !member.bytes.empty()) {
      archive_write_data(out, member.bytes.data(), member.bytes.size());
    }
    archive_entry_free(entry);
  }
  archive_write_close(out);
  archive_write_free(out);
}

}  // namespace testing_support
