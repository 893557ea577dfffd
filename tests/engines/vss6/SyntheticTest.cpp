// The reader, the check and the destroy on a small database the tests write themselves, so that
// they run wherever the tests do: listing in any locale, damage the listing survives, what a
// destroy refuses, and destroys cut off, run by other users or blocked by the file system.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "Vss6Copy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Vss6Check.h"
#include "platform/text/AsciiCase.h"
#include "support/InChild.h"
#include "support/Required.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing_support::Vss6Builder;
using vss6_test::Vss6Copy;
using Walked = Vss6Copy::Walked;
namespace fs = std::filesystem;

// $/Keep with a live, a deleted, a shared and a file whose content may go missing; $/Other, where
// the shared file is deleted; and $/Gone, a deleted project with a project below it (whose
// physical name has an I, which a Turkish fold of case loses).
struct Sample {
  Vss6Builder builder;
  std::string keep = builder.Project(Vss6Builder::kRoot, "Keep");
  std::string a = builder.File(keep, "a.txt", "alpha\n");
  std::string old = builder.File(keep, "old file.txt", "gone\n", true);
  std::string shared = builder.File(keep, "shared.txt");
  std::string other = builder.Project(Vss6Builder::kRoot, "Other");
  std::string gone = builder.Project(Vss6Builder::kRoot, "Gone", true);
  std::string inner = builder.File(gone, "inner.txt");
  std::string sub = builder.Project(gone, "Sub");
  std::string deep = builder.File(sub, "deep.txt", "x", true);
  std::string broken = builder.File(keep, "broken.txt", "12345");
  Sample() { builder.Share(shared, other, true); }
};

constexpr const char* kOld = "$/Keep/old file.txt";

std::vector<std::string> Listing(vss6::Vss6Tree& tree) {
  std::vector<std::string> lines;
  for (const Walked& item : Vss6Copy::Walk(tree)) {
    lines.push_back(item.spec + (item.deleted ? " (deleted)" : ""));
  }
  return lines;
}

vss6::DestroyDone Destroy(const Vss6Copy& copy, const std::string& spec) {
  vss6::Vss6Tree tree(copy.Data());
  return vss6::DestroyEntry(copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), spec)));
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

fs::path ItemFile(const Vss6Copy& copy, const std::string& physical,
                  const std::string& extension = "") {
  return copy.Data() / std::string(1, text::AsciiLower(physical[0])) /
         (text::AsciiLower(physical) + extension);
}

TEST(SyntheticDatabaseTest, IsSoundAndListsTheSameInEveryLocale) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
  for (const char* name : {"C", "tr_TR.UTF-8", "de_DE.UTF-8"}) {
    const testing_support::ScopedLocale locale(name);
    SCOURWELL_REQUIRE(locale.Valid(), std::string("the locale ") + name);
    vss6::Vss6Tree tree(copy.Data());
    EXPECT_THAT(Listing(tree),
                ElementsAre("$/", "$/Gone (deleted)", "$/Gone/inner.txt", "$/Gone/Sub",
                            "$/Gone/Sub/deep.txt (deleted)", "$/Keep", "$/Keep/a.txt",
                            "$/Keep/broken.txt", "$/Keep/old file.txt (deleted)",
                            "$/Keep/shared.txt", "$/Other", "$/Other/shared.txt (deleted)"))
        << name;
  }
}

