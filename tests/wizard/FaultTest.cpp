#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "WizardFixture.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Names.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

// Files this process writes may not grow past `bytes` while the object lives: a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);  // a failing write, not a dead process
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t previousHandler_;
};

TEST_F(WizardTest, AFullDiskRefusesEachDestroyWhichIsReportedAndChangesNothing) {
  for (const char* name : {"a", "b", "c"}) {
    AddFile(std::string("$/") + name, std::string(2000, 'x'));
    Delete(std::string("$/") + name);
  }
  Store("KeepCopy", "no");  // the destroys themselves meet the full disk
  ListAll();
  ASSERT_EQ(Rows(), 3);
  std::string logged;
  {
    FileSizeLimit full(1024);  // not even the rollback journal fits
    ::testing::internal::CaptureStderr();
    Purge();
    logged = ::testing::internal::GetCapturedStderr();
  }
  // The same failure three times: one box, the repeats counted on the finish page, and each one
  // on standard error with its item.
  EXPECT_THAT(Reports(), ElementsAre("PurgeVssItems:114"));
  EXPECT_NE(Text("lblSummary").indexOf("(-2147164409) at line 114, 2 more times"), -1)
      << Text("lblSummary").toStdString();
  EXPECT_NE(Text("lblSummary").indexOf("Failed: 3."), -1);
  for (const char* spec : {"$/a", "$/b", "$/c"}) {
    EXPECT_NE(
        logged.find("scourwell: purge of '" + std::string(spec) + "', line 114: (-2147164409)"),
        std::string::npos)
        << logged;
  }
  // After the question, the first failure's box: the storage failure.
  EXPECT_NE(forms.boxes[1].prompt.find("(-2147164409)"), std::string::npos)
      << forms.boxes[1].prompt;
  EXPECT_NE(forms.boxes[1].prompt.find("nothing was changed"), std::string::npos);
  EXPECT_EQ(Rows(), 0);  // a refused destroy still leaves the list
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_THAT(Deleted(), ElementsAre("$/a", "$/b", "$/c"));
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*engine).empty());
}

