// Users and logins of the shared databases' um.dat, and of a spoilt copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/vss6/Records.h"
#include "platform/vss6/Users.h"
#include "support/TempDir.h"

namespace {

using vss6::LoginError;

const std::filesystem::path kAlex = SCOURWELL_SHARED_DIR "/realvss/alex632_mylvss/data/um.dat";

class UsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kAlex)) {
      GTEST_SKIP() << "no shared database at " << kAlex;
    }
    users = vss6::ReadUsers(kAlex);
  }
  std::vector<vss6::User> users;
};

TEST_F(UsersTest, ReadsEachUserWithTheStoredPasswordValue) {
  ASSERT_EQ(users.size(), 3u);
  EXPECT_EQ(users[0].name, "Admin");
  EXPECT_EQ(users[0].passwordHash, 0x6d39);  // Admin has a password
  EXPECT_EQ(users[2].name, "Guest");
  EXPECT_EQ(users[2].passwordHash, vss6::kNoPasswordHash);
  EXPECT_FALSE(users[2].readOnly);
}

struct Login {
  const char* user;
  const char* password;
  int kind;  // -1: logged in; else LoginError::Kind
};

class LoginTest : public UsersTest, public ::testing::WithParamInterface<Login> {};

TEST_P(LoginTest, LetsInOnlyWhatCanBeChecked) {
  const Login& login = GetParam();
  try {
    EXPECT_EQ(vss6::LogIn(users, login.user, login.password).name, "Guest");
    EXPECT_EQ(login.kind, -1);
  } catch (const LoginError& error) {
    EXPECT_EQ(static_cast<int>(error.GetKind()), login.kind) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginTest,
    ::testing::Values(Login{"Guest", "", -1}, Login{"gUEST", "", -1},
                      Login{"Admin", "", static_cast<int>(LoginError::Kind::kInvalidPassword)},
                      Login{"Admin", "secret", static_cast<int>(LoginError::Kind::kCannotCheck)},
                      Login{"Guest", "x", static_cast<int>(LoginError::Kind::kCannotCheck)},
                      Login{"Nobody", "", static_cast<int>(LoginError::Kind::kUnknownUser)},
                      Login{"", "", static_cast<int>(LoginError::Kind::kUnknownUser)}));

TEST_F(UsersTest, ASpoiltUserRecordIsAFormatErrorNamingTheFile) {
  testing_support::TempDir folder;
  std::filesystem::copy_file(kAlex, folder / "um.dat");
  {
    std::fstream file(folder / "um.dat", std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(0x7c + 8 + 32);  // Admin's password value
    file.put('\x6e');
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
