// A file written beside its name is in place whole or not at all, never over another file; and
// the XDG folders resolve alike for everyone who asks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/files/PlaceFile.h"
#include "platform/files/XdgFolders.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

class PlaceFileTest : public ::testing::Test {
 protected:
  files::Placed Place(const std::string& text, int attempts = 3) {
    files::Placement placement;
    placement.temporary = "report.part";
    placement.name = [](int attempt) {
      return attempt == 1 ? "report.txt" : "report-" + std::to_string(attempt) + ".txt";
    };
    placement.attempts = attempts;
    return files::PlaceNewFile(folder, dir.Path(), placement,
                               [&](int fd) { files::WriteAll(fd, text, dir / "report.part"); });
  }

  testing_support::TempDir dir;
  files::FileDescriptor folder = files::OpenFolder(dir.Path());
};

TEST_F(PlaceFileTest, TakesTheNextFreeNameAndNeverWritesOverAnother) {
  std::ofstream(dir / "report.txt") << "earlier";
  const files::Placed placed = Place("new");
  EXPECT_EQ(placed.name, "report-2.txt");
  EXPECT_EQ(Read(dir / "report.txt"), "earlier");
  EXPECT_EQ(Read(dir / "report-2.txt"), "new");
  EXPECT_EQ(fs::status(dir / "report-2.txt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_THAT(Names(dir.Path()), ::testing::ElementsAre("report-2.txt", "report.txt"));
}

TEST_F(PlaceFileTest, LeavesNothingWhenTheLastNameIsTaken) {
  std::ofstream(dir / "report.txt") << "earlier";
  EXPECT_THROW(Place("new", 1), files::NameTaken);
  EXPECT_THAT(Names(dir.Path()), ::testing::ElementsAre("report.txt"));
}

TEST_F(PlaceFileTest, LeavesNothingWhenTheWriterFails) {
  files::Placement placement;
  placement.temporary = "copy.part";
  placement.name = [](int) { return "copy.tar"; };
  EXPECT_THROW(files::PlaceNewFile(folder, dir.Path(), placement,
                                   [](int) { throw std::runtime_error("stopped"); }),
               std::runtime_error);
  EXPECT_TRUE(Names(dir.Path()).empty());
}

TEST_F(PlaceFileTest, RefusesATemporaryThatIsThereAlready) {
  // Someone else's file (or link) under the temporary's name is never written through.
  fs::create_symlink("/etc/passwd", dir / "report.part");
  EXPECT_THROW(Place("new"), files::FileError);
  EXPECT_TRUE(fs::is_symlink(dir / "report.part"));
  EXPECT_FALSE(fs::exists(dir / "report.txt"));
}

TEST(XdgFolderTest, FallsBackToThePasswordDatabasesHomeWithoutHome) {
  const testing_support::ScopedEnv home("HOME", nullptr);
  const testing_support::ScopedEnv state("XDG_STATE_HOME", "relative/state");  // ignored
  const struct passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(files::XdgFolder("XDG_STATE_HOME", ".local/state"),
            fs::path(entry->pw_dir) / ".local/state");
  const testing_support::ScopedEnv set("XDG_STATE_HOME", "/srv/state");
  EXPECT_EQ(files::XdgFolder("XDG_STATE_HOME", ".local/state"), fs::path("/srv/state"));
}

}  // namespace
