// Several deleted entries of one project destroyed as one change: the same database as destroying
// them one by one, all or nothing when cut off, and, through the database object, a purge's
// destroys written a project at a time with refusals said entry by entry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <map>

#include "Vss6Copy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Database.h"
#include "errors/ErrorRecord.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "support/InChild.h"
#include "support/Required.h"

namespace {

using ::testing::IsEmpty;
using testing_support::Vss6Builder;
using vss6_test::Vss6Copy;
namespace fs = std::filesystem;

// $/P with a live file, three deleted ones and a deleted file shared with $/Q.
struct Sample {
  Vss6Builder builder;
  std::string p = builder.Project(Vss6Builder::kRoot, "P");
  std::string live = builder.File(p, "live.txt");
  std::string a = builder.File(p, "a.txt", "a\n", true);
  std::string b = builder.File(p, "b.txt", "bb\n", true);
  std::string c = builder.File(p, "c.txt", "ccc\n", true);
  std::string q = builder.Project(Vss6Builder::kRoot, "Q");
  std::string shared = builder.File(q, "shared.txt");
  Sample() { builder.Share(shared, p, true); }
};

const std::vector<std::string> kSpecs = {"$/P/c.txt", "$/P/b.txt", "$/P/a.txt"};

std::vector<vss6::DestroyRequest> Requests(const Vss6Copy& copy, vss6::Vss6Tree& tree) {
  const std::vector<Vss6Copy::Walked> items = Vss6Copy::Walk(tree);
  std::vector<vss6::DestroyRequest> requests;
  for (const std::string& spec : kSpecs) {
    requests.push_back(copy.RequestFor(tree, Vss6Copy::Find(items, spec)));
  }
  return requests;
}

// A project's header, entry file and log as a destroy leaves them, its records' times aside.
struct ProjectSeen {
  vss6::ItemHeader header;
  std::vector<unsigned char> entries;
  std::vector<std::vector<unsigned char>> logs;
};

ProjectSeen Seen(const Vss6Copy& copy, const std::string& physical) {
  vss6::DataFolder data(copy.Data());
  const std::vector<unsigned char> item = data.ReadWhole(data.ItemPath(physical));
  ProjectSeen seen;
  seen.header = vss6::ReadItemHeader(item, "project");
  seen.entries = data.ReadWhole(data.ItemPath(physical, seen.header.dataExtension));
  for (const vss6::Record& record : vss6::ReadItemRecords(item, "project")) {
    if (record.signature == "EL") {
      std::vector<unsigned char> body(record.body.begin(), record.body.end());
      std::fill(body.begin() + 8, body.begin() + 12, 0);  // the time
      seen.logs.push_back(std::move(body));
    }
  }
  return seen;
}

TEST(GroupedDestroyTest, LeavesWhatDestroyingTheEntriesOneByOneLeaves) {
  const Sample sample;
  const Vss6Copy oneByOne(sample.builder);
  const Vss6Copy grouped(sample.builder);
  {
    vss6::Vss6Tree tree(oneByOne.Data());
    for (const vss6::DestroyRequest& request : Requests(oneByOne, tree)) {
      const vss6::DestroyDone done = vss6::DestroyEntry(request);
      tree.NoteDestroyed(request.entry.parent, done.parent, done.projects, done.items);
    }
  }
  vss6::Vss6Tree tree(grouped.Data());
  const vss6::DestroyDone done = vss6::DestroyEntries(Requests(grouped, tree));
  EXPECT_EQ(done.items.size(), 3u);
  EXPECT_TRUE(done.leftovers.empty());

  const ProjectSeen one = Seen(oneByOne, sample.p);
  const ProjectSeen all = Seen(grouped, sample.p);
  EXPECT_EQ(all.header.logEntries, one.header.logEntries);
  EXPECT_EQ(all.header.totalEntries, one.header.totalEntries);
  EXPECT_EQ(all.header.subprojects, one.header.subprojects);
  EXPECT_EQ(all.header.lastLog, one.header.lastLog);
  EXPECT_EQ(all.header.endOfFile, one.header.endOfFile);
  EXPECT_EQ(all.entries, one.entries);
  EXPECT_EQ(all.logs, one.logs);
  for (const std::string& physical : {sample.a, sample.b, sample.c}) {
    EXPECT_TRUE(vss6::DataFolder(grouped.Data()).FindItemFile(physical).empty()) << physical;
  }
  for (const Vss6Copy* copy : {&oneByOne, &grouped}) {
    EXPECT_THAT(vss6::CheckDatabase(copy->Data()), IsEmpty());
  }
  vss6::Vss6Tree after(grouped.Data());
  const std::vector<std::string> lines = Vss6Copy::Lines(after);
  EXPECT_THAT(lines, ::testing::ElementsAre("file DELETED $/P/shared.txt", "file live $/P/live.txt",
                                            "file live $/Q/shared.txt", "project live $/P",
                                            "project live $/Q"));
  const std::optional<Vss6Copy::Independent> independent = grouped.ReadIndependently();
  SCOURWELL_REQUIRE(independent.has_value(), vss6_test::kIndependentReader.string());
  EXPECT_TRUE(independent->sound);
  EXPECT_EQ(independent->lines, lines);
}

// Killed before each step that writes: the next open finishes all of the change or undoes all of
// it, never a part.
class KilledGroupTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KilledGroupTest, IsFinishedOrUndoneWholeByTheNextOpen) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  const std::string at = GetParam();
  const int status = testing_support::RunInChild(60, [&] {
    vss6::Vss6Tree tree(copy.Data());
    std::vector<vss6::DestroyRequest> requests = Requests(copy, tree);
    requests.front().onStep = [&](std::string_view step) {
      if (step == at) {
        ::raise(SIGKILL);
      }
    };
    vss6::DestroyEntries(requests);
    return 0;
  });
  ASSERT_EQ(status, 128 + SIGKILL);
  const vss6::Recovery recovery = vss6::FinishInterruptedDestroy(copy.Journal(), copy.Data());
  EXPECT_FALSE(recovery.blocking);
  EXPECT_FALSE(fs::exists(copy.Journal()));
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
  vss6::Vss6Tree tree(copy.Data());
  const std::vector<std::string> lines = Vss6Copy::Lines(tree);
  const bool tookEffect = at == std::string("files");
  for (const char* file : {"a.txt", "b.txt", "c.txt"}) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("file DELETED $/P/") + file),
              tookEffect ? 0 : 1)
        << file;
  }
  if (const std::optional<Vss6Copy::Independent> independent = copy.ReadIndependently()) {
    EXPECT_TRUE(independent->sound);
    EXPECT_EQ(independent->lines, lines);
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledGroupTest,
                         ::testing::Values("journal", "entries", "log", "files"));

