#include <gtest/gtest.h>

#include "wizardcore/DeletedList.h"
#include "wizardcore/Purge.h"
#include "wizardcore/Wording.h"

namespace {

using wizardcore::EntryKind;
using wizardcore::Tally;

const QLocale kC = QLocale::c();

wizardcore::DeletedEntry Entry(EntryKind kind, Tally takes) {
  wizardcore::DeletedEntry entry;
  entry.kind = kind;
  entry.takes = takes;
  return entry;
}

struct TakesCase {
  EntryKind kind;
  Tally takes;
  const char* text;
};

class DescribeTakesTest : public ::testing::TestWithParam<TakesCase> {};

TEST_P(DescribeTakesTest, SaysWhatGoesWithTheEntry) {
  EXPECT_EQ(wizardcore::DescribeTakes(Entry(GetParam().kind, GetParam().takes), kC),
            GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DescribeTakesTest,
    ::testing::Values(
        TakesCase{EntryKind::File, {1, 120, true}, "120 bytes"},
        TakesCase{EntryKind::File, {1, 0, false}, "size unknown"},
        TakesCase{EntryKind::Project, {1, 0, true}, "nothing below"},
        TakesCase{EntryKind::Project, {2, 3584, true}, "1 item, 3.5 KiB below"},
        TakesCase{EntryKind::Project, {13, 0, false}, "at least 12 items, 0 bytes below"},
        TakesCase{EntryKind::Unknown, {1, 0, false}, "at least 0 items, 0 bytes below"}));

TEST(WordingTest, TheQuestionSaysHowMuchGoesForGoodAndHowMuchOfItIsInsideProjects) {
  wizardcore::Selection selection;
  selection.checked = 3;
  selection.roots = 2;
  selection.takes = {15, 2 * 1024 * 1024, true};
  EXPECT_EQ(wizardcore::ConfirmationPrompt(selection, 0, "", kC),
            "Purge 3 checked entries?\r\n\r\n15 items will be destroyed for good, 13 of them "
            "inside projects, and 2.0 MiB reclaimed.\r\n\r\nThis cannot be undone.");
  // Checked entries the filter hides have a sentence of their own, and the engine's advice a
  // line before the last.
  EXPECT_EQ(wizardcore::ConfirmationPrompt(selection, 2, "Run Analyze afterwards.", kC),
            "Purge 3 checked entries?\r\n\r\n2 of them are hidden by the filter.\r\n\r\n15 items "
            "will be destroyed for good, 13 of them inside projects, and 2.0 MiB reclaimed."
            "\r\n\r\nRun Analyze afterwards.\r\n\r\nThis cannot be undone.");
  EXPECT_NE(wizardcore::ConfirmationPrompt(selection, 1, "", kC).find("1 of them is hidden"),
            std::string::npos);
  EXPECT_EQ(wizardcore::ConfirmationTitle("Pellbrook Scourwell", 0), "Pellbrook Scourwell");
  EXPECT_EQ(wizardcore::ConfirmationTitle("Pellbrook Scourwell", 2),
            "Pellbrook Scourwell: checked entries are hidden by the filter");
  selection.takes.complete = false;
  EXPECT_NE(
      wizardcore::ConfirmationPrompt(selection, 0, "", kC).find("\r\n\r\nAt least 15 items will"),
      std::string::npos);
  EXPECT_EQ(wizardcore::DescribeSelection(selection, kC), "3 checked: at least 15 items, 2.0 MiB");
  EXPECT_EQ(wizardcore::DescribeSelection({}, kC), "None checked");
}

TEST(WordingTest, TheSummaryGivesEveryCountTheStopAndTheRepeatedFailures) {
  wizardcore::PurgeSummary summary;
  summary.destroyed = 2;
  summary.reclaimed = {7, 1536, true};
  summary.failed = 4;
  summary.kept = 1;
  summary.notReached = 5;
  summary.stopped = true;
  summary.repeated.push_back({114, {-2147166391, "no right to destroy '$/a'"}, 3});
  EXPECT_EQ(wizardcore::DescribeSummary(summary, kC),
            "Destroyed: 2 entries, 7 items, 1.5 KiB reclaimed.\n"
            "Failed: 4.\n"
            "Kept because an entry below them was not checked: 1.\n"
            "Not reached because of Stop: 5.\n"
            "The purge was stopped.\n"
            "Shown once and then counted (each one is written to standard error):\n"
            "  (-2147166391) at line 114, 3 more times after 'no right to destroy '$/a''");
}

TEST(WordingTest, AnIncompleteSearchNamesTheFirstUnreadProjectsAndCountsTheRest) {
  EXPECT_EQ(wizardcore::DescribeUnread({}), "");
  EXPECT_EQ(wizardcore::DescribeUnread({{"$/A", ""}}),
            "The search is incomplete: 1 project could not be read: $/A.");
  EXPECT_EQ(wizardcore::DescribeUnread(
                {{"$/A", "locked"}, {"$/B", "x"}, {"$/C", ""}, {"$/D", ""}, {"$/E", ""}}),
            "The search is incomplete: 5 projects could not be read: $/A (locked), $/B, $/C and 2 "
            "more.");
}

}  // namespace
