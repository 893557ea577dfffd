// Destroys on copies of a real database (Shaili: 67 deleted files, 54 of them unshared): what is
// written, what is refused with nothing written, locks, changes since the listing, and crashes.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>

#include "Vss6Copy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/LogActions.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Vss6Check.h"
#include "support/InChild.h"
#include "support/Required.h"

namespace {

using ::testing::HasSubstr;
using TreeItem = vss6_test::Vss6Copy::Walked;
using vss6::Vss6Tree;
using vss6_test::Vss6Copy;

constexpr const char* kShaili = "shukladhaval25_Inventory-Shaili";
constexpr const char* kSak = "$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj";
constexpr const char* kSakPhysical = "CNAAAAAA";
constexpr const char* kSakParent = "QIAAAAAA";

#define REQUIRE_COPY(copy) \
  SCOURWELL_REQUIRE((copy).Valid(), "the shared database " + vss6_test::kShared.string())

std::vector<unsigned char> ItemBytes(const Vss6Copy& copy, const std::string& physical) {
  vss6::DataFolder data(copy.Data());
  return data.ReadWhole(data.ItemPath(physical));
}

// What a destroy of every deleted entry ends with: the ones destroyed, and the refusals' texts.
struct Outcome {
  std::set<std::string> destroyed;
  std::vector<std::string> refused;
};

Outcome DestroyEveryDeleted(const Vss6Copy& copy) {
  Vss6Tree tree(copy.Data());
  Outcome outcome;
  for (const TreeItem& item : Vss6Copy::Walk(tree)) {
    if (!item.deleted) {
      continue;
    }
    try {
      const vss6::DestroyDone done = vss6::DestroyEntry(copy.RequestFor(tree, item));
      tree.NoteDestroyed(item.parent, done.parent, done.projects, done.items);
      outcome.destroyed.insert(item.spec);
    } catch (const vss6::DestroyRefused& refusal) {
      outcome.refused.push_back(refusal.what());
    }
  }
  return outcome;
}

TEST(DestroyTest, DestroysEveryDeletedEntryTheRulesAllowAndChangesNothingElse) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree before(copy.Data());
  const std::vector<TreeItem> items = Vss6Copy::Walk(before);
  const std::map<std::string, std::string> filesBefore = copy.Snapshot();
  std::map<std::string, std::int64_t> frees;  // what the engine says each destroy frees
  for (const TreeItem& item : items) {
    if (item.deleted) {
      frees[item.spec] = before.DiskSizeOf(item);
    }
  }

  const Outcome outcome = DestroyEveryDeleted(copy);

  EXPECT_EQ(outcome.destroyed.size(), 54u);
  // What the engine said each destroy frees is the size of the files it removed: those whose
  // item is gone (a project's entry file that changed its extension is no removal).
  std::int64_t said = 0;
  for (const std::string& spec : outcome.destroyed) {
    said += frees.at(spec);
  }
  const std::map<std::string, std::string> filesAfter = copy.Snapshot();
  const auto stem = [](const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.substr(0, name.find('.'));
  };
  std::set<std::string> stemsLeft;
  for (const auto& [path, bytes] : filesAfter) {
    stemsLeft.insert(stem(path));
  }
  std::int64_t removed = 0;
  for (const auto& [path, bytes] : filesBefore) {
    if (filesAfter.count(path) == 0 && stemsLeft.count(stem(path)) == 0) {
      removed += static_cast<std::int64_t>(bytes.size());
    }
  }
  EXPECT_GT(removed, 80'000);  // the empty temporaries' histories, not their empty contents
  EXPECT_EQ(said, removed);
  ASSERT_EQ(outcome.refused.size(), 13u);
  // Each names the project it is shared with, in the user's words.
  for (const std::string& refusal : outcome.refused) {
    EXPECT_THAT(refusal,
                ::testing::MatchesRegex("Scourwell does not destroy shared items; '.*' is shared "
                                        "with '\\$/Invetory Shaili/.*/(Semi )?Finish Goods'"));
  }
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(copy.Journal()));

