// vssdb purge in the process of the test: what the patterns select, the dry run, the question
// at a terminal and its refusal without one, and the reports.
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Session.h"
#include "support/DiskFigure.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/vssdb/Commands.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Vssdb(const std::vector<std::string>& words, bool terminal = false,
              const std::string& input = {}) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  vssdb::Console console{in, out, err, terminal};
  const int status = vssdb::Run(words, console);
  return {status, out.str(), err.str()};
}

void Ok(const std::vector<std::string>& words) {
  const Outcome outcome = Vssdb(words);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
}

// The database of every case:
//   $/~sak2              deleted, 7 bytes
//   $/~sakdir            deleted project
//   $/~sakdir/keep.txt   deleted, 3 bytes
//   $/~sakdir/~sak1      deleted, 5 bytes
//   $/live.txt           live
void Make(const std::filesystem::path& db) {
  Ok({"create", db.string()});
  Ok({"mkdir", db.string(), "$/~sakdir"});
  const std::filesystem::path from = db.parent_path() / "content";
  for (const auto& [spec, content] :
       std::vector<std::pair<std::string, std::string>>{{"$/~sakdir/~sak1", "12345"},
                                                        {"$/~sakdir/keep.txt", "abc"},
                                                        {"$/~sak2", "1234567"},
                                                        {"$/live.txt", "x"}}) {
    { std::ofstream(from) << content; }
    Ok({"add", db.string(), spec, "--from", from.string()});
  }
  for (const char* spec : {"$/~sakdir/~sak1", "$/~sakdir/keep.txt", "$/~sakdir", "$/~sak2"}) {
    Ok({"delete", db.string(), spec});
  }
}

class PurgeCommandTest : public ::testing::Test {
 protected:
  // Made once and copied for each test: a new database's password hashing takes a while.
  static void SetUpTestSuite() {
    made_ = std::make_unique<testing_support::TempDir>();
    Make(made_->Path() / "db");
  }
  static void TearDownTestSuite() { made_.reset(); }
  void SetUp() override {
    std::filesystem::copy(made_->Path() / "db", Db(), std::filesystem::copy_options::recursive);
  }

  Outcome Run(const std::vector<std::string>& words, bool terminal = false,
              const std::string& input = {}) {
    return Vssdb(words, terminal, input);
  }
  // The deleted items left, one spec a line.
  std::string Deleted() { return Run({"list", Db(), "--deleted"}).out; }
  std::string Db() const { return (folder / "db").string(); }

  testing_support::TempDir folder;
  // The copies kept before purges go to the test's folder.
  testing_support::ScopedEnv data{"XDG_DATA_HOME", (folder / "data").string()};

 private:
  static inline std::unique_ptr<testing_support::TempDir> made_;
};

constexpr const char* kAll = "$/~sak2\n$/~sakdir\n$/~sakdir/keep.txt\n$/~sakdir/~sak1\n";

struct PurgeCase {
  std::vector<std::string> options;
  bool terminal;
  const char* answer;
  int status;
  const char* left;  // the deleted items afterwards
  const char* said;  // a part of standard output, or of standard error when the status is 2
};

class PurgeCases : public PurgeCommandTest, public ::testing::WithParamInterface<PurgeCase> {};

