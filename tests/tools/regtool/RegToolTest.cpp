#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/regtool/RegTool.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class RegToolTest : public ::testing::Test {
 protected:
  Outcome Run(const std::vector<std::string>& words) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = regtool::Run(words, out, err);
    return {status, out.str(), err.str()};
  }

  testing_support::TempDir folder;
  testing_support::ScopedEnv config{"XDG_CONFIG_HOME", (folder / "home").string()};
  const std::string key = "HKCU\\Software\\Pellbrook\\Scourwell\\General";
};

TEST(KeyPathTest, ReadsTheRootByEitherName) {
  EXPECT_EQ(regtool::ParseKeyPath("HKCU\\Software\\X")->root, registry::HKEY_CURRENT_USER);
  EXPECT_EQ(regtool::ParseKeyPath("hkey_local_machine\\SOFTWARE")->root,
            registry::HKEY_LOCAL_MACHINE);
  EXPECT_EQ(regtool::ParseKeyPath("HKLM\\SOFTWARE\\Classes")->subKey, "SOFTWARE\\Classes");
  EXPECT_EQ(regtool::ParseKeyPath("HKCU")->subKey, "");
  EXPECT_FALSE(regtool::ParseKeyPath("HKU\\S-1-5"));
  EXPECT_FALSE(regtool::ParseKeyPath("Software\\X"));
}

struct TypeCase {
  const char* type;
  const char* data;
  const char* shown;
  const char* typeName;
};

class RoundTripTest : public RegToolTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(RoundTripTest, WhatIsSetIsGotAndListed) {
  const TypeCase& c = GetParam();
  ASSERT_EQ(Run({"set", key, "Value", c.data, "--type", c.type}).status, 0);
  EXPECT_EQ(Run({"get", key, "value"}).out, std::string(c.shown) + "\n");
  EXPECT_EQ(Run({"list", key}).out, std::string("Value\t") + c.typeName + "\t" + c.shown + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Types, RoundTripTest,
    ::testing::Values(TypeCase{"sz", "C:\\path with space", "C:\\path with space", "REG_SZ"},
                      TypeCase{"sz", "", "", "REG_SZ"}, TypeCase{"dword", "-5", "-5", "REG_DWORD"},
                      TypeCase{"DWORD", "4294967295", "-1", "REG_DWORD"},
                      TypeCase{"expand_sz", "%HOME%/x", "%HOME%/x", "REG_EXPAND_SZ"},
                      TypeCase{"multi_sz", "a;b c;d", "a;b c;d", "REG_MULTI_SZ"},
                      TypeCase{"binary", "01ab FF", "01 ab ff", "REG_BINARY"}));

TEST_F(RegToolTest, ListsSubkeysThenValuesAndDeletesValuesAndKeys) {
  ASSERT_EQ(Run({"set", key, "LoginName", "Admin"}).status, 0);
  ASSERT_EQ(Run({"set", "HKCU\\Software\\Pellbrook\\Scourwell\\Windows settings\\FMain",
                 "WindowState", "1"})
                .status,
            0);
  ASSERT_EQ(Run({"set", "HKCU\\Software\\Pellbrook\\Scourwell", "", "top"}).status, 0);
  EXPECT_EQ(Run({"list", "HKCU\\Software\\Pellbrook\\Scourwell"}).out,
            "General\\\nWindows settings\\\n(Default)\tREG_SZ\ttop\n");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\Pellbrook\\Scourwell"}).status, 1);  // subkeys
  EXPECT_EQ(Run({"delete", key, "LoginName"}).status, 0);
  EXPECT_EQ(Run({"get", key, "LoginName"}).status, 1);
  EXPECT_EQ(Run({"delete", key}).status, 0);
  EXPECT_EQ(Run({"list", key}).status, 1);
}

TEST_F(RegToolTest, ADamagedHiveIsNamedWithWhatIsWrongWithIt) {
  const std::filesystem::path hive = folder / "home" / "Pellbrook" / "registry" / "user.hive";
  std::filesystem::create_directories(hive.parent_path());
  std::ofstream(hive, std::ios::binary) << std::string(8192, '\x5a');
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"get", key, "LoginName"},
        std::vector<std::string>{"set", key, "LoginName", "Admin"}}) {
    const Outcome outcome = Run(words);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("The settings file '" + hive.string() +
                               "' cannot be used (file is not a database)"),
              std::string::npos)
        << outcome.err;
  }
}

