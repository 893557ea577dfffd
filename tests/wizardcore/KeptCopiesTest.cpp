// The folder of kept copies: which files are copies, how old they are, and that a removal takes
// only a copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/files/SafeFiles.h"
#include "support/TempDir.h"
#include "wizardcore/KeptCopies.h"

namespace {

namespace fs = std::filesystem;

constexpr std::time_t kNow = 1'800'000'000;
constexpr std::time_t kDay = 24 * 60 * 60;

void Make(const fs::path& path, std::size_t bytes, std::time_t written) {
  std::ofstream(path) << std::string(bytes, 'x');
  const struct timespec times[2] = {{written, 0}, {written, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(KeptCopiesTest, OnlyCopiesAreListedOldestFirstAndOnlyCopiesGo) {
  testing_support::TempDir folder;
  const fs::path kept = folder.Path() / "kept";
  EXPECT_TRUE(wizardcore::KeptCopiesIn(kept).empty());  // no folder yet: no copies
  fs::create_directory(kept);
  Make(kept / "db-20250101-000000.tar.zst", 100, kNow - 40 * kDay);
  Make(kept / "db-20250301-000000.tar", 50, kNow - 10 * kDay);  // of an earlier version
  Make(kept / "db-20250401-000000.tar.zst", 7, kNow - kDay);
  Make(kept / "db-20250402-000000.123.part", 9, kNow - 90 * kDay);  // still being written
  Make(kept / "notes.txt", 9, kNow - 90 * kDay);
  Make(folder.Path() / "elsewhere.tar.zst", 9, kNow - 90 * kDay);
  fs::create_symlink(folder.Path() / "elsewhere.tar.zst", kept / "planted.tar.zst");

  const std::vector<wizardcore::KeptCopyFile> copies = wizardcore::KeptCopiesIn(kept);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].path.filename(), "db-20250101-000000.tar.zst");
  EXPECT_EQ(copies[1].path.filename(), "db-20250301-000000.tar");
  EXPECT_EQ(copies[2].size, 7);
  EXPECT_EQ(wizardcore::DescribeKeptCopies(copies).substr(0, 47),
            "The folder of kept copies holds 3 copies, 157 b");

  const auto old = wizardcore::OlderThan(copies, 30, kNow);
  ASSERT_EQ(old.size(), 1u);
  EXPECT_EQ(wizardcore::OlderThan(copies, 0, kNow).size(), 3u);
  wizardcore::RemoveKeptCopy(old[0].path);
  EXPECT_FALSE(fs::exists(old[0].path));
  // A link put in a copy's place is not followed, and what it points at stays.
  EXPECT_THROW(wizardcore::RemoveKeptCopy(kept / "planted.tar.zst"), files::FileError);
  EXPECT_TRUE(fs::exists(folder.Path() / "elsewhere.tar.zst"));
}

}  // namespace
