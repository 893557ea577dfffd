// The purge's one road: the copy kept before the first destroy or nothing destroyed at all, the
// account and the report of what came of each entry; and the rule that turns the copy's settings
// into a folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "RecordingHost.h"
#include "support/FakeDatabase.h"
#include "support/TempDir.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Runs.h"

namespace {

using ::testing::HasSubstr;
using testing_support::Fake;

class RunPurgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    x->content = "x";
    root->children = {x, y};
    ASSERT_TRUE(wizardcore::ListDeleted(host, list, items, root));
    ASSERT_EQ(list.Size(), 2);
    request.context.database = "/srv/vss";
    request.context.user = "Admin";
    request.report = {wizardcore::ReportTarget::Kind::File, folder / "report.txt"};
  }

  std::string Report() const {
    std::ifstream in(folder / "report.txt");
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::shared_ptr<testing_support::FakeItem> x = Fake("$/x.txt", true, 1);
  std::shared_ptr<testing_support::FakeItem> y = Fake("$/y.txt", true, 1);
  std::shared_ptr<testing_support::FakeItem> root = Fake("$/", false, 0, true);
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  testing_support::TempDir folder;
  wizardcore::PurgeRequest request;
};

TEST_F(RunPurgeTest, KeepsTheCopyBeforeTheFirstDestroyAndReportsEachEntry) {
  request.keepIn = folder / "kept";
  int called = 0;
  request.beforeDestroys = [&](const std::string& keptCopy) {
    ++called;
    EXPECT_TRUE(std::filesystem::is_regular_file(keptCopy)) << keptCopy;
    EXPECT_EQ(x->destroyed + y->destroyed, 0);  // the copy is whole before anything goes
  };
  const wizardcore::PurgeRun run = wizardcore::RunPurge(host, list, items, nullptr, request);
  EXPECT_FALSE(run.notStarted);
  EXPECT_EQ(called, 1);
  EXPECT_EQ(run.summary.destroyed, 2);
  ASSERT_EQ(run.outcomes.size(), 2u);
  EXPECT_EQ(run.outcomes[0].outcome, wizardcore::Outcome::Destroyed);
  EXPECT_EQ(run.keptCopy.rfind((folder / "kept").string(), 0), 0u) << run.keptCopy;
  EXPECT_EQ(run.reportPath, (folder / "report.txt").string());
  EXPECT_THAT(Report(), HasSubstr("Copy kept: " + run.keptCopy));
  EXPECT_THAT(Report(), HasSubstr("destroyed    $/x.txt"));
}

TEST_F(RunPurgeTest, DestroysNothingWhenTheCopyCannotBeKept) {
  std::ofstream(folder / "kept") << "a file where the folder should be";
  request.keepIn = folder / "kept";
  bool called = false;
  request.beforeDestroys = [&](const std::string&) { called = true; };
  const wizardcore::PurgeRun run = wizardcore::RunPurge(host, list, items, nullptr, request);
  EXPECT_EQ(run.notStarted.number, wizardcore::kCopyNotKept);
  EXPECT_FALSE(called);
  EXPECT_EQ(x->destroyed + y->destroyed, 0);
  EXPECT_FALSE(list[0].removed);
  EXPECT_TRUE(run.outcomes.empty());
  EXPECT_FALSE(std::filesystem::exists(folder / "report.txt"));
  ASSERT_FALSE(host.logged.empty());
  EXPECT_THAT(host.logged.back(), HasSubstr("could not be written, so nothing was purged"));
}

TEST_F(RunPurgeTest, AReportThatCannotBeWrittenLeavesThePurgeAsItWas) {
  request.report = {wizardcore::ReportTarget::Kind::File, folder / "missing" / "report.txt"};
  const wizardcore::PurgeRun run = wizardcore::RunPurge(host, list, items, nullptr, request);
  EXPECT_EQ(run.summary.destroyed, 2);
  EXPECT_TRUE(run.reportError);
  EXPECT_TRUE(run.reportPath.empty());
}

struct FolderCase {
  const char* keepCopy;
  const char* folder;
  std::optional<std::filesystem::path> expected;  // "default" stands for KeptFolder()
};

class KeepCopyFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(KeepCopyFolderTest, FollowsTheSettings) {
  const FolderCase& c = GetParam();
  std::optional<std::filesystem::path> expected = c.expected;
  if (expected == std::filesystem::path("default")) {
    expected = wizardcore::KeptFolder();
  }
  EXPECT_EQ(wizardcore::KeepCopyFolderFrom(c.keepCopy, c.folder), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, KeepCopyFolderTest,
    ::testing::Values(FolderCase{"", "", "default"}, FolderCase{"1", "/srv/kept", "/srv/kept"},
                      FolderCase{"0", "/srv/kept", std::nullopt},
                      FolderCase{"No", "", std::nullopt}, FolderCase{"OFF", "", std::nullopt},
                      FolderCase{"false", "", std::nullopt},
                      // Anything but a clear no keeps a copy; only a whole path says where.
                      FolderCase{"2", "", "default"}, FolderCase{"yes", "kept", "default"},
                      FolderCase{"nope", "~/kept", "default"}));

}  // namespace
