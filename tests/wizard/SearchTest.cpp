#include <set>

#include "WizardFixture.h"
#include "engines/factory/NewVSSDatabase.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

TEST_F(WizardTest, ListsDeletedItemsDepthFirstEachProjectAboveWhatItHolds) {
  engine->MakeProject("$/A/Sub");
  AddFile("$/A/Sub/gone.txt");
  AddFile("$/A/kept.txt");
  AddFile("$/B.txt");
  Delete("$/A/Sub/gone.txt");
  Delete("$/A/Sub");
  Delete("$/B.txt");
  engine->MakeProject("$/Z/Last");
  ListAll();
  EXPECT_TRUE(forms.boxes.empty());
  EXPECT_THAT(Entries(), ElementsAre("$/A/Sub", "$/A/Sub/gone.txt", "$/B.txt"));
  EXPECT_TRUE(Shown("frmHost(1)"));
  EXPECT_EQ(RedMarkers(), "3");
  EXPECT_EQ(Text("lblCount"), "3 items found");
  EXPECT_EQ(Button("cmdNext").text(), "&Purge >>");
  EXPECT_TRUE(Button("cmdNext").isEnabled());
  EXPECT_EQ(Button("cmdCancel").text(), "&Close");
  EXPECT_EQ(Text("lblSearchedFolder"), "$/Z");  // the last project whose children were visited
  EXPECT_EQ(Text("lblPleaseWait"),
            "Please wait until Scourwell builds the list of items that are deleted but not "
            "purged.");
}

// A path deleted, added again and deleted again is common: both entries are listed, each under a
// key of its own, with no error report, and both are purged.
TEST_F(WizardTest, TwoDeletedItemsWithOneSpecAreBothListedWithoutAReport) {
  AddFile("$/f");
  Delete("$/f");
  AddFile("$/F");
  Delete("$/F");
  ListAll();
  EXPECT_THAT(Reports(), ElementsAre());
  EXPECT_THAT(Entries(), ElementsAre("$/f", "$/F"));
  EXPECT_EQ(Text("lblCount"), "2 items found");
  Purge();
  EXPECT_THAT(Reports(), ElementsAre());
  EXPECT_TRUE(Deleted().empty());
  EXPECT_EQ(Rows(), 0);
}

// After the walk, the pass that asks the engine what it would refuse says so in its own line,
// where the search said where it was.
TEST_F(WizardTest, TheRefusalPassShowsItsOwnProgressLine) {
  for (const char* name : {"$/a", "$/b"}) {
    AddFile(name);
    Delete(name);
  }
  std::set<QString> lines;
  forms.onDoEvents = [&] { lines.insert(Text("lblNowSearchingIn")); };
  ListAll();
  EXPECT_THAT(lines, ::testing::Contains(QString("Now searching in:")));
  EXPECT_THAT(lines, ::testing::Contains(QString("Checking which entries can be purged: 2 of 2")));
}

TEST_F(WizardTest, StopDuringTheSearchKeepsTheEntriesFoundSoFar) {
  for (const char* name : {"a", "b", "c", "d"}) {
    AddFile(std::string("$/") + name);
    Delete(std::string("$/") + name);
  }
  forms.onDoEvents = [&] {
    if (forms.pumps == kPumpAfterSecondEntry) {
      Button("cmdCancel").click();
    }
  };
  ListAll();
  EXPECT_THAT(Entries(), ElementsAre("$/a", "$/b"));
  EXPECT_EQ(Text("lblCount"), "2 items found");
  EXPECT_TRUE(Shown("frmHost(1)"));
}

TEST_F(WizardTest, StopReadsNoFurtherDeletedMark) {
  auto database = std::make_shared<FakeDatabase>();
  auto project = std::make_shared<FakeItem>("$/P", false);
  int reads = 0;
  for (int i = 0; i < 3; ++i) {
    project->children.push_back(std::make_shared<FakeItem>("$/P/f" + std::to_string(i), true));
    project->children.back()->onDeleted = [&] {
      if (++reads == 2) {
        Button("cmdCancel").click();  // Stop while the second item is in hand
      }
    };
  }
  database->root->children.push_back(project);
  database->root->children.push_back(std::make_shared<FakeItem>("$/Q", true));
  sourcecontrol::ScopedVSSDatabaseFactory fake([&] { return database; });
  ListAll("anywhere");
  EXPECT_EQ(reads, 2);
  EXPECT_THAT(Entries(), ElementsAre("$/P/f0", "$/P/f1"));
}

TEST_F(WizardTest, AnItemWhoseDeletedMarkCannotBeReadIsReportedNotListedAndStillSearched) {
  auto database = std::make_shared<FakeDatabase>();
  auto unreadable = std::make_shared<FakeItem>("$/U", true);
  unreadable->onDeleted = [] { throw errors::ErrorRecord(-2147166577, "SourceSafe", "gone"); };
  unreadable->children.push_back(std::make_shared<FakeItem>("$/U/inside", true));
  database->root->children.push_back(unreadable);
  sourcecontrol::ScopedVSSDatabaseFactory fake([&] { return database; });
  ListAll("anywhere");
  EXPECT_THAT(Reports(), ElementsAre("SearchVssItem:101"));
  EXPECT_THAT(Entries(), ElementsAre("$/U/inside"));
}

TEST_F(WizardTest, AFailureToFetchTheRootIsReportedAndNothingIsFound) {
  struct NoRoot : FakeDatabase {
    std::shared_ptr<sourcecontrol::IVSSItem> VSSItem(const std::string&, bool) override {
      throw errors::ErrorRecord(-2147166577, "SourceSafe", "no root");
    }
  };
  sourcecontrol::ScopedVSSDatabaseFactory fake([] { return std::make_shared<NoRoot>(); });
  ListAll("anywhere");
  EXPECT_THAT(Reports(), ElementsAre("cmdNext_Click:128"));
  EXPECT_EQ(Text("lblNowPurging"), "No deleted items found.");
}

}  // namespace
}  // namespace wizard_test