  // Every other entry is as it was, record for record; the destroyed ones and their files are
  // gone.
  Vss6Tree after(copy.Data());
  const std::vector<TreeItem> left = Vss6Copy::Walk(after);
  EXPECT_EQ(left.size(), items.size() - 54);
  EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const TreeItem& i) { return i.deleted; }),
            13);
  vss6::DataFolder data(copy.Data());
  for (const TreeItem& item : items) {
    if (outcome.destroyed.count(item.spec) != 0) {
      EXPECT_TRUE(data.FindItemFile(item.physical).empty()) << item.spec;
      EXPECT_TRUE(data.FindItemFile(item.physical, ".A").empty()) << item.spec;
      EXPECT_TRUE(data.FindItemFile(item.physical, ".B").empty()) << item.spec;
    } else {
      EXPECT_EQ(Vss6Copy::Find(left, item.spec).entryRecord, item.entryRecord) << item.spec;
    }
  }
}

TEST(DestroyTest, WritesTheDestroyRecordAndHeaderAsSourceSafeDoesAndTouchesNoOtherFile) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  const auto filesBefore = copy.Snapshot();
  const std::vector<unsigned char> parentBefore = ItemBytes(copy, kSakParent);
  const vss6::ItemHeader headerBefore = vss6::ReadItemHeader(parentBefore, "parent");
  Vss6Tree tree(copy.Data());
  const TreeItem sak = Vss6Copy::Find(Vss6Copy::Walk(tree), kSak);

  const std::uint32_t start = vss6::LocalClockNow();
  vss6::DestroyEntry(copy.RequestFor(tree, sak));

  const std::vector<unsigned char> parent = ItemBytes(copy, kSakParent);
  const vss6::ItemHeader header = vss6::ReadItemHeader(parent, "parent");
  EXPECT_EQ(header.logEntries, headerBefore.logEntries + 1);
  EXPECT_EQ(header.totalEntries, headerBefore.totalEntries - 1);
  EXPECT_EQ(header.subprojects, headerBefore.subprojects);
  EXPECT_EQ(header.lastLog, parentBefore.size());
  EXPECT_EQ(header.endOfFile, parent.size());
  EXPECT_NE(header.dataExtension, headerBefore.dataExtension);
  // The old bytes stay as they were, but for the header record.
  EXPECT_TRUE(std::equal(parentBefore.begin() + 0x34 + 8 + 356, parentBefore.end(),
                         parent.begin() + 0x34 + 8 + 356));

  const vss6::Record record = vss6::ReadRecord(parent, header.lastLog, "EL", "parent");
  ASSERT_EQ(record.body.size(), vss6::kLogBodySize);
  const vss6::Record previous = vss6::ReadRecord(parent, headerBefore.lastLog, "EL", "parent");
  EXPECT_EQ(vss6::ReadU32(record.body, 0, ""), headerBefore.lastLog);
  EXPECT_EQ(vss6::ReadU16(record.body, 4, ""), vss6::kDestroyFile);
  EXPECT_EQ(vss6::ReadU16(record.body, 6, ""), vss6::ReadU16(previous.body, 6, "") + 1);
  const std::uint32_t time = vss6::ReadU32(record.body, 8, "");
  EXPECT_GE(time, start);
  EXPECT_LE(time, vss6::LocalClockNow());
  EXPECT_EQ(vss6::FieldText(record.body, 12, 32, ""), "Admin");
  EXPECT_EQ(vss6::FieldText(record.body, 44, 32, ""), "");
  EXPECT_EQ(vss6::ReadU32(record.body, 76, ""), record.End());
  EXPECT_EQ(vss6::ReadU32(record.body, 80, ""), 0u);
  EXPECT_EQ(vss6::ReadU32(record.body, 84, ""), 0u);  // both comment lengths
  EXPECT_TRUE(std::equal(sak.entryRecord.begin() + 8 + 4, sak.entryRecord.begin() + 8 + 44,
                         record.body.begin() + vss6::kLogChildName));
  EXPECT_EQ(vss6::ReadU16(record.body, vss6::kDestroyWord, ""), 1);
  EXPECT_EQ(vss6::FieldText(record.body, vss6::kDestroyPhysical, 10, ""), kSakPhysical);

  // Only the parent's files and the item's changed.
  const auto filesAfter = copy.Snapshot();
  std::set<std::string> changed;
  for (const auto& [name, bytes] : filesBefore) {
    const auto now = filesAfter.find(name);
    if (now == filesAfter.end() || now->second != bytes) {
      changed.insert(name);
    }
  }
  for (const auto& [name, bytes] : filesAfter) {
    if (filesBefore.count(name) == 0) {
      changed.insert(name);
    }
  }
  std::set<std::string> expected{"data/q/qiaaaaaa", "data/c/cnaaaaaa"};
  for (const auto& [name, bytes] : filesBefore) {
    if (name.rfind("data/c/cnaaaaaa.", 0) == 0 || name.rfind("data/q/qiaaaaaa.", 0) == 0) {
      expected.insert(name);
    }
  }
  for (const auto& [name, bytes] : filesAfter) {
    if (name.rfind("data/q/qiaaaaaa.", 0) == 0) {
      expected.insert(name);
    }
  }
  EXPECT_EQ(changed, expected);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());

  // The check knows a destroy record: one with a comment is not as SourceSafe writes them.
  copy.PatchItem(
      kSakParent,
      [&](std::vector<unsigned char>& bytes) { vss6::WriteU16(bytes, header.lastLog + 8 + 84, 5); },
      header.lastLog);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()),
              ::testing::Contains(HasSubstr("a destroy record that is not as SourceSafe writes")));
}

