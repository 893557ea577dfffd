// Recovers on copies of a real database (Shaili: 67 deleted files, 13 of them shared) and on
// built ones: what is written, what is refused with nothing written, and crashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <set>

#include "Vss6Copy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/LogActions.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Recover.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Database.h"
#include "errors/ErrorRecord.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "support/InChild.h"
#include "support/Required.h"

namespace {

using ::testing::HasSubstr;
using TreeItem = vss6_test::Vss6Copy::Walked;
using testing_support::Vss6Builder;
using vss6::Vss6Tree;
using vss6_test::Vss6Copy;

constexpr const char* kShaili = "shukladhaval25_Inventory-Shaili";
constexpr const char* kSak = "$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj";
constexpr const char* kSakParent = "QIAAAAAA";

#define REQUIRE_COPY(copy) \
  SCOURWELL_REQUIRE((copy).Valid(), "the shared database " + vss6_test::kShared.string())

vss6::RecoverRequest RequestFor(const Vss6Copy& copy, Vss6Tree& tree, const TreeItem& item) {
  return vss6::EntryRequestFor(tree, item, copy.Journal(), "Admin");
}

TEST(RecoverTest, EveryUnsharedDeletedFileComesBackAndTheDatabaseStaysSound) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  Vss6Tree tree(copy.Data());
  const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
  std::set<std::string> recovered;
  std::vector<std::string> refused;
  for (const TreeItem& item : items) {
    if (!item.deleted) {
      continue;
    }
    try {
      tree.NoteWritten(item.parent, vss6::RecoverEntry(RequestFor(copy, tree, item)));
      recovered.insert(item.spec);
    } catch (const vss6::DestroyRefused& refusal) {
      EXPECT_EQ(refusal.GetKind(), vss6::DestroyRefused::Kind::kNotWritten);
      refused.push_back(refusal.what());
    }
  }
  EXPECT_EQ(recovered.size(), 54u);
  EXPECT_THAT(refused, ::testing::Each(HasSubstr("Scourwell does not recover shared files")));
  EXPECT_EQ(refused.size(), 13u);
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(copy.Journal()));

  Vss6Tree after(copy.Data());
  for (const TreeItem& item : Vss6Copy::Walk(after)) {
    EXPECT_EQ(item.deleted, item.deleted && recovered.count(item.spec) == 0) << item.spec;
    if (recovered.count(item.spec) != 0) {
      EXPECT_FALSE(item.deleted) << item.spec;
      EXPECT_EQ(after.ContentOf(item), tree.ContentOf(Vss6Copy::Find(items, item.spec)));
    }
  }
}

TEST(RecoverTest, WritesTheRecoverRecordAndClearsOnlyTheDeletedBit) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  vss6::DataFolder data(copy.Data());
  const std::vector<unsigned char> parentBefore = data.ReadWhole(data.ItemPath(kSakParent));
  const vss6::ItemHeader headerBefore = vss6::ReadItemHeader(parentBefore, "parent");
  Vss6Tree tree(copy.Data());
  const TreeItem sak = Vss6Copy::Find(Vss6Copy::Walk(tree), kSak);

  vss6::RecoverEntry(RequestFor(copy, tree, sak));

  vss6::DataFolder now(copy.Data());
  const std::vector<unsigned char> parent = now.ReadWhole(now.ItemPath(kSakParent));
  const vss6::ItemHeader header = vss6::ReadItemHeader(parent, "parent");
  EXPECT_EQ(header.logEntries, headerBefore.logEntries + 1);
  EXPECT_EQ(header.totalEntries, headerBefore.totalEntries);
  EXPECT_EQ(header.subprojects, headerBefore.subprojects);
  EXPECT_EQ(header.endOfFile, parent.size());
  EXPECT_NE(header.dataExtension, headerBefore.dataExtension);
  const vss6::Record record = vss6::ReadRecord(parent, header.lastLog, "EL", "parent");
  EXPECT_EQ(vss6::ReadU32(record.body, 0, ""), headerBefore.lastLog);
  EXPECT_EQ(vss6::ReadU16(record.body, 4, ""), vss6::kRecoverFile);
  EXPECT_EQ(vss6::ReadU32(record.body, 76, ""), record.End());
  EXPECT_EQ(vss6::FieldText(record.body, 12, 32, ""), "Admin");
  EXPECT_TRUE(std::equal(sak.entryRecord.begin() + 8 + 4, sak.entryRecord.begin() + 8 + 44,
                         record.body.begin() + vss6::kLogChildName));
  EXPECT_EQ(vss6::FieldText(record.body, vss6::kLogChildPhysical, 10, ""), sak.physical);

  // The entry file holds the same records; the item's differs only in its flags.
  const auto entries =
      vss6::ReadEntryFile(now.ReadWhole(now.ItemPath(kSakParent, header.dataExtension)), "entries");
  const auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const auto& e) { return e.physical == sak.physical; });
  ASSERT_NE(entry, entries.end());
  EXPECT_EQ(entry->flags, sak.entryFlags & ~vss6::kDeletedFlag);
  EXPECT_EQ(entries.size(), headerBefore.totalEntries);
}

