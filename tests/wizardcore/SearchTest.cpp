#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "support/FakeDatabase.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Refusals.h"
#include "wizardcore/Search.h"

namespace {

using ::testing::ElementsAre;
using testing_support::Fake;
using testing_support::FakeItem;
using wizardcore::EntryKind;

class SearchTest : public ::testing::Test {
 protected:
  void Search() { wizardcore::Search(host, list, items).SearchVssItem(root); }

  std::shared_ptr<FakeItem> root = Fake("$/", false, 0, true);
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
};

// After the walk the engine is asked about each entry: what it would refuse is kept, an answer
// that cannot be read leaves the entry as it was (and says so in the log), and Stop ends the
// asking.
TEST_F(SearchTest, TheEngineSaysBeforehandWhatItWouldRefuse) {
  auto p = Fake("$/P", true, 0, true);
  p->children = {Fake("$/P/shared.txt", true, 5), Fake("$/P/plain.txt", true, 7)};
  p->children[0]->refusal = "shared with '$/Q'";
  auto unknown = Fake("$/unknown.txt", true, 3);
  unknown->refusalFails = true;
  auto unknown2 = Fake("$/unknown2.txt", true, 3);
  unknown2->refusalFails = true;
  root->children = {p, unknown, unknown2, Fake("$/late.txt", true, 1)};
  root->children[3]->refusal = "pinned to version 2";
  Search();
  ASSERT_EQ(list.Size(), 6);
  int asked = 0;
  host.onDoEvents = [&] { host.stop = ++asked == 5; };  // Stop after the fifth entry
  wizardcore::MarkRefused(host, list);

  EXPECT_EQ(list[0].refusal, "'$/P/shared.txt' below it is kept");
  EXPECT_EQ(list[1].refusal, "shared with '$/Q'");
  EXPECT_EQ(list[2].refusal, "");
  EXPECT_EQ(list[3].refusal, "");
  EXPECT_EQ(list[4].refusal, "");
  EXPECT_EQ(list[5].refusal, "");  // not asked: Stop came first
  EXPECT_EQ(host.checking, "Checking which entries can be purged: 5 of 6");
  EXPECT_FALSE(list[0].checked);
  EXPECT_FALSE(list[1].checked);
  EXPECT_TRUE(list[2].checked);
  EXPECT_TRUE(list[3].checked);
  // The first answer that could not be read is logged, the others counted.
  EXPECT_THAT(host.logged,
              ElementsAre("Whether '$/unknown.txt' can be destroyed could not be read: cannot "
                          "tell $/unknown.txt",
                          "Whether 1 more entries can be destroyed could not be read either"));
}

TEST_F(SearchTest, CountsBesideEachEntryWhatItsDestroyWouldTakeLiveItemsIncluded) {
  auto p = Fake("$/P", true, 0, true);
  p->children = {Fake("$/P/keep.txt", true, 5), Fake("$/P/live.txt", false, 7),
                 Fake("$/P/Sub", false, 0, true)};
  p->children[2]->children = {Fake("$/P/Sub/gone.txt", true, 11)};
  root->children = {p, Fake("$/f.txt", true, 3)};
  Search();

  ASSERT_EQ(list.Size(), 4);
  EXPECT_TRUE(host.reports.empty());
  const auto& project = list[0];
  EXPECT_EQ(project.spec, "$/P");
  EXPECT_EQ(project.kind, EntryKind::Project);
  EXPECT_EQ(project.takes.items, 5);  // P, keep.txt, live.txt, Sub, gone.txt
  EXPECT_EQ(project.takes.bytes, 23);
  EXPECT_TRUE(project.takes.complete);
  EXPECT_EQ(project.end, 3);  // keep.txt and gone.txt lie below it
  EXPECT_EQ(list[1].spec, "$/P/keep.txt");
  EXPECT_EQ(list[1].kind, EntryKind::File);
  EXPECT_EQ(list[1].parent, 0);
  EXPECT_EQ(list[2].spec, "$/P/Sub/gone.txt");
  EXPECT_EQ(list[2].parent, 0);  // Sub is not listed: P is the listed project above
  EXPECT_EQ(list[3].parent, -1);
  for (int index = 0; index < 4; ++index) {
    EXPECT_TRUE(list[index].checked) << index;
  }
  EXPECT_TRUE(list.Unread().empty());
}

TEST_F(SearchTest, AProjectWhoseChildrenCannotBeReadIsNamedAFileIsNot) {
  auto broken = Fake("$/Broken", true, 0, true);
  broken->onItems = [] { throw errors::ErrorRecord(-2147166434, "SourceSafe", "locked"); };
  auto file = Fake("$/file.txt", false, 4);
  file->onItems = [] { throw errors::ErrorRecord(-2147166434, "SourceSafe", "a file"); };
  root->children = {broken, file};
  Search();
  EXPECT_TRUE(host.reports.empty());  // line 106 stays silent
  ASSERT_EQ(list.Unread().size(), 1u);
  EXPECT_EQ(list.Unread()[0].spec, "$/Broken");
  EXPECT_EQ(list.Unread()[0].reason, "locked");  // the notice says why
  ASSERT_EQ(list.Size(), 1);
  EXPECT_FALSE(list[0].takes.complete);  // what lies below it is unknown
}

// A path deleted, added again and deleted again: each entry keeps its own item under a key of its
// own, without an error report, and people are shown which is which.
TEST_F(SearchTest, EachEntryOfAPathDeletedTwiceHasItsOwnKeyAndIsToldApart) {
  auto first = Fake("$/D/x.txt", true, 3);
  auto second = Fake("$/D/X.txt", true, 5);
  auto project = Fake("$/D", true, 0, true);
  project->children = {first, second};
  root->children = {project, Fake("$/y.txt", true, 1)};
  Search();
  EXPECT_TRUE(host.reports.empty());
  ASSERT_EQ(list.Size(), 4);
  EXPECT_NE(list[1].key, list[2].key);
  EXPECT_TRUE(items.Holds(list[1].key, first.get()));
  EXPECT_TRUE(items.Holds(list[2].key, second.get()));
  EXPECT_EQ(items.Count(), 4);
  EXPECT_EQ(list.Label(1), "$/D/x.txt (1 of 2 entries of this path)");
  EXPECT_EQ(list.Label(2), "$/D/X.txt (2 of 2 entries of this path)");
  EXPECT_EQ(list.Label(3), "$/y.txt");
}

TEST_F(SearchTest, WhenLine103AddsNoEntryLine104ChecksNone) {
  auto unnamed = Fake("$/unnamed", true);
  unnamed->onSpec = [] { throw errors::ErrorRecord(-2147166577, "SourceSafe", "no spec"); };
  root->children = {unnamed, Fake("$/next", true)};
  Search();
  EXPECT_THAT(host.reports, ElementsAre("SearchVssItem:102", "SearchVssItem:103"));
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list[0].spec, "$/next");
  EXPECT_TRUE(list[0].checked);
}

