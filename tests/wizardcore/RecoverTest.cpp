// The recover run: checked entries come back in list order and leave the list; refusals and
// failures are told apart and logged; Stop leaves the rest.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "support/FakeDatabase.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Recover.h"
#include "wizardcore/Search.h"

namespace {

using ::testing::ElementsAre;
using testing_support::Fake;

class RecoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // $/P (deleted) holds a deleted file; $/x.txt and $/y.txt are deleted beside it.
    p->children = {gone};
    root->children = {p, x, Fake("$/y.txt", true)};
    wizardcore::Search(host, list, items).SearchVssItem(root);
    ASSERT_EQ(list.Size(), 4);
    list.Check(3, false);  // $/y.txt is not asked for
  }

  std::vector<std::string> Outcomes(const wizardcore::RecoverSummary& summary) {
    std::vector<std::string> outcomes;
    for (const wizardcore::OutcomeRow& row : summary.rows) {
      outcomes.push_back(row.spec + ": " + std::string(wizardcore::OutcomeWord(row.outcome)));
    }
    return outcomes;
  }

  std::shared_ptr<testing_support::FakeItem> root = Fake("$/", false, 0, true);
  std::shared_ptr<testing_support::FakeItem> p = Fake("$/P", true, 0, true);
  std::shared_ptr<testing_support::FakeItem> gone = Fake("$/P/gone.txt", true, 3);
  std::shared_ptr<testing_support::FakeItem> x = Fake("$/x.txt", true, 5);
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
};

TEST_F(RecoverTest, RecoversTheCheckedEntriesProjectFirstAndTakesThemOffTheList) {
  x->refuseRecover = true;  // the engine says no: a refusal, not a failure

  const wizardcore::RecoverSummary summary = wizardcore::RecoverChecked(host, list);

  EXPECT_THAT(Outcomes(summary),
              ElementsAre("$/P: recovered", "$/P/gone.txt: recovered", "$/x.txt: refused"));
  EXPECT_EQ(p->recovered, 1);
  EXPECT_EQ(gone->recovered, 1);
  EXPECT_EQ(summary.recovered, 2);
  EXPECT_EQ(summary.refused, 1);
  EXPECT_EQ(list.Count(), 2);  // $/x.txt and $/y.txt stay
  EXPECT_FALSE(list[2].removed);
  EXPECT_EQ(summary.rows[2].error.number, static_cast<std::int32_t>(0x8004DF0Du));
  EXPECT_THAT(host.logged, ::testing::Contains(::testing::HasSubstr("'$/x.txt' refused")));
  EXPECT_EQ(wizardcore::DescribeRecover(summary),
            "Recovered: 2 entries.\nRefused: 1.\nFailed: 0.\nNot reached because of Stop: 0.");
}

TEST_F(RecoverTest, StopLeavesTheEntriesNotReachedOnTheList) {
  // Pressed while the first entry is in hand: the run ends before the next.
  host.onDoEvents = [&] { host.stop = !host.purging.empty(); };

  const wizardcore::RecoverSummary summary = wizardcore::RecoverChecked(host, list);

  EXPECT_THAT(Outcomes(summary),
              ElementsAre("$/P: recovered", "$/P/gone.txt: not-reached", "$/x.txt: not-reached"));
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.notReached, 2);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(x->recovered, 0);
}

}  // namespace
