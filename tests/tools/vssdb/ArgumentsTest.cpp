#include <gtest/gtest.h>

#include "tools/vssdb/Arguments.h"

namespace {

using vssdb::Arguments;
using vssdb::ParseArguments;

TEST(ArgumentsTest, LoginOptionsMayStandAnywhere) {
  const Arguments a =
      ParseArguments({"-u", "bob", "add", "db", "-p", "-secret", "$/f", "--from", "local.txt"});
  EXPECT_EQ(a.command, "add");
  EXPECT_EQ(a.operands, (std::vector<std::string>{"db", "$/f"}));
  EXPECT_EQ(a.user, "bob");
  EXPECT_EQ(a.password, "-secret");
  EXPECT_EQ(a.Value("--from"), "local.txt");
}

TEST(ArgumentsTest, TheNewUsersPasswordIsNotTheLogin) {
  const Arguments a =
      ParseArguments({"user", "add", "db", "Guest", "--password=pw", "--no-destroy"});
  EXPECT_EQ(a.command, "user add");
  EXPECT_EQ(a.Value("--password"), "pw");
  EXPECT_TRUE(a.Flag("--no-destroy"));
  EXPECT_EQ(a.user, "Admin");
  EXPECT_EQ(a.password, "");
}

TEST(ArgumentsTest, DeletedIsAFlagForListAndAValueForGenerate) {
  EXPECT_TRUE(ParseArguments({"list", "db", "--deleted"}).Flag("--deleted"));
  EXPECT_EQ(
      ParseArguments({"generate", "db", "--items", "5", "--deleted", "0.5"}).Value("--deleted"),
      "0.5");
}

TEST(ArgumentsTest, DoubleDashEndsTheOptions) {
  const Arguments a = ParseArguments({"mkdir", "--", "-odd-folder", "$/P"});
  EXPECT_EQ(a.operands, (std::vector<std::string>{"-odd-folder", "$/P"}));
}

TEST(ArgumentsTest, HelpNeedsNoOperands) {
  EXPECT_TRUE(ParseArguments({"--help"}).help);
  const Arguments a = ParseArguments({"destroy", "--help"});
  EXPECT_TRUE(a.help);
  EXPECT_EQ(a.command, "destroy");
}

class UsageErrorTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageErrorTest, IsRefused) { EXPECT_THROW(ParseArguments(GetParam()), vssdb::UsageError); }

INSTANTIATE_TEST_SUITE_P(
    Lines, UsageErrorTest,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"frobnicate", "db"},
                      std::vector<std::string>{"create"},
                      std::vector<std::string>{"create", "a", "b"},
                      std::vector<std::string>{"user", "remove", "db", "x"},
                      std::vector<std::string>{"list", "db", "$/", "extra"},
                      std::vector<std::string>{"add", "db", "$/f", "--from"},
                      std::vector<std::string>{"list", "db", "--deleted=yes"},
                      std::vector<std::string>{"mkdir", "db", "$/P", "--force"},
                      std::vector<std::string>{"list", "db", "-u"}));

}  // namespace
