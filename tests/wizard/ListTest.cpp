#include "WizardFixture.h"

namespace wizard_test {
namespace {

class ListTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    for (const char* name : {"a", "b", "c"}) {
      AddFile(std::string("$/") + name);
      Delete(std::string("$/") + name);
    }
    ListAll();
    ASSERT_EQ(Rows(), 3);
  }
  void CheckAll() { window->lblCheckAll_Click(); }
  int Checked() {
    int checked = 0;
    for (int i = 0; i < Rows(); ++i) {
      checked += IsChecked(i) ? 1 : 0;
    }
    return checked;
  }
};

TEST_F(ListTest, ThePurgeButtonFollowsTheCheckBoxes) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Button("cmdNext").isEnabled()) << i;
    SetChecked(i, false);
  }
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  SetChecked(1, true);
  EXPECT_TRUE(Button("cmdNext").isEnabled());
}

// A filter does not take checked entries out of the purge: the question counts those it hides,
// its title says so, and No stays the default.
TEST_F(ListTest, TheQuestionCountsCheckedEntriesTheFilterHides) {
  Get<QLineEdit>("txtFilter").setText(QStringLiteral("a"));
  EXPECT_EQ(Text("lblCount"), "1 of 3 shown");
  forms.answers.push_back(forms::vbNo);
  Button("cmdNext").click();
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_NE(forms.boxes[0].prompt.find("Purge 3 checked entries?\r\n\r\n2 of them are hidden by "
                                       "the filter.\r\n\r\n"),
            std::string::npos)
      << forms.boxes[0].prompt;
  EXPECT_EQ(forms.boxes[0].title, "Pellbrook Scourwell: checked entries are hidden by the filter");
  EXPECT_TRUE(forms.boxes[0].buttons & forms::vbDefaultButton2);
  EXPECT_TRUE(Shown("frmHost(1)"));  // No keeps the page
  Get<QLineEdit>("txtFilter").setText(QString());
  EXPECT_EQ(Text("lblCount"), "3 items found");
}

TEST_F(ListTest, ThreeCheckAllClicksEndUncheckedWithCheckAll) {
  EXPECT_EQ(Text("lblCheckAll"), "Uncheck All");
  CheckAll();
  EXPECT_EQ(Checked(), 0);
  EXPECT_EQ(Text("lblCheckAll"), "Check All");
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  CheckAll();
  EXPECT_EQ(Checked(), 3);
  EXPECT_EQ(Text("lblCheckAll"), "Uncheck All");
  EXPECT_TRUE(Button("cmdNext").isEnabled());
  SetChecked(0, false);  // by hand: the next click still unchecks
  CheckAll();
  EXPECT_EQ(Checked(), 0);
  EXPECT_EQ(Text("lblCheckAll"), "Check All");
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_TRUE(List().isEnabled());
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(ListTest, ChecksOnOtherPagesDoNotTouchThePurgeButton) {
  CheckAll();
  Button("cmdNext").setEnabled(true);
  Purge();  // purge nothing: progress page
  ASSERT_TRUE(Shown("frmHost(2)"));
  SetChecked(0, true);
  EXPECT_FALSE(Button("cmdNext").isEnabled());
}

}  // namespace
}  // namespace wizard_test