// Items whose destroy has not been seen in a real database: each is refused, saying why, and
// nothing is written.
struct Refusal {
  const char* name;
  std::function<void(const Vss6Copy&)> make;
  std::string says;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class RefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusalTest, IsRefusedSayingWhyAndWritesNothing) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  GetParam().make(copy);
  const auto before = copy.Snapshot();
  Vss6Tree tree(copy.Data());
  const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
  const bool realShare = std::string(GetParam().name) == "SharedInRealData";
  const auto refused = std::find_if(items.begin(), items.end(), [&](const TreeItem& item) {
    return realShare ? item.deleted && (item.entryFlags & vss6::kSharedFlag) != 0
                     : item.spec == kSak;
  });
  ASSERT_NE(refused, items.end());
  // The dry run gives the same refusal, and writes nothing either.
  const std::optional<vss6::DestroyRefused> foreseen =
      vss6::WhyNotDestroy(copy.RequestFor(tree, *refused));
  ASSERT_TRUE(foreseen.has_value());
  EXPECT_THAT(foreseen->what(), HasSubstr(GetParam().says));
  EXPECT_FALSE(foreseen->Reason().empty());
  EXPECT_THAT(foreseen->what(), HasSubstr(foreseen->Reason()));
  EXPECT_EQ(copy.Snapshot(), before);
  try {
    vss6::DestroyEntry(copy.RequestFor(tree, *refused));
    FAIL() << "destroyed";
  } catch (const vss6::DestroyRefused& refusal) {
    EXPECT_EQ(refusal.GetKind(), vss6::DestroyRefused::Kind::kNotWritten);
    EXPECT_THAT(refusal.what(), HasSubstr(GetParam().says));
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

void SetEntryWord(const Vss6Copy& copy, std::size_t offset, std::uint16_t bits) {
  copy.PatchEntry(kSakParent, kSakPhysical, [&](std::span<unsigned char> body) {
    vss6::WriteU16(body, offset, vss6::ReadU16(body, offset, "") | bits);
  });
}

void SetFileHeaderWord(const Vss6Copy& copy, std::size_t offset, std::uint16_t bits) {
  copy.PatchItem(kSakPhysical, [&](std::vector<unsigned char>& bytes) {
    const std::size_t at = 0x34 + 8 + offset;
    vss6::WriteU16(bytes, at, vss6::ReadU16(bytes, at, "") | bits);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RefusalTest,
    ::testing::Values(
        Refusal{"SharedInRealData", [](const Vss6Copy&) {}, "shared with '$/Invetory Shaili/"},
        Refusal{"Pinned", [](const Vss6Copy& c) { SetEntryWord(c, 44, 3); },
                std::string("Scourwell does not destroy pinned items; '") + kSak +
                    "' is pinned to version 3"},
        Refusal{"CheckedOut", [](const Vss6Copy& c) { SetFileHeaderWord(c, 80, 0x40); },
                std::string("Scourwell does not destroy checked-out files; '") + kSak +
                    "' is checked out"},
        Refusal{"Locked", [](const Vss6Copy& c) { SetFileHeaderWord(c, 80, 0x01); },
                "marked locked"},
        Refusal{
            "Branched", [](const Vss6Copy& c) { SetFileHeaderWord(c, 100, 1); },
            std::string("Scourwell does not destroy branched items; '") + kSak + "' is branched"},
        Refusal{"HeldByTwoProjects", [](const Vss6Copy& c) { SetFileHeaderWord(c, 102, 2); },
                "shared with another project"},
        Refusal{"Labelled",
                [](const Vss6Copy& c) {
                  const auto bytes = ItemBytes(c, kSakPhysical);
                  const std::size_t first = vss6::ReadItemHeader(bytes, "item").firstLog;
                  c.PatchItem(
                      kSakPhysical,
                      [&](std::vector<unsigned char>& b) {
                        vss6::WriteU16(b, first + 8 + 4, vss6::kLabel);
                      },
                      first);
                },
                "(history action 0)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DestroyTest, AnEntryRecoveredSinceTheListingIsNotDestroyed) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree tree(copy.Data());
  const TreeItem sak = Vss6Copy::Find(Vss6Copy::Walk(tree), kSak);
  copy.PatchEntry(kSakParent, kSakPhysical, [](std::span<unsigned char> body) {
    vss6::WriteU16(body, 2, vss6::ReadU16(body, 2, "") & ~vss6::kDeletedFlag);
  });
  const auto before = copy.Snapshot();
  try {
    vss6::DestroyEntry(copy.RequestFor(tree, sak));
    FAIL() << "destroyed";
  } catch (const vss6::DestroyRefused& refusal) {
    EXPECT_EQ(refusal.GetKind(), vss6::DestroyRefused::Kind::kChanged);
    EXPECT_THAT(refusal.what(), HasSubstr(kSak));
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

// A lock another program holds on the parent's item file: a lock of an open file, and a
// classic process lock held by another process.
class HeldLockTest : public ::testing::TestWithParam<bool> {};

TEST_P(HeldLockTest, StopsTheDestroyBeforeAnythingIsWritten) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree tree(copy.Data());
  const TreeItem sak = Vss6Copy::Find(Vss6Copy::Walk(tree), kSak);
  vss6::DataFolder data(copy.Data());
  const std::filesystem::path parent = data.ItemPath(kSakParent);
  const auto before = copy.Snapshot();

  vss6::FileLocks held;
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  pid_t holder = -1;
  if (GetParam()) {
    held.Lock(data, parent);
  } else {
    holder = ::fork();
    if (holder == 0) {
      const int fd = ::open(parent.c_str(), O_RDWR);
      struct flock whole {};
      whole.l_type = F_WRLCK;
      whole.l_whence = SEEK_SET;
      const bool locked = ::fcntl(fd, F_SETLK, &whole) == 0;
      char byte = locked ? 'y' : 'n';
      (void)!::write(ready[1], &byte, 1);
      (void)!::read(release[0], &byte, 1);
      ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 'y');
  }
  EXPECT_THROW(vss6::DestroyEntry(copy.RequestFor(tree, sak)), vss6::LockedError);
  if (holder > 0) {
    (void)!::write(release[1], "x", 1);
    ::waitpid(holder, nullptr, 0);
  }
  for (int fd : {ready[0], ready[1], release[0], release[1]}) {
    ::close(fd);
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

TEST(DestroyTest, ALockOnAFileOfTheItemItselfStopsTheDestroyToo) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree tree(copy.Data());
  const TreeItem sak = Vss6Copy::Find(Vss6Copy::Walk(tree), kSak);
  const auto before = copy.Snapshot();
  vss6::FileLocks held;
  vss6::DataFolder data(copy.Data());
  held.Lock(data, data.ItemPath(kSakPhysical));
  EXPECT_THROW(vss6::DestroyEntry(copy.RequestFor(tree, sak)), vss6::LockedError);
  EXPECT_EQ(copy.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldLockTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "OpenFile" : "OtherProcess"; });

// Killed before each step that writes; the next open finishes the destroy when its log record
// was written, and undoes it when not.
class KilledDestroyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KilledDestroyTest, IsFinishedOrUndoneByTheNextOpen) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  const std::string at = GetParam();
  const int status = testing_support::RunInChild(60, [&] {
    Vss6Tree tree(copy.Data());
    vss6::DestroyRequest request =
        copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), kSak));
    request.onStep = [&](std::string_view step) {
      if (step == at) {
        ::raise(SIGKILL);
      }
    };
    vss6::DestroyEntry(request);
    return 0;
  });
  ASSERT_EQ(status, 128 + SIGKILL);
  EXPECT_EQ(std::filesystem::exists(copy.Journal()), at != "journal");

  const auto said = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_EQ(said.notes.size(), at != std::string("journal") ? 1u : 0u);
  EXPECT_FALSE(said.blocking);
  EXPECT_FALSE(std::filesystem::exists(copy.Journal()));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());
  Vss6Tree tree(copy.Data());
  const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
  const bool destroyed = at == std::string("files");
  EXPECT_EQ(std::any_of(items.begin(), items.end(),
                        [](const TreeItem& item) { return item.spec == kSak; }),
            !destroyed);
  EXPECT_EQ(vss6::DataFolder(copy.Data()).FindItemFile(kSakPhysical).empty(), destroyed);
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledDestroyTest,
                         ::testing::Values("journal", "entries", "log", "files"));

// SIGKILL at random moments of a run of destroys; after each the database opens, lists and
// passes the check, and holds between none and all of the destroys.
TEST(DestroyTest, KilledAtRandomMomentsTheDatabaseStaysWhole) {
  SCOURWELL_REQUIRE_SHARED(vss6_test::kShared / kShaili);
  std::mt19937 random(20261207);
  // How long a whole run takes here, to spread the kills over it.
  std::chrono::microseconds span{0};
  {
    Vss6Copy copy(kShaili);
    const auto start = std::chrono::steady_clock::now();
    DestroyEveryDeleted(copy);
    span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  }
  for (int round = 0; round < 12; ++round) {
    Vss6Copy copy(kShaili);
    const pid_t child = ::fork();
    if (child == 0) {
      DestroyEveryDeleted(copy);
      ::_exit(0);
    }
    std::uniform_int_distribution<long> delay(0, std::max<long>(1, span.count()));
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
    EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty()) << "round " << round;
    Vss6Tree tree(copy.Data());
    const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
    const auto deleted =
        std::count_if(items.begin(), items.end(), [](const TreeItem& i) { return i.deleted; });
    EXPECT_GE(deleted, 13) << "round " << round;
    EXPECT_LE(deleted, 67) << "round " << round;
  }
}