// Through the database object, as a purge runs: entries wait while they lie in one project, are
// written when one of another project comes or the group ends; one the engine refuses is said at
// once and the others go on.
TEST(GroupedDestroyTest, APurgesDestroysAreWrittenAProjectAtATime) {
  const Sample sample;
  const Vss6Copy copy(sample.builder);
  vss6::Vss6Database database;
  database.Open(copy.Root().string(), "Admin", "");
  const auto p = database.VSSItem("$/P", false)->Items(true);
  std::map<std::string, std::shared_ptr<sourcecontrol::IVSSItem>> items;
  for (const auto item : *p) {
    items[item->Spec()] = item;
  }
  database.BeginDestroyGroup({});
  items.at("$/P/c.txt")->Destroy();
  items.at("$/P/b.txt")->Destroy();
  EXPECT_EQ(database.UnsavedDestroys(), 2);
  try {
    items.at("$/P/shared.txt")->Destroy();
    ADD_FAILURE() << "a shared file was taken";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), static_cast<std::int32_t>(0x8004DF0Du));
  }
  items.at("$/P/a.txt")->Destroy();
  EXPECT_EQ(database.UnsavedDestroys(), 3);
  EXPECT_FALSE(vss6::DataFolder(copy.Data()).FindItemFile(sample.c).empty());  // not yet written
  database.EndDestroyGroup();
  EXPECT_EQ(database.UnsavedDestroys(), 0);
  const ProjectSeen seen = Seen(copy, sample.p);
  EXPECT_EQ(seen.header.totalEntries, 2);  // live.txt and shared.txt
  EXPECT_THAT(vss6::CheckDatabase(copy.Data()), IsEmpty());
}

}  // namespace
