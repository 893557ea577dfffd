#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "RegistryFixture.h"
#include "platform/registry/Hive.h"
#include "support/InChild.h"

namespace registry_test {
namespace {

using namespace registry;
namespace fs = std::filesystem;

LONG WriteSetting() {
  Key key;
  return RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Pellbrook", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, key.Receive(), nullptr);
}

fs::perms Permissions(const fs::path& path) {
  return fs::symlink_status(path).permissions() & fs::perms::all;
}

TEST_F(RegistryTest, ASymlinkedRegistryFolderIsNeitherFollowedNorChanged) {
  const fs::path elsewhere = folder / "elsewhere";
  fs::create_directories(elsewhere);
  fs::permissions(elsewhere, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
  fs::create_directories(UserHive().parent_path().parent_path());
  fs::create_directory_symlink(elsewhere, UserHive().parent_path());

  EXPECT_NE(WriteSetting(), ERROR_SUCCESS);
  EXPECT_EQ(Permissions(elsewhere), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
  EXPECT_FALSE(fs::exists(elsewhere / "user.hive"));
  const std::string problem = HiveOf(HKEY_CURRENT_USER)->Problem();
  EXPECT_NE(problem.find("registry' is a symbolic link"), std::string::npos) << problem;
}

TEST_F(RegistryTest, AHiveReachedThroughASymlinkedFolderIsNotUsed) {
  const fs::path elsewhere = folder / "elsewhere";
  fs::create_directories(elsewhere);
  std::ofstream{elsewhere / "user.hive"};
  fs::create_directories(UserHive().parent_path().parent_path());
  fs::create_directory_symlink(elsewhere, UserHive().parent_path());
  EXPECT_NE(WriteSetting(), ERROR_SUCCESS);
  EXPECT_EQ(fs::file_size(elsewhere / "user.hive"), 0u) << "made a hive in someone else's folder";
}

TEST_F(RegistryTest, AnEmptyFileAtTheHivePathBecomesAHiveForTheOwnerAlone) {
  fs::create_directories(UserHive().parent_path());
  std::ofstream{UserHive()};
  fs::permissions(UserHive(), fs::perms::owner_read | fs::perms::owner_write |
                                  fs::perms::group_read | fs::perms::others_read);
  ASSERT_EQ(WriteSetting(), ERROR_SUCCESS);
  EXPECT_EQ(Permissions(UserHive()), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RegistryTest, NewFoldersAreTheOwnersAloneWhateverTheUmask) {
  const mode_t old = ::umask(0);
  const LONG result = WriteSetting();
  ::umask(old);
  ASSERT_EQ(result, ERROR_SUCCESS);
  EXPECT_EQ(Permissions(UserHive().parent_path()), fs::perms::owner_all);
  EXPECT_EQ(Permissions(UserHive().parent_path().parent_path()), fs::perms::owner_all);
}

TEST_F(RegistryTest, APlantedSymlinkAtTheHivePathIsNotFollowed) {
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "private";
  fs::create_directories(UserHive().parent_path());
  fs::create_symlink(victim, UserHive());
  EXPECT_EQ(WriteSetting(), ERROR_BADDB);
  std::ifstream in(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "private");
  EXPECT_NE(HiveOf(HKEY_CURRENT_USER)->Problem().find("symbolic link"), std::string::npos);
}

TEST_F(RegistryTest, ANamedPipeAtTheHivePathIsRefusedWithoutWaiting) {
  fs::create_directories(UserHive().parent_path());
  ASSERT_EQ(::mkfifo(UserHive().c_str(), 0600), 0);
  const int status = testing_support::RunInChild(10, [] {
    Key key;
    const bool missing = RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()) ==
                         ERROR_FILE_NOT_FOUND;
    const bool refused = WriteSetting() == ERROR_BADDB;
    const bool said =
        HiveOf(HKEY_CURRENT_USER)->Problem().find("is a named pipe") != std::string::npos;
    return missing && refused && said ? 0 : 3;
  });
  EXPECT_EQ(status, 0) << "142 means the open waited on the pipe until the alarm";
}

TEST_F(RegistryTest, WithoutHomeOrXdgTheHiveGoesToThePasswordDatabasesHome) {
  const char* home = ::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  const fs::path path = HivePath(HKEY_CURRENT_USER);
  if (home != nullptr) {
    ::setenv("HOME", savedHome.c_str(), 1);
  }
  const passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(path, fs::path(entry->pw_dir) / ".config" / "Pellbrook" / "registry" / "user.hive");
}

}  // namespace
}  // namespace registry_test