// Damage that an open survives, or refuses, and that the check names either way.
struct Damage {
  const char* name;
  std::function<void(const Sample&, const Vss6Copy&)> make;
  const char* fault;  // what the check says
  bool opens;         // whether the tree still opens and lists
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class DamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamageTest, IsReportedByTheCheckAndBlocksNoOtherListingOrDestroy) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  GetParam().make(sample, copy);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), Contains(HasSubstr(GetParam().fault)));
  if (!GetParam().opens) {
    EXPECT_THROW(vss6::Vss6Tree tree(copy.Data()); tree.Users(), vss6::FormatError);
    return;
  }
  vss6::Vss6Tree tree(copy.Data());
  const std::vector<Walked> items = Vss6Copy::Walk(tree);
  EXPECT_EQ(items.size(), 12u);
  EXPECT_EQ(Vss6Copy::Find(items, "$/Keep/broken.txt").size,
            GetParam().name == std::string("Content") ? vss6::kUnknownSize : 5);
  EXPECT_EQ(Vss6Copy::Find(items, "$/Keep/a.txt").size, 6);
  vss6::DestroyEntry(copy.RequestFor(tree, Vss6Copy::Find(items, kOld)));
  EXPECT_FALSE(Exists(ItemFile(copy, sample.old)));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamageTest,
    ::testing::Values(
        // An uploader renamed the content file.
        Damage{"Content",
               [](const Sample& s, const Vss6Copy& c) {
                 fs::rename(ItemFile(c, s.broken, ".a"), ItemFile(c, s.broken, ".a.jpg"));
               },
               "contents: the content file of", true},
        Damage{"EmptyNames",
               [](const Sample&, const Vss6Copy& c) { fs::resize_file(c.Data() / "names.dat", 0); },
               "names: ", false},
        Damage{"EmptyUsers",
               [](const Sample&, const Vss6Copy& c) { fs::resize_file(c.Data() / "um.dat", 0); },
               "users: ", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SyntheticDestroyTest, TakesTheFileOrTheProjectWithItsSubtreeAndKeepsTheRestAsItWas) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  auto before = copy.Snapshot();
  Destroy(copy, kOld);
  Destroy(copy, "$/Gone");
  const auto after = copy.Snapshot();
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
  EXPECT_FALSE(Exists(copy.Journal()));
  // What changed: the root's and Keep's item and entry files; what went: the items' files.
  for (const std::string& physical : {std::string(Vss6Builder::kRoot), sample.keep}) {
    for (const char* extension : {"", ".a", ".b"}) {
      const std::string name = fs::relative(ItemFile(copy, physical, extension), copy.Root());
      before.erase(name);
      EXPECT_TRUE(std::string(extension) == ".a" || after.count(name) == 1) << name;  // now .b
    }
  }
  for (const std::string& gone : {sample.old, sample.gone, sample.inner, sample.sub, sample.deep}) {
    for (const char* extension : {"", ".a"}) {
      const std::string name = fs::relative(ItemFile(copy, gone, extension), copy.Root());
      EXPECT_EQ(after.count(name), 0u) << name;
      before.erase(name);
    }
  }
  for (const auto& [name, bytes] : before) {
    ASSERT_EQ(after.count(name), 1u) << name;
    EXPECT_EQ(after.at(name), bytes) << name;
  }
}

// Refused with nothing written: a deleted share, and an item that a second entry names without
// being shared (damage, which the check reports too).
TEST(SyntheticDestroyTest, AnItemAnotherEntryNamesIsNotDestroyed) {
  Sample sample;
  sample.builder.NameAgain(sample.old, sample.other, "alias.txt");
  const Vss6Copy copy(sample.builder);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), Contains(HasSubstr("parents: ")));
  const auto before = copy.Snapshot();
  for (const auto& [spec, says] : {std::pair{kOld, "is named by 1 other entries of the database"},
                                   std::pair{"$/Other/shared.txt", "is shared"}}) {
    try {
      Destroy(copy, spec);
      ADD_FAILURE() << spec << " destroyed";
    } catch (const vss6::DestroyRefused& refusal) {
      EXPECT_EQ(refusal.GetKind(), vss6::DestroyRefused::Kind::kNotWritten);
      EXPECT_THAT(refusal.what(), HasSubstr(says));
    }
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

// A letter folder that is a symbolic link to somewhere else: nothing there is written or
// removed, the destroy says which link stopped it, and the check names it.
TEST(SyntheticDestroyTest, ALinkedLetterFolderIsNotFollowed) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  testing_support::TempDir elsewhere;
  const fs::path letter = ItemFile(copy, sample.old).parent_path();
  fs::rename(letter, elsewhere / "d");
  fs::create_directory_symlink(elsewhere / "d", letter);
  const auto before = copy.Snapshot();
  const auto outside = fs::last_write_time(elsewhere / "d" / text::AsciiLower(sample.old));
  try {
    Destroy(copy, kOld);
    FAIL() << "destroyed";
  } catch (const vss6::FormatError& error) {
    EXPECT_THAT(error.what(), HasSubstr("'" + letter.string() + "' is a symbolic link"));
  }
  EXPECT_EQ(copy.Snapshot(), before);
  EXPECT_TRUE(Exists(elsewhere / "d" / text::AsciiLower(sample.old)));
  EXPECT_EQ(fs::last_write_time(elsewhere / "d" / text::AsciiLower(sample.old)), outside);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()),
              Contains(HasSubstr("links: '" + letter.string() + "' is a symbolic link")));
}

