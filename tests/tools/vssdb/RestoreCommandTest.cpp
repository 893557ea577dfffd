// vssdb restore in the process of the test: a copy kept before a purge comes back whole, two
// entries of one path each with its own content; a copy whose members are not what its manifest
// says writes nothing; members are read a block at a time, into the database or a folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "support/ArchiveMembers.h"
#include "support/InChild.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/Vss6Builder.h"
#include "tools/vssdb/Commands.h"
#include "wizardcore/KeptArchive.h"

namespace {

using ::testing::HasSubstr;
using testing_support::TarMember;
namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Vssdb(const std::vector<std::string>& words) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  vssdb::Console console{in, out, err, false};
  const int status = vssdb::Run(words, console);
  return {status, out.str(), err.str()};
}

std::span<const unsigned char> Bytes(const std::string& text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The contents of the deleted items `spec` names, in the engine's order.
std::vector<std::string> DeletedContents(sourcesafe::Session& session, const std::string& spec) {
  std::vector<std::string> contents;
  for (const sourcesafe::ItemRecord& item : session.Resolve(spec, true)) {
    if (item.deleted) {
      const std::vector<unsigned char> bytes = session.Content(item);
      contents.emplace_back(bytes.begin(), bytes.end());
    }
  }
  return contents;
}

class RestoreCommandTest : public ::testing::Test {
 protected:
  std::string Db() const { return (folder / "db").string(); }
  std::unique_ptr<sourcesafe::Session> Made() {
    sourcesafe::CreateDatabase(Db());
    return sourcesafe::Session::Open(Db(), "Admin", "");
  }
  // The one copy kept in the test's folder.
  fs::path Kept() const {
    std::vector<fs::path> copies(fs::directory_iterator(folder / "kept"), {});
    return copies.size() == 1 ? copies[0] : fs::path();
  }

  testing_support::TempDir folder;
  testing_support::ScopedEnv data{"XDG_DATA_HOME", (folder / "data").string()};
};

// A file deleted, added again and deleted again, purged inside its deleted project or as two
// entries of their own: both come back, each with its own content, and both are extracted.
class TwiceDeletedTest : public RestoreCommandTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TwiceDeletedTest, BothComeBackWithTheirOwnContent) {
  const bool projectDeleted = GetParam();
  {
    const auto session = Made();
    session->MakeProject("$/D");
    session->AddFile("$/D/x.txt", Bytes("first"));
    session->Delete(session->Find("$/D/x.txt", false));
    session->AddFile("$/D/x.txt", Bytes("second"));
    session->Delete(session->Find("$/D/x.txt", false));
    if (projectDeleted) {
      session->Delete(session->Find("$/D", false));
    }
  }
  Outcome outcome = Vssdb({"purge", Db(), "--yes", "--keep-copy", (folder / "kept").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  ASSERT_FALSE(Kept().empty());

  outcome = Vssdb({"restore", Kept().string(), Db()});
  EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  const auto session = sourcesafe::Session::Open(Db(), "Admin", "");
  EXPECT_THAT(DeletedContents(*session, "$/D/x.txt"),
              ::testing::UnorderedElementsAre("first", "second"));
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*session).empty());

