#include "WizardFixture.h"
#include "engines/factory/NewVSSDatabase.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

class PurgeTest : public WizardTest {
 protected:
  // Deletes $/a, $/b and $/c and lists them.
  void ListThree() {
    for (const char* name : {"a", "b", "c"}) {
      AddFile(std::string("$/") + name);
      Delete(std::string("$/") + name);
    }
    ListAll();
    ASSERT_THAT(Entries(), ElementsAre("$/a", "$/b", "$/c"));
  }

  // What the progress page showed at each pump of the purge pass.
  std::vector<std::string> progress;
  void RecordProgress() {
    forms.onDoEvents = [&] {
      const std::string line = Text("lblNowPurging").toStdString();
      if (line.rfind("Now purging item", 0) == 0) {
        const std::string shown = line + " " + Text("lblPurgeFileName").toStdString();
        if (progress.empty() || progress.back() != shown) {
          progress.push_back(shown);
        }
      }
    };
  }
};

TEST_F(PurgeTest, PurgesCheckedEntriesFromTheBottomUpCountingTheCheckedOnes) {
  ListThree();
  SetChecked(1, false);
  RecordProgress();
  Purge();
  EXPECT_THAT(progress, ElementsAre("Now purging item (1/2): $/c", "Now purging item (2/2): $/a"));
  EXPECT_THAT(Entries(), ElementsAre("$/b (unchecked)"));
  EXPECT_THAT(Deleted(), ElementsAre("$/b"));
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_EQ(Button("cmdCancel").text(), "&Close");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PurgeTest, NothingCheckedKeepsTheDesignTimeProgressTextUntilFinished) {
  ListThree();
  for (int i = 0; i < 3; ++i) {
    SetChecked(i, false);
  }
  Button("cmdNext").setEnabled(true);  // as if the button had not followed the boxes
  std::vector<std::string> shown;
  forms.onDoEvents = [&] { shown.push_back(Text("lblNowPurging").toStdString()); };
  Purge();
  EXPECT_THAT(shown, ::testing::Each(std::string("Now purging file:")));
  EXPECT_EQ(Deleted().size(), 3u);
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
}

TEST_F(PurgeTest, StopInThePurgePassFinishesTheEntryInHandOnly) {
  ListThree();
  forms.onDoEvents = [&] {
    if (Text("lblNowPurging").startsWith("Now purging item (1/")) {
      Button("cmdCancel").click();
    }
  };
  Purge();
  EXPECT_THAT(Entries(), ElementsAre("$/a", "$/b"));
  EXPECT_THAT(Deleted(), ElementsAre("$/a", "$/b"));
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_EQ(RedMarkers(), "5");
}

TEST_F(PurgeTest, StopInTheCountingPassDestroysNothing) {
  ListThree();
  forms.onDoEvents = [&] {
    if (Button("cmdCancel").text() == "&Stop") {
      Button("cmdCancel").click();
    }
  };
  Purge();
  EXPECT_THAT(Entries(), ElementsAre("$/a", "$/b", "$/c"));
  EXPECT_EQ(Deleted().size(), 3u);
}

TEST_F(PurgeTest, ARefusedDestroyIsReportedTheEntryRemovedAndTheRunGoesOn) {
  ListThree();
  // Another user brings $/b back after the search: its destroy must be refused.
  engine->Recover(engine->Find("$/b", true));
  Purge();
  EXPECT_THAT(Reports(), ElementsAre("PurgeVssItems:114"));
  EXPECT_NE(forms.boxes[1].prompt.find("(-2147166571)"), std::string::npos)
      << forms.boxes[1].prompt;  // the engine's "changed by another user", after the question
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(Deleted().empty());
  EXPECT_NO_THROW(engine->Find("$/b", false));  // recovered, and still there
}

TEST_F(PurgeTest, AProjectWhoseEntryBelowAnotherUserRecoveredIsKeptWithIt) {
  engine->MakeProject("$/P");
  AddFile("$/P/keep.txt");
  Delete("$/P/keep.txt");
  Delete("$/P");
  ListAll();
  ASSERT_THAT(Entries(), ElementsAre("$/P", "$/P/keep.txt"));
  auto other = sourcesafe::Session::Open(Dir(), "Admin", "");
  // Made live below the deleted project, as a user can: the project recovered, then the file,
  // then the project deleted again.
  other->Recover(other->Find("$/P", true));
  other->Recover(other->Find("$/P/keep.txt", true));
  other->Delete(other->Find("$/P", false));
  Purge();
  // Both destroys are refused, the file's for itself and the project's for what lies below it.
  EXPECT_THAT(Reports(), ElementsAre("PurgeVssItems:114"));
  EXPECT_NE(forms.boxes[1].prompt.find("'$/P/keep.txt' was changed by another user"),
            std::string::npos)
      << forms.boxes[1].prompt;
  EXPECT_FALSE(engine->Find("$/P/keep.txt", true).deleted);
  EXPECT_THAT(Deleted(), ElementsAre("$/P"));
}

TEST_F(PurgeTest, EveryEntryOfAListLongerThan32767IsListedCountedAndPurged) {
  constexpr int kItems = 33000;
  auto database = std::make_shared<FakeDatabase>();
  for (int i = 0; i < kItems; ++i) {
    database->root->children.push_back(std::make_shared<FakeItem>("$/f" + std::to_string(i), true));
  }
  sourcecontrol::ScopedVSSDatabaseFactory fake([&] { return database; });
  ListAll("anywhere");
  EXPECT_EQ(Text("lblCount"), "33000 items found");
  std::string first;
  forms.onDoEvents = [&] {
    if (first.empty() && Text("lblNowPurging").startsWith("Now purging item")) {
      first = Text("lblNowPurging").toStdString();
    }
  };
  Purge();
  EXPECT_EQ(first, "Now purging item (1/33000):");
  EXPECT_EQ(Rows(), 0);
  int destroyed = 0;
  for (const auto& item : database->root->children) {
    destroyed += item->destroyed;
  }
  EXPECT_EQ(destroyed, kItems);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace wizard_test
