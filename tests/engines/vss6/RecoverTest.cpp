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