// A deleted project: taken with its subtree when every file in it is unshared, refused when one
// is shared with a project outside.
TEST(DestroyTest, ADeletedProjectGoesWithItsSubtreeOrIsKeptForASharedFileBelowIt) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree tree(copy.Data());
  const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
  // Projects of the root's first project, with and without a shared file below them.
  const auto below = [&](const TreeItem& project) {
    std::vector<TreeItem> found;
    for (const TreeItem& item : items) {
      if (item.spec.rfind(project.spec + "/", 0) == 0) {
        found.push_back(item);
      }
    }
    return found;
  };
  const TreeItem* plain = nullptr;
  const TreeItem* withShared = nullptr;
  for (const TreeItem& item : items) {
    if (!item.project || item.parent.empty() || item.deleted) {
      continue;
    }
    const std::vector<TreeItem> subtree = below(item);
    const bool shared = std::any_of(subtree.begin(), subtree.end(), [](const TreeItem& i) {
      return (i.entryFlags & vss6::kSharedFlag) != 0;
    });
    const bool flagged = std::any_of(subtree.begin(), subtree.end(), [&](const TreeItem& i) {
      return !i.project && vss6::ReadItemHeader(ItemBytes(copy, i.physical), i.spec).fileFlags != 0;
    });
    if (!shared && !flagged && subtree.size() >= 3 && plain == nullptr) {
      plain = &item;
    }
    if (shared && withShared == nullptr && item.parent != "AAAAAAAA") {
      withShared = &item;
    }
  }
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(withShared, nullptr);
  for (const TreeItem* project : {plain, withShared}) {
    // Marked deleted as SourceSafe marks it: the bit in its entry, and one live subproject less.
    copy.PatchEntry(project->parent, project->physical, [](std::span<unsigned char> body) {
      vss6::WriteU16(body, 2, vss6::ReadU16(body, 2, "") | vss6::kDeletedFlag);
    });
    copy.PatchItem(project->parent, [](std::vector<unsigned char>& bytes) {
      vss6::WriteU16(bytes, 0x34 + 8 + 354, vss6::ReadU16(bytes, 0x34 + 8 + 354, "") - 1);
    });
  }
  ASSERT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());

  Vss6Tree listed(copy.Data());
  const std::vector<TreeItem> now = Vss6Copy::Walk(listed);
  vss6::DestroyEntry(copy.RequestFor(listed, Vss6Copy::Find(now, plain->spec)));
  vss6::DataFolder data(copy.Data());
  for (const TreeItem& item : below(*plain)) {
    EXPECT_TRUE(data.FindItemFile(item.physical).empty()) << item.spec;
  }
  EXPECT_TRUE(data.FindItemFile(plain->physical).empty());

  const auto before = copy.Snapshot();
  try {
    vss6::DestroyEntry(copy.RequestFor(listed, Vss6Copy::Find(now, withShared->spec)));
    FAIL() << "destroyed";
  } catch (const vss6::DestroyRefused& refusal) {
    EXPECT_THAT(refusal.what(), HasSubstr("below '" + withShared->spec + "'"));
  }
  EXPECT_EQ(copy.Snapshot(), before);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());
}