// Killed before each step that writes, with the destroy started from a relative path (as an
// older version wrote it into the journal), and with SourceSafe writing the project (which
// switches its entry file between .A and .B) before the next open: the next open finishes the
// destroy when it took effect and undoes it otherwise, leaving the database as it was, byte for
// byte, and never removing the entry file the project's header names.
struct Kill {
  const char* step;
  bool relative;
  bool sourceSafeWritesFirst;
};

void PrintTo(const Kill& kill, std::ostream* out) {
  *out << kill.step << (kill.relative ? " relative" : "")
       << (kill.sourceSafeWritesFirst ? " then SourceSafe" : "");
}

class KilledSyntheticDestroyTest : public ::testing::TestWithParam<Kill> {};

// What SourceSafe does when it writes a project's entries: the other extension, the old file gone.
void SourceSafeRewritesEntries(const Vss6Copy& copy, const std::string& project) {
  vss6::DataFolder data(copy.Data());
  const fs::path itemPath = data.ItemPath(project);
  std::vector<unsigned char> item = data.ReadWhole(itemPath);
  const vss6::ItemHeader header = vss6::ReadItemHeader(item, itemPath.string());
  const fs::path entries = data.ItemPath(project, header.dataExtension);
  const std::string other = header.dataExtension == ".A" ? ".B" : ".A";
  const fs::path written = itemPath.string() + text::AsciiLower(other);
  fs::copy_file(entries, written, fs::copy_options::overwrite_existing);
  fs::remove(entries);
  copy.PatchItem(project, [&](std::vector<unsigned char>& bytes) {
    bytes[0x34 + 8 + 46 + 1] = static_cast<unsigned char>(other[1]);
  });
}

TEST_P(KilledSyntheticDestroyTest, IsFinishedOrUndoneByTheNextOpen) {
  const Kill kill = GetParam();
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const auto before = copy.Snapshot();
  const int status = testing_support::RunInChild(60, [&] {
    // The database named by a path relative to the working folder, which the journal must not
    // keep as it is.
    if (kill.relative && ::chdir(copy.Root().parent_path().c_str()) != 0) {
      return 2;
    }
    vss6::Vss6Tree tree(kill.relative ? fs::path("db") / "data" : copy.Data());
    vss6::DestroyRequest request =
        copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), kOld));
    if (kill.relative) {
      request.journal = fs::path("db") / copy.Journal().filename();
    }
    request.onStep = [&](std::string_view step) {
      if (step == kill.step) {
        ::raise(SIGKILL);
      }
    };
    vss6::DestroyEntry(request);
    return 0;
  });
  ASSERT_EQ(status, 128 + SIGKILL);
  const bool tookEffect = kill.step == std::string("files");
  if (kill.sourceSafeWritesFirst) {
    SourceSafeRewritesEntries(copy, sample.keep);
  }

  const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_FALSE(recovery.blocking) << *recovery.blocking;
  EXPECT_FALSE(Exists(copy.Journal()));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
  vss6::Vss6Tree tree(copy.Data());
  const std::vector<std::string> listing = Listing(tree);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), std::string(kOld) + " (deleted)"),
            tookEffect ? 0 : 1);
  EXPECT_EQ(listing.size(), tookEffect ? 11u : 12u);
  EXPECT_EQ(Exists(ItemFile(copy, sample.old)), !tookEffect);
  if (!tookEffect && !kill.sourceSafeWritesFirst) {
    EXPECT_EQ(copy.Snapshot(), before);  // what the destroy wrote is gone again
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledSyntheticDestroyTest,
                         ::testing::Values(Kill{"journal", false, false},
                                           Kill{"entries", false, false}, Kill{"log", false, false},
                                           Kill{"files", false, false}, Kill{"log", true, false},
                                           Kill{"files", true, false}, Kill{"log", false, true},
                                           Kill{"files", false, true}),
                         [](const auto& info) {
                           return std::string(info.param.step) +
                                  (info.param.relative ? "Relative" : "") +
                                  (info.param.sourceSafeWritesFirst ? "ThenSourceSafe" : "");
                         });

// A file in the way of a write before the destroy takes effect (here a folder where a temporary
// goes; a full disk fails the same way): the destroy fails, undoes what it wrote at once and
// leaves no journal.
class InTheWayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(InTheWayTest, UndoesWhatItWroteAndLeavesNoJournal) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const fs::path blocker = ItemFile(copy, sample.keep, GetParam());
  fs::create_directory(blocker);
  const auto before = copy.Snapshot();
  EXPECT_THROW(Destroy(copy, kOld), files::FileError);
  EXPECT_EQ(copy.Snapshot(), before);
  EXPECT_FALSE(Exists(copy.Journal()));
  fs::remove(blocker);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
}

