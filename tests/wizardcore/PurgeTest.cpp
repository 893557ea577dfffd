#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "support/FakeDatabase.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Purge.h"
#include "wizardcore/Search.h"

namespace {

using ::testing::ElementsAre;
using testing_support::Fake;
using testing_support::FakeItem;

class PurgeTest : public ::testing::Test {
 protected:
  void Search() { wizardcore::Search(host, list, items).SearchVssItem(root); }
  const wizardcore::PurgeSummary& Purge() {
    purge.PurgeVssItems();
    return purge.Summary();
  }
  int IndexOf(const std::string& spec) const {
    for (int index = 0; index < list.Size(); ++index) {
      if (list[index].spec == spec) {
        return index;
      }
    }
    return -1;
  }

  std::shared_ptr<FakeItem> root = Fake("$/", false, 0, true);
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  wizardcore::Purge purge{host, list, items};
};

// However the check boxes came to disagree with the tree (here set one by one, past the rule),
// a project whose listed descendants are not all checked is never destroyed.
TEST_F(PurgeTest, AProjectHoldingAnUncheckedEntryIsKeptEvenWhenTheRuleWasBypassed) {
  auto p = Fake("$/P", true, 0, true);
  auto q = Fake("$/P/Q", true, 0, true);
  auto keep = Fake("$/P/Q/keep.txt", true, 5);
  auto live = Fake("$/P/live.txt", false, 7);
  auto other = Fake("$/other.txt", true, 3);
  q->children = {keep};
  p->children = {q, live};
  root->children = {p, other};
  Search();
  list.SetChecked(IndexOf("$/P/Q/keep.txt"), false);  // not through the rule: P and Q stay checked

  const wizardcore::PurgeSummary& summary = Purge();
  EXPECT_EQ(keep->destroyed + q->destroyed + p->destroyed, 0);
  EXPECT_EQ(other->destroyed, 1);
  // Q and P are kept for the same reason: one box, the second counted.
  EXPECT_THAT(host.reports, ElementsAre("PurgeVssItems:114"));
  EXPECT_THAT(host.numbers, ElementsAre(wizardcore::kKeptForUncheckedEntry));
  EXPECT_EQ(summary.kept, 2);
  EXPECT_EQ(summary.destroyed, 1);
  ASSERT_EQ(summary.repeated.size(), 1u);
  EXPECT_EQ(summary.repeated[0].repeats, 1);
  EXPECT_EQ(list.Count(), 1);  // keep.txt, unchecked, is still listed
  EXPECT_FALSE(list[IndexOf("$/P/Q/keep.txt")].removed);
}

TEST_F(PurgeTest, ARepeatedFailureIsShownOnceCountedAndEachOneLoggedWithItsItem) {
  for (const char* spec : {"$/a", "$/b", "$/c", "$/d"}) {
    root->children.push_back(Fake(spec, true));
    root->children.back()->refuseDestroy = true;
  }
  Search();
  const wizardcore::PurgeSummary& summary = Purge();
  EXPECT_THAT(host.reports, ElementsAre("PurgeVssItems:114"));
  EXPECT_EQ(summary.failed, 4);
  ASSERT_EQ(summary.repeated.size(), 1u);
  EXPECT_EQ(summary.repeated[0].line, 114);
  EXPECT_EQ(summary.repeated[0].repeats, 3);
  EXPECT_EQ(summary.repeated[0].first.description, "refused $/d");  // the first one, bottom up
  EXPECT_THAT(host.logged,
              ElementsAre("scourwell: purge of '$/d', line 114: (-2147166571) 'refused $/d'",
                          "scourwell: purge of '$/c', line 114: (-2147166571) 'refused $/c'",
                          "scourwell: purge of '$/b', line 114: (-2147166571) 'refused $/b'",
                          "scourwell: purge of '$/a', line 114: (-2147166571) 'refused $/a'"));
  EXPECT_EQ(list.Count(), 0);  // a refused destroy still leaves the list
}

TEST_F(PurgeTest, TheSummaryCountsAProjectsItemsOnceAndWhatAStopLeft) {
  auto p = Fake("$/P", true, 0, true);
  p->children = {Fake("$/P/a", true, 10), Fake("$/P/live", false, 20)};
  root->children = {Fake("$/first", true, 1), p, Fake("$/z1", true, 100), Fake("$/z2", true, 100)};
  Search();
  list.Check(IndexOf("$/first"), false);
  // Stop once $/z1 is in hand: z2 went, z1 goes, P and its a are not reached.
  host.onDoEvents = [&] { host.stop = !host.purging.empty() && host.purging.back() == "$/z1"; };
  const wizardcore::PurgeSummary& stopped = Purge();
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.destroyed, 2);
  EXPECT_EQ(stopped.reclaimed.items, 2);
  EXPECT_EQ(stopped.reclaimed.bytes, 200);
  EXPECT_EQ(stopped.notReached, 2);  // P and P/a; $/first was not checked

