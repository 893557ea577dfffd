// What a user about to destroy data must be able to trust: the check boxes, what the page says a
// purge takes, and what the finish page says it did.
#include "WizardFixture.h"
#include "engines/factory/NewVSSDatabase.h"
#include "support/DiskFigure.h"
#include "support/Process.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

std::string Column(QTreeView& list, int row, int column) {
  return list.model()->index(row, column).data().toString().toStdString();
}

TEST_F(WizardTest, AnUncheckedFileInsideADeletedProjectIsKeptWithItsProject) {
  engine->MakeProject("$/P");
  AddFile("$/P/keep.txt", "12345");
  AddFile("$/P/live.txt", "1234567");
  AddFile("$/z.txt", "123");
  Delete("$/P/keep.txt");
  Delete("$/P");
  Delete("$/z.txt");
  ListAll();
  ASSERT_THAT(Entries(), ElementsAre("$/P", "$/P/keep.txt", "$/z.txt"));
  // Each entry says what it is and what goes with it.
  EXPECT_EQ(Column(List(), 0, 1), "Project");
  EXPECT_EQ(Column(List(), 0, 2), "2 items, 12 bytes below");
  EXPECT_EQ(Column(List(), 1, 1), "File");
  EXPECT_EQ(Column(List(), 1, 2), "5 bytes");
  EXPECT_EQ(testing_support::AnyDiskFigure(Text("lblSelection")),
            "3 checked: 4 items, 15 bytes (about N on disk)");

  SetChecked(RowOf("$/P/keep.txt"), false);  // the user keeps keep.txt: $/P must stay too
  EXPECT_THAT(Entries(), ElementsAre("$/P (unchecked)", "$/P/keep.txt (unchecked)", "$/z.txt"));
  EXPECT_EQ(testing_support::AnyDiskFigure(Text("lblSelection")),
            "1 checked: 1 item, 3 bytes (about N on disk)");
  Purge();
  EXPECT_EQ(testing_support::AnyDiskFigure(forms.boxes.at(0).prompt),
            "Purge 1 checked entry?\r\n\r\n1 item will be destroyed for good, holding 3 bytes "
            "of content; this frees about N on disk.\r\n\r\n" +
                KeptNote("3 bytes") + "This cannot be undone.");
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_TRUE(Shown("lblSummary"));
  EXPECT_EQ(testing_support::AnyDiskFigure(Text("lblSummary"))
                .rfind("Destroyed: 1 entry, 1 item, 3 bytes of content; about N "
                       "freed on disk.\n",
                       0),
            0u);

  const testing_support::Completed listed =
      testing_support::RunCommand({SCOURWELL_VSSDB, "list", Dir(), "--deleted"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, "$/P\n$/P/keep.txt\n");
  EXPECT_NO_THROW(engine->Find("$/P/live.txt", true));
}

TEST_F(WizardTest, AUserWhoMayNotDestroyIsToldAtOnceAndCannotPurge) {
  engine->AddUser("Guest", "pw", false);
  AddFile("$/f");
  Delete("$/f");
  ListAll(Dir(), "Guest", "pw");
  ASSERT_TRUE(Shown("frmHost(1)"));
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_TRUE(Shown("lblNotice"));
  EXPECT_EQ(Text("lblNotice"),
            "User 'Guest' may not destroy items in this database, so nothing can be purged.");
  window->lblCheckAll_Click();
  window->lblCheckAll_Click();  // every entry checked again: still nothing to purge for Guest
  SetChecked(0, true);
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(WizardTest, ProjectsThatCouldNotBeReadMakeTheSearchIncompleteAndAreNamed) {
  auto database = std::make_shared<FakeDatabase>();
  auto locked = std::make_shared<FakeItem>("$/Locked", false, 0, true);
  locked->onItems = [] { throw errors::ErrorRecord(-2147166234, "SourceSafe", "locked"); };
  database->root->children = {locked, std::make_shared<FakeItem>("$/gone.txt", true)};
  sourcecontrol::ScopedVSSDatabaseFactory fake([&] { return database; });
  ListAll("anywhere");
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(Shown("lblNotice"));
  EXPECT_EQ(Text("lblNotice"),
            "The search is incomplete: 1 project could not be read: $/Locked (locked).");

  // With nothing found, the finish page says it.
  database->root->children = {locked};
  window = std::make_unique<wizard::FMain>();
  ListAll("anywhere");
  EXPECT_EQ(Text("lblNowPurging"), "No deleted items found.");
  EXPECT_TRUE(Shown("lblSummary"));
  EXPECT_EQ(Text("lblSummary"),
            "The search is incomplete: 1 project could not be read: $/Locked (locked).");
}

TEST_F(WizardTest, WhenLine103FailsOnTheFirstItemNothingElseBreaks) {
  auto database = std::make_shared<FakeDatabase>();
  auto unnamed = std::make_shared<FakeItem>("$/unnamed", true);
  unnamed->onSpec = [] { throw errors::ErrorRecord(-2147166577, "SourceSafe", "no spec"); };
  database->root->children = {unnamed, std::make_shared<FakeItem>("$/next", true)};
  sourcecontrol::ScopedVSSDatabaseFactory fake([&] { return database; });
  ListAll("anywhere");
  EXPECT_THAT(Reports(), ElementsAre("SearchVssItem:102", "SearchVssItem:103"));
  EXPECT_THAT(Entries(), ElementsAre("$/next"));
}

TEST_F(WizardTest, TheFilterNarrowsTheListAndItsButtonsSetOnlyTheShownEntries) {
  for (const char* name : {"~sakA1.tmp", "keep.c", "~SAKB2.tmp", "notes~sak.txt"}) {
    AddFile(std::string("$/") + name);
    Delete(std::string("$/") + name);
  }
  ListAll();
  ASSERT_EQ(Rows(), 4);
  Get<QLineEdit>("txtFilter").setText("~sak*");
  EXPECT_THAT(Entries(), ElementsAre("$/~sakA1.tmp", "$/~SAKB2.tmp"));
  Button("cmdUncheckShown").click();
  EXPECT_THAT(Entries(), ElementsAre("$/~sakA1.tmp (unchecked)", "$/~SAKB2.tmp (unchecked)"));
  Get<QLineEdit>("txtFilter").clear();
  EXPECT_THAT(Entries(), ElementsAre("$/keep.c", "$/notes~sak.txt", "$/~sakA1.tmp (unchecked)",
                                     "$/~SAKB2.tmp (unchecked)"));
  EXPECT_EQ(testing_support::AnyDiskFigure(Text("lblSelection")),
            "2 checked: 2 items, 0 bytes (about N on disk)");
  Get<QLineEdit>("txtFilter").setText("*.tmp");
  Button("cmdCheckShown").click();
  Get<QLineEdit>("txtFilter").setText("keep");
  Button("cmdUncheckShown").click();
  Get<QLineEdit>("txtFilter").clear();
  EXPECT_THAT(Entries(), ElementsAre("$/keep.c (unchecked)", "$/notes~sak.txt", "$/~sakA1.tmp",
                                     "$/~SAKB2.tmp"));
  EXPECT_TRUE(Button("cmdNext").isEnabled());
}

TEST_F(WizardTest, TheFinishPageSaysWhatAStoppedPurgeDidAndLeft) {
  for (const char* name : {"a", "b", "c"}) {
    AddFile(std::string("$/") + name, "xy");
    Delete(std::string("$/") + name);
  }
  ListAll();
  forms.onDoEvents = [&] {
    if (Text("lblNowPurging").startsWith("Now purging item (2/")) {
      Button("cmdCancel").click();
    }
  };
  Purge();
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  const std::string summary = testing_support::AnyDiskFigure(Text("lblSummary"));
  EXPECT_EQ(summary.substr(0, summary.find("\nThe folder of kept copies")),
            "Destroyed: 2 entries, 2 items, 4 bytes of content; about N freed on disk.\n"
            "Failed: 0.\n"
            "Kept because an entry below them was not checked: 0.\n"
            "Not reached because of Stop: 1.\n"
            "The purge was stopped.");
  // And the copies kept so far: this purge's one.
  EXPECT_NE(summary.find("\nThe folder of kept copies holds 1 copy, "), std::string::npos)
      << summary;
  EXPECT_THAT(Deleted(), ElementsAre("$/a"));
}

}  // namespace
}  // namespace wizard_test