  outcome = Vssdb({"restore", Kept().string(), "--to", (folder / "out").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_THAT((std::vector<std::string>{Read(folder / "out" / "files" / "D" / "x.txt"),
                                        Read(folder / "out" / "files" / "D" / "x (2).txt")}),
              ::testing::UnorderedElementsAre("first", "second"));
}

INSTANTIATE_TEST_SUITE_P(Shapes, TwiceDeletedTest, ::testing::Bool(), [](const auto& info) {
  return info.param ? "InADeletedProject" : "Alone";
});

// The same in a SourceSafe 6 database, where such a file's two entries have their own physical
// names: both are listed without a fault, purged with their project, and kept each in its own
// member.
TEST_F(RestoreCommandTest, ASourceSafePathDeletedTwiceIsKeptWhole) {
  testing_support::Vss6Builder builder;
  const std::string project = builder.Project(testing_support::Vss6Builder::kRoot, "D", true);
  builder.File(project, "x.txt", "first", true);
  builder.File(project, "x.txt", "second", true);
  builder.Write(folder / "vss");
  const std::string vss = (folder / "vss").string();
  EXPECT_EQ(Vssdb({"list", vss, "--deleted"}).out, "$/D\n$/D/x.txt\n$/D/x.txt\n");
  Outcome outcome = Vssdb({"purge", vss, "--yes", "--keep-copy", (folder / "kept").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_EQ(Vssdb({"list", vss, "--deleted"}).out, "");
  outcome = Vssdb({"restore", Kept().string(), "--to", (folder / "out").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_THAT((std::vector<std::string>{Read(folder / "out" / "files" / "D" / "x.txt"),
                                        Read(folder / "out" / "files" / "D" / "x (2).txt")}),
              ::testing::UnorderedElementsAre("first", "second"));
}

// A copy of one file, "files/a.txt", whose member the case makes something else.
struct Forged {
  const char* name;
  TarMember member;
  std::int64_t sizeInManifest;
  const char* says;
};

class ForgedCopyTest : public RestoreCommandTest, public ::testing::WithParamInterface<Forged> {};

TEST_P(ForgedCopyTest, IsRefusedBeforeAnythingIsWritten) {
  const Forged forged = GetParam();
  Made();
  const QJsonObject item{{"path", "$/a.txt"},
                         {"kind", "file"},
                         {"deleted", true},
                         {"member", "files/a.txt"},
                         {"size", static_cast<qint64>(forged.sizeInManifest)}};
  const QJsonObject manifest{
      {"database", "/srv/db"},
      {"entries", QJsonArray{QJsonObject{{"path", "$/a.txt"}, {"items", QJsonArray{item}}}}}};
  const fs::path copy = folder / "forged.tar";
  testing_support::WriteTar(
      copy, {forged.member, {"manifest.json", QJsonDocument(manifest).toJson().toStdString()}});
  const Outcome outcome = Vssdb({"restore", copy.string(), Db()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_THAT(outcome.err, HasSubstr("error 0x8004DF12"));
  EXPECT_THAT(outcome.err, HasSubstr(forged.says));
  const auto session = sourcesafe::Session::Open(Db(), "Admin", "");
  EXPECT_TRUE(session->Children(session->Root(), true).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Members, ForgedCopyTest,
    ::testing::Values(Forged{"ALink", {"files/a.txt", "", AE_IFLNK}, 0, "is not a plain file"},
                      Forged{"APipe", {"files/a.txt", "", AE_IFIFO}, 0, "is not a plain file"},
                      Forged{"ADevice", {"files/a.txt", "", AE_IFCHR}, 0, "is not a plain file"},
                      Forged{"Missing", {"files/b.txt", "b"}, 1, "is missing"},
                      Forged{
                          "OfAnotherSize", {"files/a.txt", "abc"}, 2, "not what the manifest says"},
                      Forged{"LargerThanAnyItem",
                             {"files/a.txt", "x", AE_IFREG, wizardcore::kLargestItemBytes + 1},
                             wizardcore::kLargestItemBytes + 1,
                             "more than any item can"}),
    [](const auto& info) { return std::string(info.param.name); });

// An extraction cut short (here by a limit on the size of files, as a full disk would): what was
// whole before stays, and no file is left under the member's name it was writing, nor half of it
// beside. A copy cut short itself writes nothing at all.
TEST_F(RestoreCommandTest, AnExtractionCutShortLeavesNoFileUnderTheNameItWasWriting) {
  const fs::path copy = folder / "copy.tar";
  testing_support::WriteTar(
      copy, {{"files/whole.txt", "whole"}, {"files/cut.txt", std::string(100000, 'c')}});
  const int status = testing_support::RunInChild(60, [&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{50000, 50000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return Vssdb({"restore", copy.string(), "--to", (folder / "out").string()}).status;
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Read(folder / "out" / "files" / "whole.txt"), "whole");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder / "out" / "files")) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(left, ::testing::ElementsAre("whole.txt"));

  fs::resize_file(copy, 60000);  // inside the second member's data
  EXPECT_EQ(Vssdb({"restore", copy.string(), "--to", (folder / "cut").string()}).status, 1);
  EXPECT_FALSE(fs::exists(folder / "cut"));
}

// The VmHWM or VmRSS line of /proc/self/status, in KiB.
long StatusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(key + ":", 0) == 0) {
      return std::stol(line.substr(key.size() + 1));
    }
  }
  return -1;
}

// Three members of a gigabyte each (holes, as a hostile copy may hold them), one named by the
// manifest: restoring the copy reads none of the others, and extracting it writes each a block at
// a time, holes kept. Neither raises the peak of memory by 64 MiB over what a copy of nothing
// takes (the open of the database alone needs that much for its password's hash).
TEST_F(RestoreCommandTest, GigabyteMembersAreReadABlockAtATime) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own memory is not the program's";
#endif
  Made();
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  const QJsonObject item{{"path", "$/a.txt"},
                         {"kind", "file"},
                         {"deleted", true},
                         {"member", "files/a.txt"},
                         {"size", 1}};
  const auto manifest = [](const QJsonArray& entries) {
    return QJsonDocument(QJsonObject{{"database", "/srv/db"}, {"entries", entries}})
        .toJson()
        .toStdString();
  };
  const fs::path nothing = folder / "nothing.tar";
  testing_support::WriteTar(nothing, {{"manifest.json", manifest({})}});
  const fs::path copy = folder / "large.tar";
  testing_support::WriteTar(
      copy, {{"files/big1", "head", AE_IFREG, kGiB},
             {"files/a.txt", "a"},
             {"files/big2", "head", AE_IFREG, kGiB},
             {"files/big3", "head", AE_IFREG, kGiB},
             {"manifest.json",
              manifest({QJsonObject{{"path", "$/a.txt"}, {"items", QJsonArray{item}}}})}});
  ASSERT_LT(fs::file_size(copy), 1u << 20);
  for (const std::string into : {"db", "folder"}) {
    const auto words = [&](const fs::path& from, const std::string& out) {
      return into == "db" ? std::vector<std::string>{"restore", from.string(), Db()}
                          : std::vector<std::string>{"restore", from.string(), "--to",
                                                     (folder / out).string()};
    };
    const int status = testing_support::RunInChild(120, [&] {
      if (Vssdb(words(nothing, "nothing")).status != 0) {
        return 2;
      }
      const long before = StatusKiB("VmHWM");
      if (Vssdb(words(copy, "out")).status != 0) {
        return 3;
      }
      return StatusKiB("VmHWM") - before > 64 * 1024 ? 4 : 0;
    });
    EXPECT_EQ(status, 0) << into;
  }
  const auto session = sourcesafe::Session::Open(Db(), "Admin", "");
  EXPECT_THAT(DeletedContents(*session, "$/a.txt"), ::testing::ElementsAre("a"));
  EXPECT_EQ(fs::file_size(folder / "out" / "files" / "big2"), static_cast<std::uintmax_t>(kGiB));
  struct stat written {};
  ASSERT_EQ(::stat((folder / "out" / "files" / "big2").c_str(), &written), 0);
  EXPECT_LT(written.st_blocks * 512, 1 << 20);  // its holes are holes
  EXPECT_EQ(Read(folder / "out" / "files" / "a.txt"), "a");
}

}  // namespace
