// vssdb compact's engine side: the half-empty pages a purge leaves go, the file keeps its owner,
// group and mode and everything in it, and nothing is changed while another holder could go on
// writing to the file compacted away.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "EngineFixture.h"
#include "engines/ownformat/Compact.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/OwnDatabase.h"

namespace engine_test {
namespace {

namespace fs = std::filesystem;

class CompactTest : public EngineTest {
 protected:
  // Every other file of 400 destroyed: the pages they shared stay half full.
  void LeaveHalfEmptyPages() {
    for (int i = 0; i < 400; ++i) {
      AddFile("$/f" + std::to_string(i), std::string(1500, static_cast<char>('a' + i % 26)));
    }
    for (int i = 0; i < 400; i += 2) {
      Delete("$/f" + std::to_string(i));
      admin->Destroy(admin->Find("$/f" + std::to_string(i), true));
    }
  }
  fs::path DataFile() const { return folder / "db" / "data.vssdb"; }
};

TEST_F(CompactTest, GivesTheHalfEmptyPagesBackAndKeepsEverythingElse) {
  LeaveHalfEmptyPages();
  admin.reset();
  fs::permissions(DataFile(), fs::perms::owner_read | fs::perms::owner_write |
                                  fs::perms::group_read | fs::perms::group_write);
  const auto before = static_cast<std::int64_t>(fs::file_size(DataFile()));
  const sourcesafe::Compacted done = sourcesafe::CompactDatabase(Dir(), "Admin", "");
  EXPECT_EQ(done.before, before);
  EXPECT_EQ(done.after, static_cast<std::int64_t>(fs::file_size(DataFile())));
  EXPECT_LT(done.after, before * 3 / 4);
  EXPECT_EQ(fs::status(DataFile()).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                      fs::perms::group_read |
                                                      fs::perms::group_write);
  EXPECT_FALSE(fs::exists(folder / "db" / "data.vssdb.compact"));
  admin = OpenAs("Admin");  // the format's marks and version came along
  EXPECT_THAT(sourcesafe::CheckIntegrity(*admin), ::testing::IsEmpty());
  const auto content = admin->Content(admin->Find("$/f399", false));
  EXPECT_EQ(std::string(content.begin(), content.end()), std::string(1500, 'a' + 399 % 26));
  EXPECT_EQ(Walk().size(), 201u);
}

// Another holder of the data file, in this program or another, would write to the file compacted
// away: the compaction is refused and nothing is changed.
TEST_F(CompactTest, IsRefusedWhileTheDataFileIsOpenElsewhere) {
  LeaveHalfEmptyPages();
  const auto before = fs::file_size(DataFile());
  std::string why;
  EXPECT_EQ(ErrorNumberOf([&] { sourcesafe::CompactDatabase(Dir(), "Admin", ""); }, &why),
            static_cast<std::int32_t>(ErrorCode::kAccessDenied));
  EXPECT_NE(why.find("another part of this program"), std::string::npos) << why;
  admin.reset();

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(DataFile().c_str(), O_RDONLY);
    char byte = fd >= 0 ? 'y' : 'n';
    (void)::write(ready[1], &byte, 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 'y');
  EXPECT_EQ(ErrorNumberOf([&] { sourcesafe::CompactDatabase(Dir(), "Admin", ""); }, &why),
            static_cast<std::int32_t>(ErrorCode::kAccessDenied));
  EXPECT_NE(why.find("another program (process " + std::to_string(child) + ")"), std::string::npos)
      << why;
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(fs::file_size(DataFile()), before);
  EXPECT_FALSE(fs::exists(folder / "db" / "data.vssdb.compact"));
}

TEST_F(CompactTest, NeedsTheDestroyRight) {
  admin->AddUser("Guest", "", false);
  EXPECT_EQ(ErrorNumberOf([&] { sourcesafe::CompactDatabase(Dir(), "Guest", ""); }),
            static_cast<std::int32_t>(ErrorCode::kAccessDenied));
}

// The finish page of a large purge says that compact can give space back; a small one does not.
TEST_F(CompactTest, ALargePurgeIsToldOfCompact) {
  sourcesafe::OwnDatabase database;
  database.Open(Dir(), "Admin", "");
  const std::int64_t large = sourcesafe::OwnDatabase::kCompactAdviceBytes;
  EXPECT_EQ(database.AfterPurgeAdvice(large - 1), "");
  EXPECT_NE(database.AfterPurgeAdvice(large).find("vssdb compact '" + Dir() + "'"),
            std::string::npos)
      << database.AfterPurgeAdvice(large);
}

}  // namespace
}  // namespace engine_test