// Before the new entry file is written, and before the project's item file is.
INSTANTIATE_TEST_SUITE_P(Steps, InTheWayTest, ::testing::Values(".b.new", ".new"),
                         [](const auto& info) {
                           return std::string(info.param) == ".new" ? "ItemFile" : "EntryFile";
                         });

// A destroy in progress in another program: its journal is locked. Nobody else removes it, and
// a second destroy is refused, saying so.
TEST(SyntheticDestroyTest, AJournalInUseIsNeitherRemovedNorOvertaken) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  vss6::DestroyJournal journal;
  journal.data = copy.Data();
  journal.parent = sample.keep;
  journal.physical = sample.a;
  journal.record = 100;
  journal.revision = 9;
  const files::FileDescriptor held =
      vss6::WriteJournal(copy.Journal(), journal, {::geteuid(), ::getegid(), 0644});
  const auto before = copy.Snapshot();
  int status = testing_support::RunInChild(30, [&] {
    const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
    return recovery.blocking &&
                   recovery.blocking->find("Another destroy is under way") != std::string::npos
               ? 0
               : 3;
  });
  EXPECT_EQ(status, 0);
  status = testing_support::RunInChild(30, [&] {
    try {
      Destroy(copy, kOld);
    } catch (const vss6::LockedError& error) {
      return std::string(error.what()).find("Another destroy is under way") != std::string::npos
                 ? 0
                 : 4;
    }
    return 5;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(copy.Snapshot(), before);
}

// Runs `body` in a child as a user other than root when the tests run as root (giving the
// database to that user first), else as the user running the tests; gives its exit status.
constexpr uid_t kOwner = 4242;

template <class Body>
int AsOwnerOfTheDatabase(const Vss6Copy& copy, Body&& body) {
  if (::geteuid() == 0) {
    fs::permissions(copy.Root().parent_path(),
                    fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    for (const auto& entry : fs::recursive_directory_iterator(copy.Root())) {
      ::lchown(entry.path().c_str(), kOwner, kOwner);
    }
    ::lchown(copy.Root().c_str(), kOwner, kOwner);
  }
  return testing_support::RunInChild(60, [&] {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kOwner) != 0 || ::setuid(kOwner) != 0)) {
      return 2;
    }
    return body();
  });
}

