#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/Records.h"
#include "support/Process.h"
#include "support/Required.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/Vss6Builder.h"
#include "tools/vssdb/Commands.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class VssdbTest : public ::testing::Test {
 protected:
  Outcome Run(std::vector<std::string> words) {
    for (std::string& word : words) {
      if (word == "DB") {
        word = Db();
      }
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = vssdb::Run(words, out, err);
    return {status, out.str(), err.str()};
  }

  void Ok(std::vector<std::string> words) {
    const Outcome outcome = Run(words);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
  }

  std::string Db() const { return (folder / "db").string(); }

  testing_support::TempDir folder;
  testing_support::ScopedEnv data{"XDG_DATA_HOME", (folder / "data").string()};
};

TEST_F(VssdbTest, ListsKindDeletedMarkAndSizeWhenAskedForTheLongForm) {
  Ok({"create", "DB"});
  Ok({"mkdir", "DB", "$/P"});
  { std::ofstream(folder / "content") << "twelve bytes"; }
  Ok({"add", "DB", "$/P/a.txt", "--from", (folder / "content").string()});
  Ok({"delete", "DB", "$/P/a.txt"});
  const Outcome outcome = Run({"list", "DB", "--long"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            "project  -                   0  $/\n"
            "project  -                   0  $/P\n"
            "file     deleted            12  $/P/a.txt\n");
  const auto version = Run({"--version"});
  EXPECT_EQ(version.out, "vssdb " SCOURWELL_VERSION "\n");
}

// cat writes a file's latest content byte for byte: the live one where a live and a deleted file
// share the path, the deleted one alone, and never a project or one of several deleted ones.
TEST_F(VssdbTest, CatWritesTheLatestContentOfTheFileAPathNames) {
  Ok({"create", "DB"});
  const std::string binary("a\0b\r\n\xff", 6);
  { std::ofstream(folder / "content", std::ios::binary) << binary; }
  Ok({"add", "DB", "$/old.bin", "--from", (folder / "content").string()});
  Ok({"delete", "DB", "$/old.bin"});
  EXPECT_EQ(Run({"cat", "DB", "$/OLD.bin"}).out, binary);
  Ok({"add", "DB", "$/old.bin"});
  const Outcome live = Run({"cat", "DB", "$/old.bin"});
  EXPECT_EQ(live.status, 0) << live.err;
  EXPECT_EQ(live.out, "");
  Ok({"delete", "DB", "$/old.bin"});
  const Outcome several = Run({"cat", "DB", "$/old.bin"});
  EXPECT_NE(several.status, 0);
  EXPECT_NE(several.err.find("2 deleted items are named '$/old.bin' and no live one"),
            std::string::npos)
      << several.err;
  const Outcome project = Run({"cat", "DB", "$/"});
  EXPECT_NE(project.status, 0);
  EXPECT_NE(project.err.find("is a project"), std::string::npos) << project.err;
}

TEST_F(VssdbTest, ListsDepthFirstAndOnlyDeletedItemsWhenAsked) {
  Ok({"create", "DB"});
  Ok({"mkdir", "DB", "$/P/Q"});
  Ok({"add", "DB", "$/P/z.txt"});
  Ok({"add", "DB", "$/P/Q/a.txt"});
  Ok({"add", "DB", "$/top.txt"});
  Ok({"delete", "DB", "$/P/Q/a.txt"});
  Ok({"delete", "DB", "$/P/Q"});
  EXPECT_EQ(Run({"list", "DB"}).out, "$/\n$/P\n$/P/Q\n$/P/Q/a.txt\n$/P/z.txt\n$/top.txt\n");
  EXPECT_EQ(Run({"list", "DB", "--deleted"}).out, "$/P/Q\n$/P/Q/a.txt\n");
  EXPECT_EQ(Run({"list", "DB", "$/P/Q"}).out, "$/P/Q\n$/P/Q/a.txt\n");
}

TEST_F(VssdbTest, DestroyRefusesLiveItemsAndSpecsThatSeveralDeletedItemsShare) {
  Ok({"create", "DB"});
  Ok({"add", "DB", "$/f"});
  Outcome live = Run({"destroy", "DB", "$/f"});
  EXPECT_EQ(live.status, 1);
  EXPECT_NE(live.err.find("not deleted"), std::string::npos) << live.err;
  Ok({"delete", "DB", "$/f"});
  Ok({"add", "DB", "$/f"});
  Ok({"delete", "DB", "$/f"});
  const Outcome shared = Run({"destroy", "DB", "$/f"});
  EXPECT_EQ(shared.status, 1);
  EXPECT_NE(shared.err.find("2 deleted items are named"), std::string::npos) << shared.err;
  EXPECT_EQ(Run({"list", "DB", "--deleted"}).out, "$/f\n$/f\n");
  EXPECT_EQ(Run({"recover", "DB", "$/f"}).status, 1);  // two candidates
}

TEST_F(VssdbTest, RecoverAndDestroyTakeTheOnlyDeletedItemOfASpec) {
  Ok({"create", "DB"});
  Ok({"add", "DB", "$/f"});
  Ok({"delete", "DB", "$/f"});
  Ok({"recover", "DB", "$/f"});
  EXPECT_EQ(Run({"list", "DB", "--deleted"}).out, "");
  Ok({"delete", "DB", "$/f"});
  Ok({"add", "DB", "$/f"});
  Ok({"destroy", "DB", "$/f"});  // the deleted one; the live one stays
  EXPECT_EQ(Run({"list", "DB"}).out, "$/\n$/f\n");
}

TEST_F(VssdbTest, AddTakesTheContentOfALocalFile) {
  Ok({"create", "DB"});
  std::ofstream(folder / "local.bin", std::ios::binary) << std::string("a\0b", 3);
  Ok({"add", "DB", "$/f", "--from", (folder / "local.bin").string()});
  const Outcome missing = Run({"add", "DB", "$/g", "--from", (folder / "none").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(Run({"list", "DB"}).out, "$/\n$/f\n");
}

TEST_F(VssdbTest, LogsInWithTheGivenUserAndKeepsTheirRights) {
  Ok({"create", "DB"});
  Ok({"user", "add", "DB", "Guest", "--password", "pw", "--no-destroy"});
  Ok({"add", "DB", "$/f", "-u", "guest", "-p", "pw"});
  Ok({"delete", "DB", "$/f", "-u", "Guest", "-p", "pw"});
  EXPECT_EQ(Run({"destroy", "DB", "$/f", "-u", "Guest", "-p", "pw"}).status, 1);
  EXPECT_EQ(Run({"list", "DB", "-u", "Guest", "-p", "wrong"}).err,
            "vssdb: error 0x8004D6C9: Invalid password\n");
}

struct StatusCase {
  std::vector<std::string> words;
  int status;
};

class ExitStatusTest : public VssdbTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ExitStatusTest, FollowsTheConvention) {
  const Outcome outcome = Run(GetParam().words);
  EXPECT_EQ(outcome.status, GetParam().status) << outcome.err;
  if (outcome.status != 0) {
    // one line on stderr
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("vssdb: ", 0), 0u) << outcome.err;
  } else {
    EXPECT_EQ(outcome.err, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatusTest,
    ::testing::Values(StatusCase{{"--help"}, 0}, StatusCase{{"generate", "--help"}, 0},
                      StatusCase{{"create", "DB"}, 0}, StatusCase{{"list", "DB"}, 1},
                      StatusCase{{"check", "DB"}, 1}, StatusCase{{"bogus"}, 2},
                      StatusCase{{"generate", "DB", "--items", "ten"}, 2},
                      StatusCase{{"generate", "DB", "--items", "10", "--deleted", "1.5"}, 2},
                      StatusCase{{"generate", "DB"}, 2},
                      StatusCase{{"generate", "DB", "--items", "10", "--deleted", "0.5"}, 0}));

TEST_F(VssdbTest, CheckSaysOkForASoundDatabase) {
  Ok({"generate", "DB", "--items", "300", "--deleted", "0.2", "--seed", "9"});
  const Outcome check = Run({"check", "DB"});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "ok\n");
}

TEST_F(VssdbTest, TheBuiltProgramExitsWithTheStatusOfItsCommand) {
  const auto help = testing_support::RunCommand({SCOURWELL_VSSDB, "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("vssdb generate DIR --items N"), std::string::npos);
  EXPECT_EQ(testing_support::RunCommand({SCOURWELL_VSSDB, "create"}).status, 2);
  EXPECT_EQ(testing_support::RunCommand({SCOURWELL_VSSDB, "list", Db()}).status, 1);
}

}  // namespace

namespace {

TEST_F(VssdbTest, ListsASourceSafe6DatabaseInItsCodePage) {
  const std::filesystem::path shared = std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss";
  SCOURWELL_REQUIRE_SHARED(shared);
  Outcome outcome =
      Run({"list", (shared / "shukladhaval25_Inventory-Shaili").string(), "--deleted"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 67);
  EXPECT_NE(outcome.out.find("$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj\n"),
            std::string::npos);

  const std::string chuing = (shared / "chuing_Push114CRM").string();
  outcome = Run({"list", chuing,
                 "$/\xe8\x8a\xb1\xe5\x9f\x8e"
                 "CRM/bll",
                 "--codepage", "GBK"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.substr(0, outcome.out.find('\n')),
            "$/\xe8\x8a\xb1\xe5\x9f\x8e"
            "CRM/BLL");
  EXPECT_EQ(Run({"list", chuing, "--codepage", "NO-SUCH-PAGE"}).status, 2);
  EXPECT_EQ(Run({"list", chuing, "$/nothing"}).status, 1);
}

TEST_F(VssdbTest, ThePasswordMayComeFromStandardInputOrTheEnvironment) {
  Ok({"create", "DB"});
  Ok({"user", "add", "DB", "Bob", "--password", "bob's secret"});
  const auto withInput = [&](const std::string& input, std::vector<std::string> words) {
    for (std::string& word : words) {
      word = word == "DB" ? Db() : word;
    }
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    return Outcome{vssdb::Run(words, in, out, err), out.str(), err.str()};
  };
  EXPECT_EQ(withInput("bob's secret\n", {"list", "DB", "-u", "Bob", "--password-stdin"}).status, 0);
  EXPECT_EQ(withInput("wrong\n", {"list", "DB", "-u", "Bob", "--password-stdin"}).status, 1);
  EXPECT_EQ(withInput("", {"list", "DB", "-u", "Bob", "-p", "x", "--password-stdin"}).status, 2);
  ::setenv("VSSDB_PASSWORD", "bob's secret", 1);
  const int fromEnvironment = Run({"list", "DB", "-u", "Bob"}).status;
  const int overridden = Run({"list", "DB", "-u", "Bob", "-p", "wrong"}).status;
  ::unsetenv("VSSDB_PASSWORD");
  EXPECT_EQ(fromEnvironment, 0);
  EXPECT_EQ(overridden, 1);  // -p wins
}

}  // namespace

namespace {

// Every file below `folder` with its bytes.
std::map<std::string, std::string> Files(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return files;
}

class SourceSafe6Test : public VssdbTest {
 protected:
  void SetUp() override {
    const std::filesystem::path shared =
        std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "shukladhaval25_Inventory-Shaili";
    SCOURWELL_REQUIRE_SHARED(shared);
    std::filesystem::copy(shared, folder / "db", std::filesystem::copy_options::recursive);
  }
  static constexpr const char* kSak = "$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj";
};

TEST_F(SourceSafe6Test, ChecksASourceSafe6DatabaseAndNamesTheFileOfEachFault) {
  Outcome outcome = Run({"check", "DB"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "ok\n");

  // A byte of the root's first log entry spoilt.
  {
    std::fstream root(folder / "db" / "data" / "a" / "aaaaaaaa",
                      std::ios::binary | std::ios::in | std::ios::out);
    root.seekp(500);
    root.put('\x07');
  }
  outcome = Run({"check", (folder / "db" / "srcsafe.ini").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(
      outcome.out.find("data/a/aaaaaaaa' at offset 416: the EL record's check value is wrong"),
      std::string::npos)
      << outcome.out;
}

TEST_F(SourceSafe6Test, DestroysADeletedItemAndRefusesASharedOne) {
  Outcome outcome = Run({"destroy", "DB", kSak});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  outcome = Run({"list", "DB", "--deleted", "--long"});
  EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 66);
  // The shared entries say beforehand that they will be kept, and why.
  std::size_t kept = 0;
  for (std::size_t at = 0;
       (at = outcome.out.find("  (kept: shared with '$/", at)) != std::string::npos; ++at) {
    ++kept;
  }
  EXPECT_EQ(kept, 13u) << outcome.out;
  EXPECT_NE(outcome.out.find("file     deleted  "), std::string::npos) << outcome.out;
  EXPECT_EQ(outcome.out.find(kSak), std::string::npos);
  EXPECT_EQ(Run({"check", "DB"}).out, "ok\n");

  const std::string shared =
      "$/Invetory Shaili/Inventory Shaili/Software Projects/Invetory Shaili 2015/Inventory "
      "Shaili/frmSemiFGmaster.vb";
  const auto before = Files(folder / "db");
  outcome = Run({"destroy", "DB", shared});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("vssdb: error 0x8004DF0D: "), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("Scourwell does not destroy shared items; "), std::string::npos)
      << outcome.err;
  EXPECT_EQ(Files(folder / "db"), before);
}

// A deleted file comes back where it was; a shared one is refused with the reason.
TEST_F(SourceSafe6Test, RecoversADeletedFileAndRefusesASharedOne) {
  Outcome outcome = Run({"recover", "DB", kSak});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  outcome = Run({"list", "DB", "--deleted"});
  EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 66);
  EXPECT_EQ(outcome.out.find(kSak), std::string::npos);
  EXPECT_EQ(Run({"check", "DB"}).out, "ok\n");

  const auto before = Files(folder / "db");
  outcome = Run({"recover", "DB",
                 "$/Invetory Shaili/Inventory Shaili/Software Projects/Invetory Shaili "
                 "2015/Inventory Shaili/frmSemiFGmaster.vb"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("0x8004DF0D: Scourwell does not recover shared files"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(Files(folder / "db"), before);
}

// Commands that would change a real database in ways that are not written refuse it whole.
class RefusedCommandTest : public SourceSafe6Test,
                           public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(RefusedCommandTest, SaysSoAndWritesNothing) {
  const auto before = Files(folder / "db");
  const Outcome outcome = Run(GetParam());
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("is a SourceSafe 6 database"), std::string::npos) << outcome.err;
  EXPECT_EQ(Files(folder / "db"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RefusedCommandTest,
    ::testing::Values(std::vector<std::string>{"create", "DB"},
                      std::vector<std::string>{"generate", "DB", "--items", "3"},
                      std::vector<std::string>{"mkdir", "DB", "$/x"},
                      std::vector<std::string>{"add", "DB", "$/x.txt"},
                      std::vector<std::string>{"delete", "DB", "$/Invetory Shaili"},
                      std::vector<std::string>{"restore", "DB", "DB"},
                      std::vector<std::string>{"user", "add", "DB", "bob"}));

// Who may destroy: not a read-only user; with project security on, Admin only.
TEST_F(SourceSafe6Test, AReadOnlyUserOrOneWithoutRightsUnderProjectSecurityMayNotDestroy) {
  {
    std::ofstream ini(folder / "db" / "srcsafe.ini", std::ios::app);
    ini << "\r\nProject_Security_Enabled = Yes\r\n";
  }
  Outcome outcome = Run({"destroy", "DB", kSak, "-u", "Guest"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("only Admin may"), std::string::npos) << outcome.err;

  // Admin made read-only: bit 0x01 of the flags of its user record, the check value made to fit.
  const std::filesystem::path um = folder / "db" / "data" / "um.dat";
  std::string bytes;
  {
    std::ifstream in(um, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::size_t admin = 0x7C;  // the first user record
  ASSERT_EQ(bytes.substr(admin + 8, 5), "Admin");
  bytes[admin + 8 + 34] = static_cast<char>(bytes[admin + 8 + 34] | 0x01);
  const std::uint16_t check =
      vss6::CheckValue({reinterpret_cast<const unsigned char*>(bytes.data()) + admin + 8, 56});
  bytes[admin + 6] = static_cast<char>(check & 0xff);
  bytes[admin + 7] = static_cast<char>(check >> 8);
  std::ofstream(um, std::ios::binary | std::ios::trunc) << bytes;
  outcome = Run({"destroy", "DB", kSak});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("read-only"), std::string::npos) << outcome.err;
}

// SourceSafe 6 databases the test writes itself: what only the command line shows of them.
class SyntheticVssdbTest : public VssdbTest {
 protected:
  testing_support::Vss6Builder builder;
};

// A copy without srcsafe.ini, names in Windows-1251 given by the code page's number, users with
// passwords from standard input or the environment, and project security taken to be on.
TEST_F(SyntheticVssdbTest, OpensAFolderWithoutAnIniAndItsUsersWithTheirPasswords) {
  builder.Project(testing_support::Vss6Builder::kRoot, "\xCF\xF0\xEE\xE5\xEA\xF2", true);
  builder.User("Bob", "PW");
  builder.Write(folder / "db", false);
  Outcome outcome = Run({"list", "DB", "--deleted", "--codepage", "1251"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "$/\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82\n");  // $/Проект

  std::istringstream password("pw\n");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(vssdb::Run({"destroy", Db(), "$/\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", "-u",
                        "bob", "--password-stdin", "--codepage", "CP1251"},
                       password, out, err),
            1);
  EXPECT_NE(err.str().find("error 0x8004D749: User 'Bob' may not destroy items of this database "
                           "(without its srcsafe.ini, project security is taken to be on"),
            std::string::npos)
      << err.str();
  const testing_support::ScopedEnv wrong("VSSDB_PASSWORD", "pv");
  outcome = Run({"list", "DB", "-u", "Bob"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("error 0x8004D6C9: Invalid password"), std::string::npos)
      << outcome.err;
}

// A name with an escape sequence and a line break reaches the terminal escaped, on one line; a
// path that names nothing is "No item", one that is not deleted says so.
TEST_F(SyntheticVssdbTest, PrintsControlCharactersEscapedAndSaysWhichPathsAreNotThere) {
  builder.File(testing_support::Vss6Builder::kRoot, "evil\x1b[2J\nname.txt", "x", true);
  builder.File(testing_support::Vss6Builder::kRoot, "live.txt");
  builder.Write(folder / "db");
  Outcome outcome = Run({"list", "DB", "--deleted"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "$/evil\\x1B[2J\\x0Aname.txt\n");

  outcome = Run({"destroy", "DB", "$/nothing.txt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("error 0x8004D68F: No item '$/nothing.txt'"), std::string::npos)
      << outcome.err;
  outcome = Run({"destroy", "DB", "$/live.txt"});
  EXPECT_NE(outcome.err.find("error 0x8004DF05: '$/live.txt' is not deleted"), std::string::npos)
      << outcome.err;
  outcome = Run({"destroy", "DB", "$/evil\x1b[2J\nname.txt", "-u", "admin"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Run({"check", "DB"}).out, "ok\n");
}

// What an open does about a destroy that was cut off is said on standard error, so that the
// listing on standard output stays a listing.
TEST_F(SyntheticVssdbTest, SaysWhatItFinishedOnStandardError) {
  const std::string file = builder.File(testing_support::Vss6Builder::kRoot, "a.txt", "x", true);
  builder.Write(folder / "db");
  vss6::DestroyJournal journal = vss6::JournalFor(vss6::DataFolder(folder / "db" / "data"));
  journal.parent = testing_support::Vss6Builder::kRoot;
  journal.physical = file;
  journal.record = 1u << 20;  // past the end of the root's file: it never took effect
  journal.revision = 5;
  std::ofstream(folder / "db" / "scourwell-destroy.journal") << vss6::FormatJournal(journal);
  EXPECT_NE(Run({"check", "DB"}).out.find("journal: "), std::string::npos);

  const Outcome outcome = Run({"list", "DB", "--deleted"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "$/a.txt\n");
  EXPECT_EQ(outcome.err, "vssdb: A destroy of " + file +
                             " that was cut off before it took effect has been undone\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "db" / "scourwell-destroy.journal"));
}

}  // namespace
