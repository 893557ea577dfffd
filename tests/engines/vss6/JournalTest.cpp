// What a journal or record left beside a database may make the next open do: only a record of
// this very data folder is acted on, never for a file that an entry still uses, never by a user
// who may not destroy; and a journal being written is not taken by another program's clean-up.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "Vss6Copy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Database.h"
#include "errors/ErrorRecord.h"
#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing_support::Vss6Builder;
using vss6_test::Vss6Copy;
namespace fs = std::filesystem;

// $/Keep with a live file and a deleted one, and Guest, who may read only.
struct Sample {
  Vss6Builder builder;
  std::string keep = builder.Project(Vss6Builder::kRoot, "Keep");
  std::string live = builder.File(keep, "live.txt", "live\n");
  std::string old = builder.File(keep, "old.txt", "old\n", true);
  Sample() { builder.User("Guest", "", true); }
};

fs::path ItemFile(const Vss6Copy& copy, const std::string& physical,
                  const std::string& extension = "") {
  return copy.Data() / std::string(1, text::AsciiLower(physical[0])) /
         (text::AsciiLower(physical) + extension);
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

std::vector<unsigned char> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A record of this data folder, as this program writes them, about a destroy of `physical` in
// `parent` whose record would be at `record`.
vss6::DestroyJournal Record(const Vss6Copy& copy, const std::string& parent,
                            const std::string& physical, std::uint32_t record,
                            std::uint16_t revision) {
  vss6::DestroyJournal journal = vss6::JournalFor(vss6::DataFolder(copy.Data()));
  journal.parent = parent;
  journal.physical = physical;
  journal.record = record;
  journal.revision = revision;
  return journal;
}

struct Planted {
  const char* name;
  bool asJournal;  // the journal itself, or a record of files left
  // Whose it claims to be: this folder (with its inode), another folder named "data", or this
  // folder's path with the inode of another.
  enum class Whose { kThis, kElsewhere, kReplaced } whose;
  bool afterRealDestroy;  // the record names the log record of a destroy that took place
  bool kept;              // the record stays (a destroy that did not take effect is undone)
};

class PlantedRecordTest : public ::testing::TestWithParam<Planted> {};

// Whatever it claims, the record removes no file an entry uses: neither the live file's nor the
// root's nor the project's current entry file. The check names it.
TEST_P(PlantedRecordTest, RemovesNoFileAnEntryUsesAndIsNamedByTheCheck) {
  const Planted planted = GetParam();
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  vss6::DestroyJournal journal = Record(copy, sample.keep, sample.old, 0xFFFFFFFFu, 2);
  if (planted.afterRealDestroy) {
    vss6::Vss6Tree tree(copy.Data());
    vss6::DestroyEntry(
        copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), "$/Keep/old.txt")));
    const std::vector<unsigned char> keep = Bytes(ItemFile(copy, sample.keep));
    journal.record = vss6::ReadItemHeader(keep, "keep").lastLog;
    journal.revision = vss6::ReadItemHeader(keep, "keep").logEntries;
  }
  testing_support::TempDir elsewhere;
  fs::create_directories(elsewhere / "data");
  if (planted.whose == Planted::Whose::kElsewhere) {
    journal.data = elsewhere / "data";
  } else if (planted.whose == Planted::Whose::kReplaced) {
    journal.dataInode = vss6::JournalFor(vss6::DataFolder(elsewhere / "data")).dataInode;
  }
  const std::string entries = text::AsciiLower(
      vss6::ReadItemHeader(Bytes(ItemFile(copy, sample.keep)), "keep").dataExtension);
  const std::vector<fs::path> used = {
      ItemFile(copy, Vss6Builder::kRoot), ItemFile(copy, sample.live),
      ItemFile(copy, sample.live, ".a"), ItemFile(copy, sample.keep, entries)};
  for (const fs::path& file : used) {
    journal.remove.push_back(journal.data / file.parent_path().filename() / file.filename());
  }
  journal.temporaries = {journal.data / "c" / "caaaaaaa.new"};
  const fs::path at =
      planted.asJournal ? copy.Journal() : copy.Root() / vss6::LeftoversName(sample.old);
  Write(at, vss6::FormatJournal(journal));
  const auto before = copy.Snapshot();

  const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  for (const fs::path& file : used) {
    EXPECT_TRUE(fs::exists(file)) << file;
  }
  EXPECT_FALSE(recovery.notes.empty());
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
  // The record stays, under its name or as the record of the files it could not take.
  EXPECT_EQ(fs::exists(at) || fs::exists(copy.Root() / vss6::LeftoversName(sample.old)),
            planted.kept);
  const std::vector<std::string> pending = vss6::PendingDestroys(copy.Journal(), copy.Data());
  if (!planted.kept) {
    EXPECT_THAT(pending, IsEmpty());
  } else if (planted.whose == Planted::Whose::kThis) {
    EXPECT_THAT(pending, Contains(HasSubstr("is used by an entry of the database")));
  } else {
    EXPECT_THAT(pending, Contains(HasSubstr("is not this database's")));
    EXPECT_EQ(copy.Snapshot(), before);  // another folder's record changes nothing at all
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, PlantedRecordTest,
    ::testing::Values(
        Planted{"JournalOfAnotherFolder", true, Planted::Whose::kElsewhere, false, true},
        Planted{"LeftoversOfAnotherFolder", false, Planted::Whose::kElsewhere, false, true},
        Planted{"JournalOfAReplacedFolder", true, Planted::Whose::kReplaced, true, true},
        Planted{"LeftoversOfAReplacedFolder", false, Planted::Whose::kReplaced, true, true},
        Planted{"StaleJournalNotTakenEffect", true, Planted::Whose::kThis, false, false},
        Planted{"StaleJournalOfARealDestroy", true, Planted::Whose::kThis, true, true},
        Planted{"StaleLeftoversOfARealDestroy", false, Planted::Whose::kThis, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A destroy cut off after it took effect, then the database opened: by a user who may only read,
// it is said and nothing is touched; by one who may destroy, it is finished.
TEST(JournalTest, OnlyAUserWhoMayDestroyFinishesACutOffDestroy) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  vss6::DestroyJournal journal = Record(copy, sample.keep, sample.old, 0, 0);
  {
    vss6::Vss6Tree tree(copy.Data());
    vss6::DestroyEntry(
        copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), "$/Keep/old.txt")));
  }
  // As if cut off before its files went: they are back, and its journal is there.
  Write(ItemFile(copy, sample.old), "item");
  const std::vector<unsigned char> keep = Bytes(ItemFile(copy, sample.keep));
  journal.record = vss6::ReadItemHeader(keep, "keep").lastLog;
  journal.revision = vss6::ReadItemHeader(keep, "keep").logEntries;
  journal.remove = {ItemFile(copy, sample.old)};
  Write(copy.Journal(), vss6::FormatJournal(journal));
  const auto before = copy.Snapshot();

  vss6::Vss6Database guest;
  guest.Open(copy.Root().string(), "Guest", "");
  EXPECT_EQ(copy.Snapshot(), before);
  EXPECT_THAT(guest.OpenNotes(), Contains(HasSubstr("next open of a user who may destroy")));

  vss6::Vss6Database admin;
  admin.Open(copy.Root().string(), "Admin", "");
  EXPECT_THAT(admin.OpenNotes(), Contains(HasSubstr("has been finished")));
  EXPECT_FALSE(fs::exists(ItemFile(copy, sample.old)));
  EXPECT_FALSE(fs::exists(copy.Journal()));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
}

