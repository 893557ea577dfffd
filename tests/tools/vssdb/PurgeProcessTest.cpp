// The built vssdb purging as a script runs it, on a database of our own and on a copy of a real
// SourceSafe 6 one: no terminal, a dry run, patterns, and Ctrl+C in the middle.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/sqlite/Connection.h"
#include "support/DiskFigure.h"
#include "support/Process.h"
#include "support/Required.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using testing_support::RunCommand;

std::string Vssdb() { return SCOURWELL_VSSDB; }

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

struct EngineCase {
  const char* name;
  const char* shared;  // a shared real database to copy; none for one of our own
  int matchedStatus;   // of --match '~sak*' --yes
  std::size_t leftAfterMatch;
  std::size_t keptBeforehand;  // entries the engine says it would refuse
};

class PurgeProcessTest : public ::testing::TestWithParam<EngineCase> {
 protected:
  // The database of the case: a copy of the shared one, or one of our own with a deleted
  // project holding a ~sak file and a file the pattern does not match.
  bool Make() {
    if (GetParam().shared != nullptr) {
      const std::filesystem::path shared = testing_support::kSharedDatabases / GetParam().shared;
      if (!std::filesystem::exists(shared)) {
        return false;
      }
      std::filesystem::copy(shared, db, std::filesystem::copy_options::recursive);
      return true;
    }
    const std::string path = db.string();
    const auto ok = [](const std::vector<std::string>& words) {
      std::vector<std::string> argv{Vssdb()};
      argv.insert(argv.end(), words.begin(), words.end());
      const auto done = RunCommand(argv);
      EXPECT_EQ(done.status, 0) << done.err;
    };
    ok({"create", path});
    ok({"mkdir", path, "$/~sakdir"});
    for (const char* spec : {"$/~sakdir/~sakA", "$/~sakdir/keep.txt", "$/~sakB"}) {
      ok({"add", path, spec});
      ok({"delete", path, spec});
    }
    ok({"delete", path, "$/~sakdir"});
    return true;
  }
  testing_support::Completed Purge(const std::vector<std::string>& options) {
    std::vector<std::string> argv{Vssdb(), "purge", db.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return RunCommand(argv);
  }
  std::string Listing() { return RunCommand({Vssdb(), "list", db.string(), "--long"}).out; }
  std::string Deleted() { return RunCommand({Vssdb(), "list", db.string(), "--deleted"}).out; }

  testing_support::TempDir folder;
  testing_support::ScopedEnv data{"XDG_DATA_HOME", (folder / "data").string()};
  std::filesystem::path db = folder / "db";
};

TEST_P(PurgeProcessTest, RefusesWithoutATerminalShowsADryRunAndPurgesWhatMatches) {
  const bool made = Make();
  SCOURWELL_REQUIRE(made, std::string("the shared database ") + GetParam().name);
  const std::string before = Listing();
  const std::size_t deletedBefore = Lines(Deleted());

  const auto refused = Purge({});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;

  // The dry run leaves out what the engine would refuse, and says so (3).
  const auto dry = Purge({"--dry-run"});
  EXPECT_EQ(dry.status, GetParam().keptBeforehand > 0 ? 3 : 0) << dry.err;
  EXPECT_NE(dry.out.find(std::to_string(deletedBefore - GetParam().keptBeforehand) +
                         " checked entries: "),
            std::string::npos)
      << dry.out;
  EXPECT_NE(
      testing_support::AnyDiskFigure(dry.out).find(" of content; this frees about N on disk."),
      std::string::npos)
      << dry.out;
  EXPECT_EQ(Listing(), before);

  const auto matched = Purge({"--match", "~sak*", "--yes"});
  EXPECT_EQ(matched.status, GetParam().matchedStatus) << matched.out << matched.err;
  const std::string left = Deleted();
  EXPECT_EQ(Lines(left), GetParam().leftAfterMatch) << left;
  EXPECT_EQ(left.find("/~sak") == std::string::npos, GetParam().shared != nullptr) << left;
  const auto check = RunCommand({Vssdb(), "check", db.string()});
  EXPECT_EQ(check.status, 0) << check.out;
}

INSTANTIATE_TEST_SUITE_P(
    Engines, PurgeProcessTest,
    ::testing::Values(
        // ~sakdir holds keep.txt, which --match does not take: the project is kept (3).
        EngineCase{"own", nullptr, 3, 2, 0},
        // 54 unshared ~sak files go; the 13 shared entries stay.
        EngineCase{"Shaili", "shukladhaval25_Inventory-Shaili", 0, 13, 13}),
    [](const auto& info) { return std::string(info.param.name); });

// The shared entries of a real database are refused by its engine: the purge says so and exits
// with 3, and everything else goes.
TEST(PurgeRealDatabaseTest, RefusedEntriesAreKeptBeforehandReportedAndExitWithThree) {
  const std::filesystem::path shared =
      testing_support::kSharedDatabases / "shukladhaval25_Inventory-Shaili";
  SCOURWELL_REQUIRE_SHARED(shared);
  testing_support::TempDir folder;
  const testing_support::ScopedEnv data("XDG_DATA_HOME", (folder / "data").string());
  std::filesystem::copy(shared, folder / "db", std::filesystem::copy_options::recursive);
  const std::filesystem::path file = folder / "purge.txt";
  const auto purged = RunCommand({Vssdb(), "purge", (folder / "db").string(), "--yes", "--format",
                                  "csv", "--report", file.string()});
  EXPECT_EQ(purged.status, 3) << purged.err;
  std::size_t kept = 0;
  std::size_t refused = 0;
  std::istringstream rows(purged.out);
  for (std::string row; std::getline(rows, row);) {
    kept += row.find("\"kept\",\"0x8004DF0D\",\"shared with '") != std::string::npos ? 1 : 0;
    refused += row.find("\"refused\"") != std::string::npos ? 1 : 0;
  }
  EXPECT_EQ(kept, 13u) << purged.out;
  EXPECT_EQ(refused, 0u) << purged.out;  // none was tried
  // The same account, as the window writes it, where it was asked for.
  std::ifstream in(file);
  const std::string report{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(report.find("Asked: 54 checked entries"), std::string::npos) << report;
  EXPECT_NE(report.find("Advice: Make sure nobody is working"), std::string::npos) << report;
  EXPECT_NE(report.find("\nkept         $/Invetory Shaili/"), std::string::npos) << report;
  EXPECT_NE(report.find("Destroyed: 54 entries"), std::string::npos) << report;
}

// Ctrl+C in the middle of a purge stops it after the item in hand, with the summary; what was
// destroyed before is saved.
TEST(PurgeInterruptTest, CtrlCStopsAfterTheItemInHandWithASummary) {
  testing_support::TempDir folder;
  const testing_support::ScopedEnv data("XDG_DATA_HOME", (folder / "data").string());
  const std::string db = (folder / "db").string();
  const auto generated =
      RunCommand({Vssdb(), "generate", db, "--items", "20000", "--deleted", "0.5", "--seed", "7"});
  ASSERT_EQ(generated.status, 0) << generated.err;
  const std::size_t before = Lines(RunCommand({Vssdb(), "list", db, "--deleted"}).out);

  // A reader of the database holds the purge at its first save until Ctrl+C has come, so that
  // the purge is surely in the middle of its destroys when it does.
  sqlite::Connection reader(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadOnly);
  reader.Execute("BEGIN; SELECT count(*) FROM items;");
  const std::string output = (folder / "purge").string();
  testing_support::Process purge({Vssdb(), "purge", db, "--yes"}, output);
  // The rollback journal appears with the purge's first write: from then on the purge is inside
  // its destroys, and cannot save them while the reader holds the database.
  const std::filesystem::path journal = folder / "db" / "data.vssdb-journal";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(journal) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_TRUE(std::filesystem::exists(journal));
  purge.Signal(SIGINT);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  reader.Execute("COMMIT");
  EXPECT_EQ(purge.Wait(), 1);

  std::ifstream out(output);
  const std::string report(std::istreambuf_iterator<char>(out), {});
  EXPECT_NE(report.find("The purge was stopped."), std::string::npos) << report;
  EXPECT_NE(report.find("not-reached"), std::string::npos);
  const std::size_t after = Lines(RunCommand({Vssdb(), "list", db, "--deleted"}).out);
  EXPECT_LT(after, before);  // what was destroyed before the stop is gone
  EXPECT_GT(after, 0u);      // and the rest is still there
  EXPECT_EQ(RunCommand({Vssdb(), "check", db}).status, 0);
}

}  // namespace