TEST_F(SearchTest, AStopInsideAProjectLeavesItsCountALowerBound) {
  auto p = Fake("$/P", true, 0, true);
  p->children = {Fake("$/P/a", true, 1), Fake("$/P/b", true, 1), Fake("$/P/c", false, 1)};
  root->children = {p};
  host.onDoEvents = [&] { host.stop = list.Size() == 2; };
  Search();
  ASSERT_EQ(list.Size(), 2);
  EXPECT_EQ(list[0].takes.items, 2);
  EXPECT_FALSE(list[0].takes.complete);
}

}  // namespace

namespace {

TEST_F(SearchTest, AChainFarDeeperThanTheCallStackIsWalkedInFull) {
  // Deep enough that a walk calling itself once per level runs out of stack, even without the
  // sanitizers' larger frames.
  constexpr int kLevels = 300000;
  std::vector<std::shared_ptr<FakeItem>> chain{root};
  for (int level = 1; level <= kLevels; ++level) {
    chain.push_back(Fake("$/d", level == kLevels / 2, 1, true));
    chain[chain.size() - 2]->children = {chain.back()};
  }
  chain.back()->children = {Fake("$/deepest.txt", true, 5)};
  Search();
  ASSERT_EQ(list.Size(), 2);
  EXPECT_EQ(list[1].spec, "$/deepest.txt");
  EXPECT_EQ(list[1].parent, 0);
  EXPECT_EQ(list[0].takes.items, kLevels / 2 + 2);  // itself, the levels below, the file
  EXPECT_EQ(list[0].takes.bytes, kLevels / 2 + 1 + 5);
  EXPECT_TRUE(list[0].takes.complete);
  // Unlinked one by one, so that the chain does not go in a cascade of destructors either.
  for (auto& item : chain) {
    item->children.clear();
  }
}

}  // namespace