TEST_F(WizardTest, AFullDiskWhileTheCopyIsKeptDestroysNothing) {
  std::mt19937 random(7);
  for (const char* name : {"a", "b"}) {
    // Content no compression makes smaller than the limit below.
    std::string content(2000, '\0');
    std::generate(content.begin(), content.end(), [&] { return static_cast<char>(random()); });
    AddFile(std::string("$/") + name, content);
    Delete(std::string("$/") + name);
  }
  ListAll();
  ASSERT_EQ(Rows(), 2);
  {
    FileSizeLimit full(1024);
    ::testing::internal::CaptureStderr();
    Purge();
    ::testing::internal::GetCapturedStderr();
  }
  EXPECT_THAT(Text("lblSummary").toStdString(),
              ::testing::StartsWith("The copy to keep before the purge could not be written, so "
                                    "nothing was purged: "));
  EXPECT_THAT(Deleted(), ElementsAre("$/a", "$/b"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_FALSE(Get<QLabel>("lblKeptCopy").isVisibleTo(window.get()));
  // Nothing half written is left in the folder.
  EXPECT_TRUE(std::filesystem::is_empty(folder / "data" / "scourwell" / "kept"));
}

TEST_F(WizardTest, ATreeThatRunsRoundACycleEndsTheSearchWithAClearError) {
  engine->MakeProject("$/A/B");
  AddFile("$/A/B/f.txt");
  Delete("$/A/B/f.txt");
  {
    sqlite::Connection raw(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadWrite);
    raw.Execute("UPDATE items SET parent = (SELECT id FROM items WHERE name = 'B') WHERE id = 1");
  }
  ListAll();
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_NE(forms.boxes[0].prompt.find("is damaged: its root project lies below item"),
            std::string::npos)
      << forms.boxes[0].prompt;
  EXPECT_EQ(Rows(), 0);
}

TEST_F(WizardTest, ALockHeldLongerThanTheBusyTimeoutIsAClearErrorAtTheOpen) {
  sqlite::Connection holder(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadWrite);
  holder.Execute("BEGIN EXCLUSIVE");
  ListAll();
  holder.Execute("ROLLBACK");
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_NE(forms.boxes[0].prompt.find("Could not connect to the VSS database.\r\n\r\nDetails: "),
            std::string::npos);
  EXPECT_NE(forms.boxes[0].prompt.find("locked by another user"), std::string::npos)
      << forms.boxes[0].prompt;
  EXPECT_TRUE(Shown("frmHost(0)"));
}

TEST_F(WizardTest, AWrongPasswordIsNeverShown) {
  ListAll(Dir(), "Admin", "my-secret-guess");
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt.find("my-secret-guess"), std::string::npos);
}

struct BadLogin {
  const char* name;
  std::string path;
  std::string user;
  std::string password;
};

class BadInputTest : public WizardTest, public ::testing::WithParamInterface<BadLogin> {};

TEST_P(BadInputTest, GivesTheOpenBoxAndLeavesTheLoginPage) {
  const BadLogin& login = GetParam();
  const std::string path = login.path == "DB"     ? Dir()
                           : login.path == "FILE" ? (folder / "text.txt").string()
                                                  : login.path;
  std::ofstream(folder / "text.txt") << "just some text\n";
  ListAll(path, login.user, login.password);
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt.rfind("Could not connect to the VSS database.", 0), 0u);
  EXPECT_TRUE(Shown("frmHost(0)"));
  EXPECT_TRUE(Button("cmdNext").isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadInputTest,
    ::testing::Values(BadLogin{"LongPath", std::string(65536, 'p'), "Admin", ""},
                      BadLogin{"LongUser", "DB", std::string(65536, 'u'), ""},
                      BadLogin{"LongPassword", "DB", "Admin", std::string(65536, 'w')},
                      BadLogin{"ControlCharacters", "DB", "Ad\x01min\n\t", "\x7f\x1b[2J"},
                      BadLogin{"PathOfAFile", "FILE", "Admin", ""},
                      BadLogin{"PathOfADevice", "/dev/zero", "Admin", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardTest, APathWithBlanksAndLettersBeyondAsciiWorks) {
  const std::filesystem::path dir = folder / "Dätenbank für Ärger und Ölspur";
  sourcesafe::CreateDatabase(dir);
  auto other = sourcesafe::Session::Open(dir.string(), "Admin", "");
  other->AddFile("$/Übersicht.txt", {});
  other->Delete(other->Find("$/Übersicht.txt", false));
  ListAll(dir.string() + "/");
  EXPECT_TRUE(forms.boxes.empty());
  EXPECT_THAT(Entries(), ElementsAre("$/Übersicht.txt"));
}

TEST_F(WizardTest, ATreeAsDeepAsPathsMayGoIsSearchedAndPurged) {
  std::string spec = "$";
  for (std::size_t level = 1; level < sourcesafe::kMaxSpecDepth; ++level) {
    spec += "/d";
  }
  engine->MakeProject(spec);
  AddFile(spec + "/deep.txt");
  Delete(spec + "/deep.txt");
  ListAll();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Spec(0), spec + "/deep.txt");
  Purge();
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(WizardTest, AProjectWithFiftyThousandChildrenIsListedInFull) {
  engine->MakeProject("$/Big");
  const std::int64_t big = engine->Find("$/Big", false).id;
  {
    sqlite::Connection db(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadWrite);
    sqlite::Transaction transaction(db, sqlite::Transaction::Kind::Immediate);
    sqlite::Statement item(db,
                           "INSERT INTO items (parent, name, fold, is_project, deleted, version)"
                           " VALUES (?1, ?2, ?2, 0, ?3, 1)");
    sqlite::Statement content(db, "INSERT INTO contents (item, data) VALUES (?1, x'')");
    for (int i = 0; i < 50000; ++i) {
      item.Reset();
      item.Bind(1, big)
          .Bind(2, "f" + std::to_string(100000 + i))
          .Bind(3, std::int64_t{i % 10 == 0})
          .Run();
      content.Reset();
      content.Bind(1, db.LastInsertRowId()).Run();
    }
    transaction.Commit();
  }
  ListAll();
  EXPECT_EQ(Text("lblCount"), "5000 items found");
  EXPECT_EQ(QString::fromStdString(Spec(0)), "$/Big/f100000");
  EXPECT_TRUE(forms.boxes.empty());
}

}  // namespace
}  // namespace wizard_test