// Journals being written under this program's own names: one another program's clean-up may take
// is one that cannot be in use (unlocked and holding bytes, or empty for long), never one that
// is locked, nor an empty one just made (its program locks it an instant later).
struct Unfinished {
  const char* name;
  bool bytes;
  bool locked;
  bool old;
  bool removed;
};

class UnfinishedJournalTest : public ::testing::TestWithParam<Unfinished> {};

TEST_P(UnfinishedJournalTest, IsTakenOnlyWhenNoProgramCanBeWritingIt) {
  const Unfinished unfinished = GetParam();
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const fs::path temporary = copy.Root() / "scourwell-destroy.journal.otherhost.4242";
  ASSERT_TRUE(vss6::IsUnfinishedJournal(temporary.filename().string(), copy.Journal()));
  Write(temporary, unfinished.bytes ? "Scourwell destroy journal 2\n" : "");
  if (unfinished.old) {
    const struct timespec times[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, temporary.c_str(), times, 0), 0);
  }
  files::FileDescriptor held;
  if (unfinished.locked) {
    held = files::OpenPlainFile(temporary, O_RDWR);
    ASSERT_TRUE(vss6::LockOpenFile(held.Get()));
  }
  vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_EQ(fs::exists(temporary), !unfinished.removed);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnfinishedJournalTest,
                         ::testing::Values(Unfinished{"LeftWithBytes", true, false, false, true},
                                           Unfinished{"LockedWithBytes", true, true, false, false},
                                           Unfinished{"JustMade", false, false, false, false},
                                           Unfinished{"EmptyForLong", false, false, true, true},
                                           Unfinished{"LockedEmpty", false, true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// What a journal may name, checked as it is read.
struct Named {
  const char* name;
  const char* temporary;  // below the data folder
  const char* remove;
  bool accepted;
};

class JournalTextTest : public ::testing::TestWithParam<Named> {};

TEST_P(JournalTextTest, NamesOnlyFilesOfItsKindInTheLetterFolders) {
  const Named named = GetParam();
  vss6::DestroyJournal journal;
  journal.data = "/srv/vss/data";
  journal.dataInode = 77;
  journal.parent = "BAAAAAAA";
  journal.physical = "CAAAAAAA";
  journal.record = 100;
  journal.revision = 2;
  if (*named.temporary != '\0') {
    journal.temporaries = {journal.data / named.temporary};
  }
  if (*named.remove != '\0') {
    journal.remove = {journal.data / named.remove};
  }
  const std::optional<vss6::DestroyJournal> parsed =
      vss6::ParseJournal(vss6::FormatJournal(journal));
  EXPECT_EQ(parsed.has_value(), named.accepted);
  if (parsed) {
    EXPECT_EQ(parsed->dataInode, 77u);
    EXPECT_EQ(parsed->remove, journal.remove);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalTextTest,
    ::testing::Values(Named{"TheFilesOfADestroy", "b/baaaaaaa.b.new", "c/caaaaaaa.a", true},
                      Named{"AnItemFileAsTemporary", "b/baaaaaaa", "", false},
                      Named{"ADataFileAsTemporary", "b/baaaaaaa.a", "", false},
                      Named{"ATemporaryToRemove", "", "c/caaaaaaa.new", false},
                      Named{"AnotherLetterFolder", "", "d/caaaaaaa", false},
                      Named{"AFileOfTheDataFolder", "", "um.dat", false},
                      Named{"OutsideTheDataFolder", "", "../srcsafe.ini", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalTextTest, AJournalOfThisVersionWithoutTheFoldersInodeIsRefused) {
  const std::string text =
      "Scourwell destroy journal 2\ndata=/srv/vss/data\nparent=BAAAAAAA\nphysical=CAAAAAAA\n"
      "record=100\nrevision=2\n";
  EXPECT_FALSE(vss6::ParseJournal(text));
  EXPECT_TRUE(vss6::ParseJournal(std::string(text).replace(26, 1, "1")));  // an older version's
}

}  // namespace