// A journal that names files outside the data folder's letter folders is not acted on.
TEST(DestroyJournalTest, AJournalNamingOtherFilesIsRefusedAndRemovesNothing) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir / "data" / "q");
  std::ofstream(dir / "victim") << "keep";
  vss6::DestroyJournal journal;
  journal.data = dir / "data";
  journal.dataInode = 1;
  journal.parent = "QIAAAAAA";
  journal.physical = "CNAAAAAA";
  journal.record = 100;
  journal.revision = 2;
  journal.remove = {dir / "victim"};
  const std::string text = vss6::FormatJournal(journal);
  EXPECT_FALSE(vss6::ParseJournal(text));
  std::ofstream(dir / "scourwell-destroy.journal") << text;
  const vss6::Recovery recovery =
      vss6::FinishInterruptedDestroy(dir / "scourwell-destroy.journal", dir / "data");
  ASSERT_TRUE(recovery.blocking);
  EXPECT_THAT(*recovery.blocking, HasSubstr("not a journal this program can read"));
  EXPECT_TRUE(std::filesystem::exists(dir / "scourwell-destroy.journal"));
  EXPECT_TRUE(std::filesystem::exists(dir / "victim"));

  journal.remove = {dir / "data" / "q" / "qiaaaaaa.b", dir / "data" / "c" / "cnaaaaaa"};
  const auto parsed = vss6::ParseJournal(vss6::FormatJournal(journal));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->remove, journal.remove);
  EXPECT_EQ(parsed->record, 100u);
}