TEST_P(PurgeCases, DestroysWhatIsSelectedAndConfirmed) {
  const PurgeCase& c = GetParam();
  std::vector<std::string> words{"purge", Db()};
  words.insert(words.end(), c.options.begin(), c.options.end());
  const Outcome outcome = Run(words, c.terminal, c.answer);
  EXPECT_EQ(outcome.status, c.status) << outcome.err;
  EXPECT_EQ(Deleted(), c.left);
  EXPECT_NE((c.status == 2 ? outcome.err : outcome.out).find(c.said), std::string::npos)
      << outcome.out << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PurgeCases,
    ::testing::Values(
        // A dry run changes nothing and gives the question's totals.
        PurgeCase{{"--dry-run"},
                  false,
                  "",
                  0,
                  kAll,
                  "4 checked entries: 4 items will be destroyed for good, 2 of them inside "
                  "projects, holding 15 bytes of content; this frees about "},
        // The project matches, but keep.txt below it does not: the project is kept.
        PurgeCase{
            {"--match", "~sak*", "--yes"}, false, "", 3, "$/~sakdir\n$/~sakdir/keep.txt\n", "kept"},
        PurgeCase{{"--exclude", "keep*", "--yes"},
                  false,
                  "",
                  3,
                  "$/~sakdir\n$/~sakdir/keep.txt\n",
                  "Destroyed: 2 entries"},
        PurgeCase{{"--match", "$/~sak2", "--yes"},
                  false,
                  "",
                  0,
                  "$/~sakdir\n$/~sakdir/keep.txt\n$/~sakdir/~sak1\n",
                  "destroyed"},
        PurgeCase{{"--match", "~sak*", "--exclude", "*2", "--yes"},
                  false,
                  "",
                  3,
                  "$/~sak2\n$/~sakdir\n$/~sakdir/keep.txt\n",
                  "kept"},
        // Without a terminal to ask at, --yes or --dry-run is needed.
        PurgeCase{{}, false, "", 2, kAll, "no terminal"}, PurgeCase{{}, true, "n\n", 1, kAll, ""},
        PurgeCase{{}, true, "", 1, kAll, ""},
        PurgeCase{{}, true, "YES\n", 0, "", "Destroyed: 4 entries, 4 items, 15 bytes"},
        PurgeCase{{"--format", "xml", "--yes"}, false, "", 2, kAll, "--format"},
        PurgeCase{{"--keep-copy", "x", "--no-copy", "--yes"}, false, "", 2, kAll, "opposite"},
        // Who deleted them, in any letter case, and a day that is not one.
        PurgeCase{{"--deleted-by", "ADMIN", "--yes"}, false, "", 0, "", "Destroyed: 4 entries"},
        PurgeCase{{"--deleted-before", "2024-02-30", "--yes"},
                  false,
                  "",
                  2,
                  kAll,
                  "--deleted-before takes a date as 2024-01-31, not '2024-02-30'"}));