// A letter folder this user may not change: refused before anything is written, no journal.
TEST(SyntheticDestroyTest, AFileThatCannotBeRemovedRefusesTheDestroyBeforeItIsWritten) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const fs::path letter = ItemFile(copy, sample.old).parent_path();
  fs::permissions(letter, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto before = copy.Snapshot();
  const int status = AsOwnerOfTheDatabase(copy, [&] {
    try {
      Destroy(copy, kOld);
    } catch (const vss6::PermissionRefused& error) {
      return std::string(error.what()).find("may not change the folder '" + letter.string()) !=
                     std::string::npos
                 ? 0
                 : 3;
    }
    return 4;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(copy.Snapshot(), before);
  EXPECT_FALSE(Exists(copy.Journal()));
}

// The item's folder stops letting this user remove files after the destroy took effect: the
// destroy says so, keeps a record of its files, and does not block later opens and destroys;
// the check lists the files, and the next open that can removes them.
TEST(SyntheticDestroyTest, FilesThatCannotBeRemovedAfterEffectAreLeftForLater) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const fs::path letter = ItemFile(copy, sample.old).parent_path();
  const fs::path leftovers = copy.Root() / ("scourwell-destroy." + sample.old + ".leftovers");
  const int status = AsOwnerOfTheDatabase(copy, [&] {
    vss6::Vss6Tree tree(copy.Data());
    vss6::DestroyRequest request =
        copy.RequestFor(tree, Vss6Copy::Find(Vss6Copy::Walk(tree), kOld));
    request.onStep = [&](std::string_view step) {
      if (step == "files") {
        fs::permissions(letter, fs::perms::owner_write, fs::perm_options::remove);
      }
    };
    const vss6::DestroyDone done = vss6::DestroyEntry(request);
    if (done.leftovers.size() != 2 || !Exists(leftovers) || Exists(copy.Journal())) {
      return 3;
    }
    // Later opens are not blocked; another destroy runs.
    const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
    if (recovery.blocking) {
      return 4;
    }
    Destroy(copy, "$/Gone");
    return 0;
  });
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(Exists(ItemFile(copy, sample.old)));
  EXPECT_THAT(vss6::PendingDestroys(copy.Journal(), copy.Data()),
              Contains(HasSubstr("leftovers: '" + ItemFile(copy, sample.old).string())));
  EXPECT_FALSE(Exists(ItemFile(copy, sample.gone)));

  fs::permissions(letter, fs::perms::owner_write, fs::perm_options::add);
  const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_THAT(recovery.notes, Contains(HasSubstr("have been removed")));
  EXPECT_FALSE(Exists(ItemFile(copy, sample.old)));
  EXPECT_FALSE(Exists(leftovers));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
}

// Files owned by another user and group: a destroy run by root gives the files it rewrites the
// owner, group and mode of those they replace; one run by a user who could not refuses first.
TEST(SyntheticDestroyTest, RewrittenFilesKeepTheirOwnerGroupAndMode) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "giving files to other users takes root";
  }
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  // Another member of the owner's group may write every file and folder, but not give them away.
  for (const auto& entry : fs::recursive_directory_iterator(copy.Root())) {
    ::lchown(entry.path().c_str(), kOwner, kOwner + 1);
    ::chmod(entry.path().c_str(), entry.is_regular_file() ? 0660 : 0770);
  }
  ::lchown(copy.Root().c_str(), kOwner, kOwner + 1);
  ::chmod(copy.Root().c_str(), 0770);
  fs::permissions(copy.Root().parent_path(), fs::perms::others_exec, fs::perm_options::add);
  const auto before = copy.Snapshot();
  const int status = testing_support::RunInChild(60, [&] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kOwner + 1) != 0 || ::setuid(kOwner + 7) != 0) {
      return 2;
    }
    try {
      Destroy(copy, kOld);
    } catch (const vss6::PermissionRefused& error) {
      return std::string(error.what()).find("belongs to user 4242") != std::string::npos ? 0 : 3;
    }
    return 4;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(copy.Snapshot(), before);

  Destroy(copy, kOld);
  for (const char* extension : {"", ".b"}) {
    struct stat status {};
    ASSERT_EQ(::stat(ItemFile(copy, sample.keep, extension).c_str(), &status), 0) << extension;
    EXPECT_EQ(status.st_uid, kOwner) << extension;
    EXPECT_EQ(status.st_gid, kOwner + 1) << extension;
    EXPECT_EQ(status.st_mode & 07777, 0660u) << extension;
  }
}

}  // namespace

namespace {

// A crafted tree 5,000 projects deep lists within a fixed budget of memory: no project keeps its
// whole path (which would take some 120 MB here, growing with the square of the depth).
TEST(DeepTreeTest, ListsInMemoryThatGrowsWithTheEntriesNotTheirDepth) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's own allocations do not fit a budget";
#else
  Vss6Builder builder;
  std::string project = Vss6Builder::kRoot;
  constexpr int kDepth = 5000;
  for (int level = 0; level < kDepth; ++level) {
    project = builder.Project(project, "level" + std::to_string(level));
  }
  builder.File(project, "bottom.txt", "x", true);
  const Vss6Copy copy(builder);
  const int status = testing_support::RunInChild(300, [&] {
    // What the process holds now, and 48 MB more.
    std::ifstream status("/proc/self/status");
    std::string line;
    long dataKiB = 0;
    while (std::getline(status, line)) {
      if (line.rfind("VmData:", 0) == 0) {
        dataKiB = std::stol(line.substr(7));
      }
    }
    const rlim_t budget = static_cast<rlim_t>(dataKiB + 48 * 1024) * 1024;
    const rlimit limit{budget, budget};
    if (dataKiB == 0 || ::setrlimit(RLIMIT_DATA, &limit) != 0) {
      return 2;
    }
    vss6::Vss6Tree tree(copy.Data());
    std::vector<vss6::TreeItem> pending{tree.Root()};
    int items = 0;
    bool deletedAtTheBottom = false;
    while (!pending.empty()) {
      const vss6::TreeItem item = std::move(pending.back());
      pending.pop_back();
      ++items;
      if (item.deleted) {
        deletedAtTheBottom = tree.SpecOf(item).size() > kDepth * 6;
      }
      std::vector<vss6::TreeItem> children = tree.Children(item);
      std::move(children.begin(), children.end(), std::back_inserter(pending));
    }
    return items == kDepth + 2 && deletedAtTheBottom ? 0 : 3;
  });
  EXPECT_EQ(status, 0);
#endif
}

}  // namespace
