// Users and logins: the password code against known values, logins on a user file made here (any
// letter case, letters beyond ASCII, a name listed twice), and the shared databases' real users.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engines/vss6/CodePage.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Users.h"
#include "support/Required.h"
#include "support/TempDir.h"
#include "support/Vss6Builder.h"

namespace {

using vss6::LoginError;

struct KnownCode {
  const char* upperCasePassword;
  std::uint16_t code;
};

TEST(PasswordCodeTest, GivesTheValuesSourceSafeStores) {
  for (const KnownCode& row : {
           KnownCode{"", 0x6E90},  // every user without a password
           KnownCode{"ADAD", 0x6DAF}, KnownCode{"PASSWORD", 0x6A10},
           KnownCode{"DHAVAL", 0x6D27},  // Dhaval's in the shared databases
           KnownCode{"PASS", 0x6D3E},    // Johnson's
           KnownCode{"ABCDEFGHIJKLMNO", 0x65B8},
           KnownCode{"ABCDEFGHIJKLMNOP", 0x65B8},  // only 15 bytes count
           KnownCode{"\xC9T\xC9", 0x68C2},         // bytes past 0x7F count negative
       }) {
    EXPECT_EQ(vss6::PasswordCode(row.upperCasePassword), row.code) << row.upperCasePassword;
  }
}

struct Login {
  const char* user;
  const char* password;
  int kind;  // -1: logged in; else LoginError::Kind
  bool readOnly = false;
};

void PrintTo(const Login& login, std::ostream* out) {
  *out << login.user << " / " << login.password;
}

class LoginTest : public ::testing::TestWithParam<Login> {
 protected:
  void SetUp() override {
    testing_support::Vss6Builder builder;
    builder.User("Guest");
    builder.User("Alex", "SECRET");
    builder.User("J\xFCrgen", "\xC9T\xC9");  // "Jürgen", "ÉTÉ" in Windows-1252
    builder.User("Marc", "ONE");
    builder.User("MARC", "TWO", true);
    testing_support::TempDir folder;
    std::ofstream(folder / "um.dat", std::ios::binary) << builder.UsersFile();
    users = vss6::ReadUsers(folder / "um.dat");
  }
  std::vector<vss6::User> users;
  vss6::CodePage codePage{"1252"};
};

TEST_P(LoginTest, LetsInTheRightPasswordInAnyLetterCase) {
  const Login& login = GetParam();
  try {
    const vss6::User user = vss6::LogIn(users, login.user, login.password, codePage);
    EXPECT_EQ(login.kind, -1);
    EXPECT_EQ(user.readOnly, login.readOnly);
  } catch (const LoginError& error) {
    EXPECT_EQ(static_cast<int>(error.GetKind()), login.kind) << error.what();
  }
}

constexpr int kUnknown = static_cast<int>(LoginError::Kind::kUnknownUser);
constexpr int kInvalid = static_cast<int>(LoginError::Kind::kInvalidPassword);
constexpr int kCannotCheck = static_cast<int>(LoginError::Kind::kCannotCheck);

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginTest,
    ::testing::Values(
        Login{"Guest", "", -1}, Login{"gUEST", "", -1}, Login{"Guest", "x", kInvalid},
        Login{"Alex", "secret", -1}, Login{"alex", "SeCrEt", -1}, Login{"Alex", "", kInvalid},
        Login{"Alex", "secrets", kInvalid}, Login{"Admin", "", -1},
        // Letters beyond ASCII: the name in Unicode's case, the password upper-cased
        // in the code page.
        Login{"J\xC3\x9CRGEN", "\xC3\xA9t\xC3\xA9", -1},
        Login{"J\xC3\xBCrgen", "\xC3\x89T\xC3\x89", -1}, Login{"J\xC3\xBCrgen", "ete", kInvalid},
        Login{"Admin", "\xD0\x96", kCannotCheck},  // 'Ж' has no byte in 1252
        // A name listed twice: either password, read-only as either record is.
        Login{"Marc", "one", -1, true}, Login{"marc", "two", -1, true},
        Login{"Marc", "three", kInvalid}, Login{"Nobody", "", kUnknown}, Login{"", "", kUnknown}));

TEST(SharedUsersTest, TheRealUsersLogInWithTheirPasswords) {
  const std::filesystem::path shared = testing_support::kSharedDatabases;
  SCOURWELL_REQUIRE_SHARED(shared);
  const vss6::CodePage codePage("CP1252");
  const auto shaili = vss6::ReadUsers(shared / "shukladhaval25_Inventory-Shaili/data/um.dat");
  EXPECT_EQ(vss6::LogIn(shaili, "Dhaval", "dhaval", codePage).name, "Dhaval");
  EXPECT_THROW(vss6::LogIn(shaili, "Dhaval", "", codePage), LoginError);
  const auto johnson = vss6::ReadUsers(shared / "tempnjayaraj_vss/data/um.dat");
  EXPECT_EQ(vss6::LogIn(johnson, "JOHNSON", "Pass", codePage).name, "Johnson");
  const auto alex = vss6::ReadUsers(shared / "alex632_mylvss/data/um.dat");
  ASSERT_EQ(alex.size(), 3u);
  EXPECT_EQ(alex[0].passwordCode, 0x6d39);  // Admin has a password, not known here
  EXPECT_THROW(vss6::LogIn(alex, "Admin", "", codePage), LoginError);
}

TEST(UsersFileTest, ASpoiltUserRecordIsAFormatErrorNamingTheFile) {
  testing_support::TempDir folder;
  std::ofstream(folder / "um.dat", std::ios::binary) << testing_support::Vss6Builder().UsersFile();
  {
    std::fstream file(folder / "um.dat", std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(0x7c + 8 + 32);  // Admin's password value
    file.put('\x6f');
  }
  try {
    vss6::ReadUsers(folder / "um.dat");
    FAIL() << "read";
  } catch (const vss6::FormatError& error) {
    EXPECT_NE(std::string(error.what()).find("um.dat' at offset 124: the UU record's check value"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