struct StatusCase {
  std::vector<std::string> words;
  int status;
};

class ExitStatusTest : public RegToolTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ExitStatusTest, FollowsTheConvention) {
  const Outcome outcome = Run(GetParam().words);
  EXPECT_EQ(outcome.status, GetParam().status) << outcome.err;
  if (outcome.status != 0) {
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatusTest,
    ::testing::Values(StatusCase{{"--help"}, 0}, StatusCase{{}, 2}, StatusCase{{"list"}, 2},
                      StatusCase{{"list", "Software\\X"}, 2},
                      StatusCase{{"set", "HKCU\\X", "v", "12x", "--type", "dword"}, 2},
                      StatusCase{{"set", "HKCU\\X", "v", "4294967296", "--type", "dword"}, 2},
                      StatusCase{{"set", "HKCU\\X", "v", "abc", "--type", "binary"}, 2},
                      StatusCase{{"set", "HKCU\\X", "v", "1", "--type", "qword"}, 2},
                      StatusCase{{"get", "HKCU\\Nothing", "v"}, 1},
                      StatusCase{{"set", "HKCU\\X", "v", "1"}, 0}));

}  // namespace

namespace {

TEST_F(RegToolTest, ErrorsNameTheKeyAndTheValue) {
  ASSERT_EQ(Run({"set", key, "LoginName", "Admin"}).status, 0);
  Outcome outcome = Run({"get", key, "NoSuchValue"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("cannot read the value 'NoSuchValue' of '" + key + "'"),
            std::string::npos)
      << outcome.err;
  outcome = Run({"list", key + "\\Missing"});
  EXPECT_NE(outcome.err.find("cannot open the key '" + key + "\\Missing'"), std::string::npos)
      << outcome.err;
  const auto version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "regtool " SCOURWELL_VERSION "\n");
}

// delete --recursive: with --yes at once; at a terminal after a yes; never without --yes when
// nobody can be asked.
struct TreeDelete {
  const char* name;
  std::vector<std::string> options;
  bool interactive;
  const char* answer;
  int status;
  bool deleted;
};

void PrintTo(const TreeDelete& c, std::ostream* out) { *out << c.name; }

class TreeDeleteTest : public RegToolTest, public ::testing::WithParamInterface<TreeDelete> {};

TEST_P(TreeDeleteTest, RemovesTheKeyWithItsSubkeysOnlyWhenSure) {
  const std::string top = "HKCU\\Software\\Pellbrook\\Scourwell";
  ASSERT_EQ(Run({"set", top + "\\General", "LoginName", "Admin"}).status, 0);
  ASSERT_EQ(Run({"set", top + "\\General\\Deeper", "X", "1"}).status, 0);
  ASSERT_EQ(Run({"set", top + "\\FormRestore", "Left", "1", "--type", "dword"}).status, 0);

  std::vector<std::string> words{"delete", top};
  words.insert(words.end(), GetParam().options.begin(), GetParam().options.end());
  std::istringstream in(GetParam().answer);
  std::ostringstream asked;
  std::ostringstream out;
  std::ostringstream err;
  const int status =
      regtool::Run(words, out, err, regtool::Terminal{in, asked, GetParam().interactive});
  EXPECT_EQ(status, GetParam().status) << err.str();
  EXPECT_EQ(Run({"list", top}).status, GetParam().deleted ? 1 : 0);
  EXPECT_EQ(Run({"list", "HKCU\\Software\\Pellbrook"}).status, 0);  // the parent stays
  if (GetParam().interactive && GetParam().options.size() == 1) {
    EXPECT_NE(asked.str().find("and the 3 keys below it? [y/N]"), std::string::npos) << asked.str();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeDeleteTest,
    ::testing::Values(TreeDelete{"Yes", {"--recursive", "--yes"}, false, "", 0, true},
                      TreeDelete{"NoTerminalNoYes", {"--recursive"}, false, "y\n", 2, false},
                      TreeDelete{"AnsweredYes", {"--recursive"}, true, "y\n", 0, true},
                      TreeDelete{"AnsweredNo", {"--recursive"}, true, "n\n", 1, false},
                      TreeDelete{"NotRecursive", {}, false, "", 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