// What a destroy that took effect but left something says: the files it could not remove, and a
// data folder that would not sync (whose journal is kept for the next open).
struct LeftCase {
  std::vector<std::string> leftovers;
  bool synced;
  std::string said;
};

class DescribeLeftoversTest : public testing::TestWithParam<LeftCase> {};

TEST_P(DescribeLeftoversTest, SaysWhatWasLeft) {
  vss6::DestroyDone done;
  done.leftovers = GetParam().leftovers;
  done.synced = GetParam().synced;
  EXPECT_TRUE(vss6::LeftSomething(done));
  EXPECT_EQ(vss6::DescribeLeftovers("$/a", done), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribeLeftoversTest,
    testing::Values(
        LeftCase{{"x.a (busy)"},
                 true,
                 "'$/a' was destroyed; 1 of its files could not be removed: x.a (busy); vssdb "
                 "check lists them, and the next destroy or open that can removes them"},
        LeftCase{{},
                 false,
                 "'$/a' was destroyed; the data folder could not be synced to disk, so the "
                 "destroy's journal was kept and the next open finishes it"},
        LeftCase{{"x.a (busy)", "x.b (busy)"},
                 false,
                 "'$/a' was destroyed; 2 of its files could not be removed: x.a (busy); x.b "
                 "(busy); vssdb check lists them, and the next destroy or open that can removes "
                 "them; the data folder could not be synced to disk, so the destroy's journal was "
                 "kept and the next open finishes it"}));

TEST(LeftSomethingTest, IsFalseForADestroyThatLeftNothing) {
  EXPECT_FALSE(vss6::LeftSomething(vss6::DestroyDone{}));
}

}  // namespace
