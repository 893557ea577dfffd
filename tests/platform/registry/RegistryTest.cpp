#include <gmock/gmock.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "RegistryFixture.h"
#include "platform/registry/Hive.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "support/Process.h"

namespace registry_test {
namespace {

using namespace registry;
using ::testing::ElementsAre;

LONG SetText(HKEY key, const std::string& name, const std::string& text) {
  return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const unsigned char*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
}

std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0; RegEnumKey(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValue(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

TEST_F(RegistryTest, TheHiveIsMadeOnTheFirstWriteForTheOwnerAlone) {
  Key key;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(UserHive()));  // reading made nothing
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Pellbrook\\Scourwell\\General", 0, nullptr,
                           0, 0x3F, nullptr, key.Receive(), &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(std::filesystem::status(UserHive()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(HivePath(HKEY_LOCAL_MACHINE),
            folder / "etc" / "Pellbrook" / "registry" / "machine.hive");
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseKeepTheirCaseAndListInNameOrder) {
  Key parent;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, parent.Receive(), nullptr),
            ERROR_SUCCESS);
  for (const char* name : {"beta", "Alpha", "gamma"}) {
    Key child;
    ASSERT_EQ(RegCreateKeyEx(parent.Get(), name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             child.Receive(), nullptr),
              ERROR_SUCCESS);
  }
  Key again;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\test\\ALPHA", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, again.Receive(), &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_THAT(SubkeyNames(parent.Get()), ElementsAre("Alpha", "beta", "gamma"));
}

TEST_F(RegistryTest, ValuesListInCreationOrderAndKeepTheirPlaceWhenRewritten) {
  Key key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr),
            ERROR_SUCCESS);
  SetText(key.Get(), "zeta", "1");
  SetText(key.Get(), "Alpha", "2");
  SetText(key.Get(), "ZETA", "3");  // the same value, written again
  EXPECT_THAT(ValueNames(key.Get()), ElementsAre("ZETA", "Alpha"));
  DWORD longest = 0;
  DWORD count = 0;
  ASSERT_EQ(RegQueryInfoKey(key.Get(), nullptr, nullptr, &count, &longest, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(longest, 5u);
}

TEST_F(RegistryTest, QueryGivesTypeAndSizeFirstThenTheData) {
  Key key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr),
            ERROR_SUCCESS);
  SetText(key.Get(), "Name", "Admin");
  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueEx(key.Get(), "name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);
  unsigned char small[3];
  DWORD smallSize = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, &type, small, &smallSize), ERROR_MORE_DATA);
  EXPECT_EQ(smallSize, 6u);
  std::vector<unsigned char> data(size);
  ASSERT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, &type, data.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(data.begin(), data.end()), std::string("Admin\0", 6));
  EXPECT_EQ(RegQueryValueEx(key.Get(), "Missing", nullptr, &type, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, RightsAndShapesAreEnforcedAsOnWindows) {
  Key writable;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           writable.Receive(), nullptr),
            ERROR_SUCCESS);
  Key readOnly;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A\\B", 0, KEY_READ, readOnly.Receive()),
            ERROR_SUCCESS);
  EXPECT_EQ(SetText(readOnly.Get(), "v", "x"), ERROR_ACCESS_DENIED);
  Key queryOnly;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_QUERY_VALUE, queryOnly.Receive()),
            ERROR_SUCCESS);
  char name[64];
  EXPECT_EQ(RegEnumKey(queryOnly.Get(), 0, name, sizeof name), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A\\B"), ERROR_SUCCESS);
  EXPECT_EQ(SetText(writable.Get(), "v", "x"), ERROR_KEY_DELETED);  // its key is gone
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A\\B"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "\\A", 0, KEY_READ, readOnly.Receive()),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A\\\\B", 0, KEY_READ, readOnly.Receive()),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(0x12345), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ADamagedHiveIsReadAsEmptyAndNeverOverwritten) {
  std::filesystem::create_directories(UserHive().parent_path());
  const std::string garbage(8192, '\x5a');
  std::ofstream(UserHive(), std::ios::binary) << garbage;
  Key key;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr),
            ERROR_BADDB);
  std::ifstream in(UserHive(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST_F(RegistryTest, ASqliteFileOfAnotherProgramIsNoHiveAndIsLeftAlone) {
  std::filesystem::create_directories(UserHive().parent_path());
  {
    sqlite::Connection other(UserHive(), sqlite::Connection::Mode::ReadWriteCreate);
    other.Execute("CREATE TABLE keys (id); INSERT INTO keys VALUES (42)");
  }
  const auto size = std::filesystem::file_size(UserHive());
  Key key;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, key.Receive()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr),
            ERROR_BADDB);
  EXPECT_EQ(std::filesystem::file_size(UserHive()), size);
  sqlite::Connection other(UserHive(), sqlite::Connection::Mode::ReadOnly);
  sqlite::Statement rows(other, "SELECT count(*) FROM keys");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.Int(0), 1);
}

TEST_F(RegistryTest, AProcessKilledInABurstOfWritesLeavesTheHiveIntactAndEveryValueWhole) {
  const std::string key = "HKCU\\Software\\Burst";
  for (int round = 0; round < 4; ++round) {
    std::vector<std::unique_ptr<testing_support::Process>> writers;
    for (int i = 0; i < 6; ++i) {
      const std::string name = "v" + std::to_string(round) + "_" + std::to_string(i);
      writers.push_back(std::make_unique<testing_support::Process>(
          std::vector<std::string>{SCOURWELL_REGTOOL, "set", key, name, std::string(5000, 'x')},
          (folder / "out").string()));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2 + round * 3));
    for (std::size_t i = 0; i < writers.size(); i += 2) {
      writers[i]->Kill();
    }
  }
  const auto listing = testing_support::RunCommand({SCOURWELL_REGTOOL, "list", key});
  ASSERT_EQ(listing.status, 0) << listing.err;
  std::size_t values = 0;
  std::istringstream lines(listing.out);
  for (std::string line; std::getline(lines, line);) {
    ++values;
    EXPECT_EQ(line.substr(line.rfind('\t') + 1), std::string(5000, 'x')) << "a torn value";
  }
  EXPECT_GE(values, 12u);  // the writers nobody killed
  sqlite::Connection hive(UserHive(), sqlite::Connection::Mode::ReadOnly);
  sqlite::Statement check(hive, "PRAGMA integrity_check");
  ASSERT_TRUE(check.Step());
  EXPECT_EQ(check.Text(0), "ok");
}

TEST_F(RegistryTest, AMachineHiveTheUserMayNotWriteRefusesWrites) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root may write every file";
  }
  const std::filesystem::path machine = HivePath(HKEY_LOCAL_MACHINE).parent_path();
  std::filesystem::create_directories(machine);
  std::filesystem::permissions(
      machine, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  Key key;
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr),
            ERROR_ACCESS_DENIED);
  std::filesystem::permissions(machine, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace registry_test