// What no real database shows the recover of, and a name taken since: refused, nothing written.
struct Refusal {
  const char* name;
  std::function<void(Vss6Builder&, const std::string& p)> make;  // adds a deleted "$/P/gone"
  const char* says;
};

class RecoverRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(RecoverRefusalTest, IsRefusedSayingWhyAndWritesNothing) {
  Vss6Builder builder;
  const std::string project = builder.Project(Vss6Builder::kRoot, "P");
  builder.File(project, "live.txt");
  GetParam().make(builder, project);
  Vss6Copy copy(builder);
  const auto before = copy.Snapshot();
  Vss6Tree tree(copy.Data());
  const TreeItem gone = Vss6Copy::Find(Vss6Copy::Walk(tree), "$/P/gone");
  try {
    vss6::RecoverEntry(RequestFor(copy, tree, gone));
    FAIL() << "recovered";
  } catch (const vss6::DestroyRefused& refusal) {
    EXPECT_EQ(refusal.GetKind(), vss6::DestroyRefused::Kind::kNotWritten);
    EXPECT_THAT(refusal.what(), HasSubstr(GetParam().says));
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecoverRefusalTest,
    ::testing::Values(
        Refusal{"Project", [](Vss6Builder& b, const std::string& p) { b.Project(p, "gone", true); },
                "Scourwell does not recover projects of a SourceSafe 6 database; '$/P/gone' is "
                "a project"},
        Refusal{"Shared",
                [](Vss6Builder& b, const std::string& p) {
                  const std::string other = b.Project(Vss6Builder::kRoot, "O");
                  b.Share(b.File(other, "gone"), p, true);
                },
                "Scourwell does not recover shared files; '$/P/gone' is shared"},
        Refusal{"NameTakenByALiveItem",
                [](Vss6Builder& b, const std::string& p) {
                  b.File(p, "gone", "old\n", true);
                  b.File(p, "GONE");
                },
                "A live item in the project of '$/P/gone' has its name"}),
    [](const auto& info) { return std::string(info.param.name); });

// A deleted file beside a live one whose name differs only in letter case, as the code page has
// it: recovering it would give two live items SourceSafe and Windows take for one. The check
// reports such a pair of live entries, naming them in UTF-8.
struct AlikeNames {
  const char* name;
  const char* codePage;
  const char* deleted;  // bytes in the code page
  const char* live;
  bool alike;
};

class AlikeNamesTest : public ::testing::TestWithParam<AlikeNames> {};

TEST_P(AlikeNamesTest, RecoverRefusesANameTakenInTheCodePagesLetterCase) {
  const AlikeNames row = GetParam();
  Vss6Builder builder;
  const std::string project = builder.Project(Vss6Builder::kRoot, "P");
  builder.File(project, row.deleted, "old\n", true);
  builder.File(project, row.live);
  Vss6Copy copy(builder);
  const auto before = copy.Snapshot();
  Vss6Tree tree(copy.Data(), row.codePage);
  const std::vector<TreeItem> items = Vss6Copy::Walk(tree);
  const auto deleted = std::find_if(items.begin(), items.end(), [](auto& i) { return i.deleted; });
  ASSERT_NE(deleted, items.end());
  bool refused = false;
  try {
    vss6::RecoverEntry(RequestFor(copy, tree, *deleted));
  } catch (const vss6::DestroyRefused& refusal) {
    refused = true;
    EXPECT_THAT(refusal.what(), HasSubstr("has its name"));
  }
  EXPECT_EQ(refused, row.alike);
  if (refused) {
    EXPECT_EQ(copy.Snapshot(), before);
  }
  // Both live now when the recover went ahead: the check finds nothing to say, or the pair.
  const std::vector<std::string> faults = vss6::CheckDatabase(copy.Data(), row.codePage);
  EXPECT_THAT(faults, ::testing::IsEmpty());
  Vss6Builder twins;
  const std::string holder = twins.Project(Vss6Builder::kRoot, "P");
  twins.File(holder, row.deleted);
  twins.File(holder, row.live);
  Vss6Copy both(twins);
  const std::vector<std::string> named = vss6::CheckDatabase(both.Data(), row.codePage);
  if (row.alike) {
    const vss6::CodePage codePage(row.codePage);
    EXPECT_THAT(named, ::testing::ElementsAre(
                           ::testing::AllOf(HasSubstr("two live entries named"),
                                            HasSubstr("'" + codePage.ToUtf8(row.deleted) + "'"),
                                            HasSubstr("'" + codePage.ToUtf8(row.live) + "'"))));
  } else {
    EXPECT_THAT(named, ::testing::IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, AlikeNamesTest,
    ::testing::Values(AlikeNames{"Ascii", "CP1252", "gone.txt", "GONE.TXT", true},
                      AlikeNames{"AccentsInWindows1252", "CP1252", "\xE9t\xE9.txt", "\xC9T\xC9.txt",
                                 true},
                      AlikeNames{"AnotherLetter", "CP1252", "\xE9.txt", "e.txt", false},
                      AlikeNames{"CyrillicIn1251", "1251", "\xE0.txt", "\xC0.txt", true},
                      AlikeNames{"SharpSHasNoCapital", "CP1252", "\xDF.txt", "SS.txt", false}),
    [](const auto& info) { return std::string(info.param.name); });

// A file inside a deleted project would come back out of sight: refused, nothing written.
TEST(RecoverTest, AFileInsideADeletedProjectIsRefused) {
  Vss6Builder builder;
  const std::string project = builder.Project(Vss6Builder::kRoot, "P", true);
  builder.File(project, "inside.txt", "x", true);
  Vss6Copy copy(builder);
  const auto before = copy.Snapshot();
  vss6::Vss6Database database;
  database.Open(copy.Root().string(), "Admin", "");
  const auto inside = database.VSSItem("$/P", true)->Items(true)->Item(1);
  ASSERT_EQ(inside->Spec(), "$/P/inside.txt");
  try {
    inside->Recover();
    FAIL() << "recovered";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), static_cast<std::int32_t>(0x8004DF0Du));
    EXPECT_THAT(error.Description(), HasSubstr("lies in the deleted project '$/P'"));
  }
  EXPECT_EQ(copy.Snapshot(), before);
}

// Killed before each step that writes; the next open finishes the recover when its log record
// was written, and undoes it when not.
class KilledRecoverTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KilledRecoverTest, IsFinishedOrUndoneByTheNextOpen) {
  Vss6Copy copy(kShaili);
  REQUIRE_COPY(copy);
  const std::string at = GetParam();
  const int status = testing_support::RunInChild(60, [&] {
    Vss6Tree tree(copy.Data());
    vss6::RecoverRequest request =
        RequestFor(copy, tree, Vss6Copy::Find(Vss6Copy::Walk(tree), kSak));
    request.onStep = [&](std::string_view step) {
      if (step == at) {
        ::raise(SIGKILL);
      }
    };
    vss6::RecoverEntry(request);
    return 0;
  });
  ASSERT_EQ(status, 128 + SIGKILL);
  const auto said = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_FALSE(said.blocking);
  EXPECT_FALSE(std::filesystem::exists(copy.Journal()));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), ::testing::IsEmpty());
  Vss6Tree tree(copy.Data());
  EXPECT_EQ(Vss6Copy::Find(Vss6Copy::Walk(tree), kSak).deleted, at != std::string("files"));
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledRecoverTest,
                         ::testing::Values("journal", "entries", "log", "files"));

}  // namespace
