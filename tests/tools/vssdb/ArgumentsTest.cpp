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

namespace {

// Usage errors that explain: the word that was not understood and what was meant.
struct Mistake {
  const char* name;
  std::vector<std::string> words;
  const char* says;
};

void PrintTo(const Mistake& mistake, std::ostream* out) { *out << mistake.name; }

class MistakeTest : public ::testing::TestWithParam<Mistake> {};

TEST_P(MistakeTest, NamesTheWordAndWhatWasMeant) {
  try {
    ParseArguments(GetParam().words);
    FAIL() << "accepted";
  } catch (const vssdb::UsageError& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().says);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MistakeTest,
    ::testing::Values(
        Mistake{"Transposed", {"lsit", "db"}, "unknown command 'lsit'; did you mean 'list'?"},
        Mistake{"OneLetterOff",
                {"destory", "db", "$/a"},
                "unknown command 'destory'; did you mean 'destroy'?"},
        Mistake{"Plural", {"checks", "db"}, "unknown command 'checks'; did you mean 'check'?"},
        Mistake{"UserAlone",
                {"user"},
                "'user' needs a subcommand: vssdb user add DIR NAME [--password P] "
                "[--no-destroy]"},
        Mistake{"UnknownUserSubcommand",
                {"user", "del", "db", "bob"},
                "'user' has no subcommand 'del'; it has one: vssdb user add DIR NAME "
                "[--password P] [--no-destroy]"},
        Mistake{
            "AnotherCommandsOption", {"create", "db", "--long"}, "'create' has no option --long"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HelpTest, EachCommandsHelpSaysOnlyWhatItTakes) {
  EXPECT_TRUE(ParseArguments({"user", "--help"}).help);
  EXPECT_NE(vssdb::CommandHelp("user").find("vssdb user add DIR NAME"), std::string::npos);
  const std::string create = vssdb::CommandHelp("create");
  EXPECT_EQ(create.find("SPEC"), std::string::npos) << create;
  EXPECT_EQ(create.find("-u USER"), std::string::npos) << create;
  const std::string check = vssdb::CommandHelp("check");
  EXPECT_EQ(check.find("-u USER"), std::string::npos) << check;
  const std::string destroy = vssdb::CommandHelp("destroy");
  EXPECT_NE(destroy.find("SPEC is an item's path"), std::string::npos) << destroy;
  EXPECT_NE(destroy.find("-u USER"), std::string::npos) << destroy;
  EXPECT_NE(vssdb::CommandHelp("list").find("--long"), std::string::npos);
}

}  // namespace
