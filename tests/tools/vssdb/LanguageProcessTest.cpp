// The built vssdb under an English and a Chinese environment: what scripts read is the same to
// the byte, the messages for people are in the user's language.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text/DisplayWidth.h"
#include "support/Process.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using testing_support::Completed;
using testing_support::ScopedEnv;

const char* const kLanguages[] = {"en_US.UTF-8", "zh_CN.UTF-8"};

Completed Vssdb(const char* lang, const std::vector<std::string>& words) {
  const ScopedEnv language("LANGUAGE", nullptr);
  const ScopedEnv all("LC_ALL", nullptr);
  const ScopedEnv messages("LC_MESSAGES", nullptr);
  const ScopedEnv locale("LANG", lang);
  std::vector<std::string> argv{SCOURWELL_VSSDB};
  argv.insert(argv.end(), words.begin(), words.end());
  return testing_support::RunCommand(argv);
}

class LanguageProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = db.string();
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"create", path},
             {"mkdir", path, "$/P"},
             {"add", path, "$/P/a.txt", "--from", SCOURWELL_VSSDB},
             {"add", path, "$/b.txt"},
             {"delete", path, "$/P/a.txt"},
             {"delete", path, "$/P"},
             {"delete", path, "$/b.txt"}}) {
      const Completed done = Vssdb(kLanguages[0], words);
      ASSERT_EQ(done.status, 0) << done.err;
    }
  }

  testing_support::TempDir folder;
  std::filesystem::path db = folder / "db";
};

TEST_F(LanguageProcessTest, MachineOutputsAreTheSameToTheByte) {
  const std::string path = db.string();
  const std::vector<std::vector<std::string>> commands = {
      {"list", path, "--deleted", "--format", "json"},
      {"list", path, "--deleted", "--format", "csv"},
      {"purge", path, "--dry-run", "--format", "json"},
      {"purge", path, "--dry-run", "--format", "csv", "--match", "a.txt"},
      {"cat", path, "$/P/a.txt"},
  };
  for (const auto& words : commands) {
    const Completed english = Vssdb(kLanguages[0], words);
    const Completed chinese = Vssdb(kLanguages[1], words);
    EXPECT_EQ(english.status, 0) << words[0] << ": " << english.err;
    EXPECT_EQ(chinese.status, english.status) << words[0];
    EXPECT_EQ(chinese.out, english.out) << words[0] << " " << words.back();
  }
  // A purge itself, on the same path each time: its report with the summary.
  std::string reports[2];
  for (int language = 0; language < 2; ++language) {
    const std::filesystem::path work = folder / "work";
    std::filesystem::remove_all(work);
    std::filesystem::copy(db, work, std::filesystem::copy_options::recursive);
    const Completed done = Vssdb(
        kLanguages[language], {"purge", work.string(), "--yes", "--no-copy", "--format", "json"});
    EXPECT_EQ(done.status, 0) << done.err;
    reports[language] = done.out;
  }
  EXPECT_NE(reports[0].find("\"summary\": \"Destroyed: 3 entries"), std::string::npos)
      << reports[0];
  EXPECT_EQ(reports[1], reports[0]);
}

TEST_F(LanguageProcessTest, MessagesAndHelpAreInTheUsersLanguage) {
  const Completed english = Vssdb(kLanguages[0], {"frobnicate", db.string()});
  const Completed chinese = Vssdb(kLanguages[1], {"frobnicate", db.string()});
  EXPECT_EQ(english.status, 2);
  EXPECT_EQ(chinese.status, 2);
  EXPECT_EQ(english.err.rfind("vssdb: unknown command 'frobnicate'", 0), 0u) << english.err;
  EXPECT_EQ(chinese.err.rfind("vssdb: 未知命令“frobnicate”", 0), 0u) << chinese.err;

  const Completed help = Vssdb(kLanguages[1], {"--help"});
  ASSERT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("命令："), std::string::npos);
  // The syntax stays as it is typed; the paragraphs wrap at the terminal's 80 columns.
  EXPECT_NE(help.out.find("  vssdb list DIR [SPEC] [--deleted]"), std::string::npos);
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  vssdb ", 0) != 0) {  // a synopsis may be longer, as in English
      EXPECT_LE(text::DisplayWidth(line), 80u) << line;
    }
  }
}

}  // namespace
