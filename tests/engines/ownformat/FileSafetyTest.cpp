#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "EngineFixture.h"
#include "support/InChild.h"

namespace engine_test {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::perms Permissions(const fs::path& path) {
  return fs::symlink_status(path).permissions() & fs::perms::all;
}

TEST_F(EngineTest, CreateNeverWritesThroughATemporaryPlantedAsASymlink) {
  const fs::path victim = folder / "private";
  std::ofstream(victim) << "secret";
  fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
  const fs::path team = folder / "team";
  fs::create_directory(team);
  fs::create_symlink(victim, team / "srcsafe.ini.new");

  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { sourcesafe::CreateDatabase(team); }, &description),
            N(ErrorCode::kStorageFailure));
  EXPECT_NE(description.find("srcsafe.ini.new' is in the way: it is a symbolic link"),
            std::string::npos)
      << description;
  EXPECT_EQ(Read(victim), "secret");
  EXPECT_EQ(Permissions(victim), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(team / "data.vssdb")) << "a failed create leaves no data file";
}

TEST_F(EngineTest, CreateLeavesAnotherUsersTemporaryAlone) {
  const fs::path team = folder / "team";
  fs::create_directory(team);
  std::ofstream(team / "srcsafe.ini.new") << "theirs";
  // Giving the file to another user takes the right to do so: root's.
  if (::chown((team / "srcsafe.ini.new").c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "cannot give a file to another user here (needs root); not checked";
  }
  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { sourcesafe::CreateDatabase(team); }, &description),
            N(ErrorCode::kStorageFailure));
  EXPECT_NE(description.find("is in the way: it is a plain file of another user"),
            std::string::npos)
      << description;
  EXPECT_EQ(Read(team / "srcsafe.ini.new"), "theirs");
}

TEST_F(EngineTest, CreateReplacesATemporaryLeftByACrash) {
  const fs::path crashed = folder / "crashed";
  fs::create_directory(crashed);
  std::ofstream(crashed / "srcsafe.ini.new") << "Format_Vers";
  sourcesafe::CreateDatabase(crashed);
  EXPECT_EQ(Session::Open(crashed.string(), "Admin", "")->Children(admin->Root(), true).size(), 0u);
  EXPECT_FALSE(fs::exists(crashed / "srcsafe.ini.new"));
}

TEST_F(EngineTest, ACreateThatRunsOutOfSpaceLeavesNothingAndARetryWorks) {
  const fs::path full = folder / "full";
  const int status = testing_support::RunInChild(60, [&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};  // no file may grow past 1 KiB: the disk is "full"
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return ErrorNumberOf([&] { sourcesafe::CreateDatabase(full); }) == N(ErrorCode::kStorageFailure)
               ? 0
               : 3;
  });
  ASSERT_EQ(status, 0);
  EXPECT_FALSE(fs::exists(full)) << "the folder the create made goes with its files";
  sourcesafe::CreateDatabase(full);
  EXPECT_EQ(Session::Open(full.string(), "Admin", "")->Root().spec, "$/");
}

struct NotAPlainFile {
  const char* name;
  const char* file;  // in the database folder, made a named pipe or a dangling symbolic link
  bool pipe;
  const char* mentions;
};

class NotAPlainFileTest : public EngineTest, public ::testing::WithParamInterface<NotAPlainFile> {};

TEST_P(NotAPlainFileTest, OpenSaysWhatIsWrongWithWhichFileWithoutWaiting) {
  const NotAPlainFile& bad = GetParam();
  const fs::path path = folder / "db" / bad.file;
  fs::remove(path);
  if (bad.pipe) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  } else {
    fs::create_symlink(folder / "nowhere", path);
  }
  const int status = testing_support::RunInChild(10, [&] {
    std::string description;
    const std::int32_t number = ErrorNumberOf([&] { OpenAs("Admin"); }, &description);
    const bool said =
        description.find(std::string(bad.file) + "' is " + bad.mentions) != std::string::npos;
    return number != 0 && said ? 0 : 3;
  });
  EXPECT_EQ(status, 0) << "142 means the open waited on the pipe until the alarm";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotAPlainFileTest,
    ::testing::Values(NotAPlainFile{"IniPipe", "srcsafe.ini", true, "a named pipe"},
                      NotAPlainFile{"DataPipe", "data.vssdb", true, "a named pipe"},
                      NotAPlainFile{"IniLink", "srcsafe.ini", false, "a symbolic link"},
                      NotAPlainFile{"JournalLink", "data.vssdb-journal", false, "a symbolic link"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace engine_test
