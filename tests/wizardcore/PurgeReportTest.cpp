// Where a purge's report goes: a state folder of the user's own, a new file for each purge, and
// a clear error when it cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "errors/ErrorRecord.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "wizardcore/PurgeReport.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(PurgeReportTest, MissingFoldersAreMadeTheUsersAloneAndEachReportIsANewFile) {
  testing_support::TempDir folder;
  testing_support::ScopedEnv state("XDG_STATE_HOME", (folder / "state").string());
  ASSERT_EQ(wizardcore::PurgeReportFolder(), folder / "state" / "scourwell");

  const fs::path first = wizardcore::SavePurgeReport("first\n");
  const fs::path second = wizardcore::SavePurgeReport("second\n");  // within the same second
  EXPECT_NE(first, second);
  for (const fs::path& made : {folder / "state", folder / "state" / "scourwell"}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  EXPECT_EQ(fs::status(second).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  std::ifstream in(second);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "second\n");
}

TEST(PurgeReportTest, AFolderThatCannotBeMadeGivesTheReportsOwnError) {
  testing_support::TempDir folder;
  std::ofstream(folder / "file") << "in the way";
  try {
    wizardcore::SavePurgeReport("text", folder / "file" / "scourwell");
    FAIL() << "written";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(static_cast<std::uint32_t>(error.Number()), 0x8004DF10u);
    EXPECT_NE(std::string(error.Description()).find("The purge report could not be written: "),
              std::string::npos)
        << error.Description();
  }
}

// A name holding a line break and a terminal's escape codes neither forges a line of the report
// nor reaches a terminal the report is shown on: each entry stays on its own line.
TEST(PurgeReportTest, NamesAndMessagesAreWrittenWithTheirControlCharactersEscaped) {
  wizardcore::PurgeContext context;
  context.database = "/srv/vss";
  context.user = "Admin";
  wizardcore::OutcomeRow row;
  row.outcome = wizardcore::Outcome::Failed;
  row.spec = "$/a\nFailed: 0.\x1B[2J";
  row.error = {-2147166449, "'$/a\nFailed: 0.' is locked"};
  row.deletion = {1487663702, "Ann\nFailed: 0."};  // a user name is no safer than a path
  const std::string text = wizardcore::PurgeReportText(context, {row}, "Failed: 1.");
  EXPECT_THAT(text, HasSubstr("failed       $/a\\x0AFailed: 0.\\x1B[2J\n"));
  EXPECT_THAT(text, HasSubstr("'$/a\\x0AFailed: 0.' is locked"));
  EXPECT_THAT(text,
              HasSubstr("\n             deleted on 2017-02-21 07:55:02 by Ann\\x0AFailed: 0.\n"));
  EXPECT_EQ(text.find('\x1B'), std::string::npos);
  EXPECT_EQ(text.find("\nFailed: 0."), std::string::npos);
}

}  // namespace