  host.stop = false;
  host.onDoEvents = nullptr;
  wizardcore::Purge again(host, list, items);
  again.PurgeVssItems();
  // P/a went first, then P with the rest: 3 items (P, a, live) counted once.
  EXPECT_EQ(again.Summary().destroyed, 2);
  EXPECT_EQ(again.Summary().reclaimed.items, 3);
  EXPECT_EQ(again.Summary().reclaimed.bytes, 30);
  EXPECT_FALSE(again.Summary().stopped);
}

TEST_F(PurgeTest, AStopInTheCountingPassDestroysNothingAndLeavesEveryCheckedEntryUnreached) {
  root->children = {Fake("$/a", true), Fake("$/b", true)};
  Search();
  host.stop = true;
  const wizardcore::PurgeSummary& summary = Purge();
  EXPECT_EQ(summary.notReached, 2);
  EXPECT_EQ(summary.destroyed, 0);
  EXPECT_TRUE(host.purging.empty());
}

// A database that saves destroys in groups of two and cannot save the group it ends with.
class GroupingDatabase final : public testing_support::FakeDatabase {
 public:
  void BeginDestroyGroup(std::function<void()>) override { began = true; }
  int UnsavedDestroys() override {
    unsaved = (unsaved + 1) % 2;
    return unsaved;
  }
  void EndDestroyGroup() override {
    if (unsaved > 0) {
      throw errors::ErrorRecord(sourcecontrol::kDestroysNotSaved, "SourceSafe", "disk full");
    }
  }
  bool began = false;
  int unsaved = 0;
};

// Entries count as destroyed once their group is saved; those of a group that could not be
// saved failed, and say why.
TEST_F(PurgeTest, TheEntriesOfAGroupThatCouldNotBeSavedFailed) {
  root->children = {Fake("$/a", true, 1), Fake("$/b", true, 2), Fake("$/c", true, 4)};
  Search();
  GroupingDatabase database;
  wizardcore::Purge grouped(host, list, items, &database);
  grouped.PurgeVssItems();
  EXPECT_TRUE(database.began);
  // c and b were saved together; a was left in the open group.
  EXPECT_EQ(grouped.Summary().destroyed, 2);
  EXPECT_EQ(grouped.Summary().reclaimed.bytes, 6);
  EXPECT_EQ(grouped.Summary().failed, 1);
  EXPECT_EQ(list[IndexOf("$/a")].outcome, wizardcore::Outcome::Failed);
  EXPECT_EQ(list[IndexOf("$/a")].failure.description, "disk full");
  EXPECT_THAT(host.reports, ElementsAre("PurgeVssItems:120"));
  EXPECT_THAT(host.logged, ElementsAre("scourwell: purge, line 120: (-2147164401) 'disk full'",
                                       "scourwell: purge of '$/a' did not take place: disk full"));
}

}  // namespace