// The copy kept before a purge: what it holds comes back into the database as it was, an entry
// whose name is taken again is refused, and --to extracts it.
TEST_F(PurgeCommandTest, KeepsACopyThatRestoreBringsBackAsDeletedWithItsContent) {
  const std::filesystem::path kept = folder / "kept";
  Outcome outcome = Run({"purge", Db(), "--yes", "--keep-copy", kept.string()});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Deleted(), "");
  std::vector<std::filesystem::path> copies(std::filesystem::directory_iterator(kept), {});
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_NE(outcome.err.find("kept the copy in " + copies[0].string()), std::string::npos)
      << outcome.err;

  outcome = Run({"restore", copies[0].string(), Db()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "restored $/~sak2\nrestored $/~sakdir\n");
  EXPECT_EQ(Deleted(), kAll);
  const auto session = sourcesafe::Session::Open(Db(), "Admin", "");
  const auto content = session->Content(session->Find("$/~sakdir/~sak1", true));
  EXPECT_EQ(std::string(content.begin(), content.end()), "12345");
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*session).empty());

  // Again: each entry's name is taken by the deleted item put back; nothing more is written.
  outcome = Run({"restore", copies[0].string(), Db()});
  EXPECT_EQ(outcome.status, 3);
  EXPECT_NE(outcome.out.find("refused $/~sak2: error 0x8004DF04: A deleted item '$/~sak2' is in "
                             "the project now"),
            std::string::npos)
      << outcome.out;
  EXPECT_EQ(Deleted(), kAll);

  outcome = Run({"restore", copies[0].string(), "--to", (folder / "out").string()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  std::ifstream file(folder / "out" / "files" / "~sakdir" / "keep.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "abc");
  // Never over a file there already.
  EXPECT_EQ(Run({"restore", copies[0].string(), "--to", (folder / "out").string()}).status, 1);
}

// A copy that cannot be written stops the purge before anything is destroyed; --no-copy keeps
// none.
TEST_F(PurgeCommandTest, WithoutItsCopyNothingIsPurgedUnlessNoneIsWanted) {
  std::ofstream(folder / "in the way") << "a file";
  Outcome outcome =
      Run({"purge", Db(), "--yes", "--keep-copy", (folder / "in the way" / "kept").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("error 0x8004DF11: The copy to keep before the purge could not be "
                             "written, so nothing was purged"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(Deleted(), kAll);

  outcome = Run({"purge", Db(), "--yes", "--no-copy"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_FALSE(std::filesystem::exists(folder / "data" / "scourwell"));
}

TEST_F(PurgeCommandTest, AsksWithTheTotalsAtATerminal) {
  const Outcome outcome = Run({"purge", Db(), "--match", "~sak2"}, true, "y\n");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(testing_support::AnyDiskFigure(outcome.err)
                .find("Purge 1 checked entry?\n\n1 item will be destroyed for good, holding 7 "
                      "bytes of content; this frees about N on disk.\n\nThis cannot be undone. "
                      "[y/N] "),
            std::string::npos)
      << outcome.err;
}

TEST_F(PurgeCommandTest, ReportsForScriptsAreJsonAndCsv) {
  const Outcome json = Run({"purge", Db(), "--dry-run", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  QJsonParseError error{};
  const QJsonObject report =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
  EXPECT_EQ(report["totals"]["entries"].toInt(), 4);
  EXPECT_EQ(report["totals"]["inside_projects"].toInt(), 2);
  const QJsonObject project = report["entries"][1].toObject();
  EXPECT_EQ(project["path"].toString(), "$/~sakdir");
  EXPECT_EQ(project["items_below"].toInt(), 2);
  EXPECT_EQ(project["bytes_below"].toInt(), 8);
  EXPECT_TRUE(project["size"].isNull());

  // A name holding the separator stays one field.
  Ok({"mkdir", Db(), "$/a,b"});
  Ok({"delete", Db(), "$/a,b"});
  const Outcome csv = Run({"list", Db(), "--deleted", "--format", "csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out.substr(0, csv.out.find('\n') + 1),
            "\"path\",\"kind\",\"size\",\"items_below\",\"bytes_below\",\"complete\","
            "\"deleted_on\",\"deleted_by\"\r\n");
  // Deleted just now, by the user who ran the delete.
  const std::size_t row = csv.out.find("\"$/a,b\",\"project\",\"\",\"0\",\"0\",\"true\",\"20");
  ASSERT_NE(row, std::string::npos) << csv.out;
  EXPECT_EQ(csv.out.substr(row + 58, csv.out.find('\n', row) + 1 - row - 58), "\"Admin\"\r\n")
      << csv.out;
  EXPECT_EQ(project["deleted_by"].toString(), "Admin");
}

// vssdb kept lists the copies a folder holds and removes those older than asked, never without
// being told how old.
TEST_F(PurgeCommandTest, KeptListsTheCopiesAndRemovesOnlyTheOldOnes) {
  const std::filesystem::path kept = folder / "kept";
  ASSERT_EQ(Run({"purge", Db(), "--yes", "--match", "~sak2", "--keep-copy", kept.string()}).status,
            0);
  ASSERT_EQ(Run({"purge", Db(), "--yes", "--keep-copy", kept.string()}).status, 0);
  std::vector<std::filesystem::path> copies(std::filesystem::directory_iterator(kept), {});
  ASSERT_EQ(copies.size(), 2u);
  // In the same second, the second copy's name gets "-2".
  std::sort(copies.begin(), copies.end(),
            [](const auto& a, const auto& b) { return a.string().size() < b.string().size(); });
  // The first made ten days ago.
  std::filesystem::last_write_time(
      copies[0], std::filesystem::last_write_time(copies[0]) - std::chrono::hours(24 * 10));

  Outcome outcome = Run({"kept", kept.string()});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("1 entry  " + Db() + "  " + copies[0].string() + "\n"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("1 entry  " + Db() + "  " + copies[1].string() + "\n"),
            std::string::npos)
      << outcome.out;
  EXPECT_EQ(Run({"kept", kept.string(), "--remove"}).status, 2);
  outcome = Run({"kept", kept.string(), "--older-than", "7", "--remove"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find(copies[0].string() + "\n  removed\n"), std::string::npos)
      << outcome.out;
  EXPECT_FALSE(std::filesystem::exists(copies[0]));
  EXPECT_TRUE(std::filesystem::exists(copies[1]));
}

}  // namespace
