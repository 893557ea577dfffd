#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "WizardFixture.h"
#include "platform/forms/QtForms.h"
#include "support/DiskFigure.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

TEST_F(WizardTest, StartsOnTheLoginPageWithTheStartMarkerRed) {
  EXPECT_EQ(window->windowTitle(), "Pellbrook Scourwell");
  EXPECT_EQ(window->size(), QSize(476, 307));
  EXPECT_TRUE(Shown("frmHost(0)"));
  EXPECT_FALSE(Shown("frmHost(1)"));
  EXPECT_FALSE(Shown("frmHost(2)"));
  EXPECT_EQ(RedMarkers(), "1");
  EXPECT_EQ(Button("cmdNext").text(), "&List All >>");
  EXPECT_EQ(Button("cmdCancel").text(), "&Close");
  EXPECT_EQ(Get<QLineEdit>("txtLoginName").text(), "Admin");
  EXPECT_EQ(Get<QLineEdit>("txtVssDb").text(), "\\\\FileServer\\Vss\\");  // nothing stored yet
  EXPECT_EQ(wizard::FMain::DesignTimeDatabasePath(), "\\\\fileserver\\vss\\");
  Get<QLineEdit>("txtPassword").setText("secret");
  EXPECT_EQ(Get<QLineEdit>("txtPassword").displayText(), "******");
  EXPECT_EQ(Get<QWidget>("Shape3").geometry(), QRect(208, 22, 63, 25));  // twips / 15
}

TEST_F(WizardTest, AFailedOpenShowsTheLibrarysDetailsAndChangesNothing) {
  ListAll(Dir(), "Admin", "wrong");
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt,
            "Could not connect to the VSS database.\r\n\r\nDetails: Invalid password");
  EXPECT_EQ(forms.boxes[0].title, "Pellbrook Scourwell");
  EXPECT_EQ(forms.boxes[0].buttons, forms::vbCritical);
  EXPECT_TRUE(Shown("frmHost(0)"));
  EXPECT_EQ(RedMarkers(), "1");
  EXPECT_TRUE(Button("cmdNext").isEnabled());
  EXPECT_TRUE(Get<QLineEdit>("txtVssDb").isEnabled());
  EXPECT_EQ(Button("cmdCancel").text(), "&Close");
  EXPECT_EQ(forms.ScreenMousePointer(), forms::MousePointer::Default);
  // The user corrects the password and goes on.
  ListAll(Dir(), "Admin", "");
  EXPECT_EQ(forms.boxes.size(), 1u);
  EXPECT_TRUE(Shown("frmHost(2)"));
}

TEST_F(WizardTest, ThePasswordIsKeptForACorrectionAndForgottenOnceTheDatabaseIsOpen) {
  engine->AddUser("Bob", "bob's pass", true);
  ListAll(Dir(), "Bob", "bob's typo");
  EXPECT_EQ(Get<QLineEdit>("txtPassword").text(), "bob's typo");
  ListAll(Dir(), "Bob", "bob's pass");
  EXPECT_TRUE(Shown("frmHost(2)"));
  EXPECT_EQ(Get<QLineEdit>("txtPassword").text(), "");
  EXPECT_FALSE(Get<QLineEdit>("txtPassword").isEnabled());
}

TEST_F(WizardTest, AForgottenPasswordLeavesNothingInTheFieldsUndoHistory) {
  ShowActive();
  QLineEdit& password = Get<QLineEdit>("txtPassword");
  password.setFocus();
  QTest::keyClicks(&password, QStringLiteral("bob's pass"));
  ASSERT_TRUE(password.isUndoAvailable());
  window->ForgetPassword();
  EXPECT_EQ(password.text(), "");
  // Shown in clear and undone step by step, the field gives nothing back.
  password.setEchoMode(QLineEdit::Normal);
  for (int step = 0; step < 20; ++step) {
    password.undo();
    EXPECT_EQ(password.text(), "") << "after " << step + 1 << " undo steps";
  }
}

TEST_F(WizardTest, APathFromTheCommandLineTakesThePlaceOfTheRememberedOne) {
  ListAll(Dir(), "Admin", "");  // remembered
  window = std::make_unique<wizard::FMain>();
  ASSERT_EQ(Get<QLineEdit>("txtVssDb").text().toStdString(), Dir());
  const std::string given = (folder / "elsewhere").string();
  window->UseDatabasePath(QString::fromStdString(given));
  EXPECT_EQ(Get<QLineEdit>("txtVssDb").text().toStdString(), given);
}

TEST_F(WizardTest, ADatabaseWithoutDeletedItemsEndsOnTheProgressPage) {
  AddFile("$/live.txt");
  ListAll();
  EXPECT_TRUE(forms.boxes.empty());
  EXPECT_TRUE(Shown("frmHost(2)"));
  EXPECT_EQ(Text("lblNowPurging"), "No deleted items found.");
  EXPECT_FALSE(Shown("lblPurgeFileName"));
  EXPECT_EQ(RedMarkers(), "5");
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_EQ(Button("cmdCancel").text(), "&Close");
  EXPECT_EQ(Text("lblSearchedFolder"), "$/");
}

TEST_F(WizardTest, MarkersFollowTheWizardThroughSearchAndPurge) {
  AddFile("$/f");
  Delete("$/f");
  std::vector<std::string> seen;
  forms.onDoEvents = [&] {
    seen.push_back(RedMarkers() + " " + Button("cmdCancel").text().toStdString());
  };
  ListAll();
  EXPECT_EQ(RedMarkers(), "3");
  Purge();
  EXPECT_EQ(RedMarkers(), "5");
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_FALSE(Shown("lblPurgeFileName"));
  // While searching "List All" is red, while purging "Purge", and the button reads Stop.
  EXPECT_EQ(seen.front(), "1 &Stop");  // line 114, before the markers change
  EXPECT_THAT(seen, ::testing::Contains("2 &Stop"));
  EXPECT_THAT(seen, ::testing::Contains("3 &Close"));  // line 141
  EXPECT_THAT(seen, ::testing::Contains("4 &Stop"));
  EXPECT_EQ(forms.ScreenMousePointer(), forms::MousePointer::Default);
}

TEST_F(WizardTest, TheCloseBoxDuringASearchStopsItAndClosesWhenItHasReturned) {
  for (int i = 0; i < 5; ++i) {
    AddFile("$/f" + std::to_string(i));
    Delete("$/f" + std::to_string(i));
  }
  window->show();
  bool closedAtOnce = true;
  forms.onDoEvents = [&] {
    if (forms.pumps == kPumpAfterSecondEntry && closedAtOnce) {
      closedAtOnce = window->close();
    }
  };
  ListAll();
  EXPECT_FALSE(closedAtOnce);  // the run was still going on
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Rows(), 2);
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(WizardTest, StopIsOnlyTheCancelButtonsWhenItReadsStop) {
  window->show();
  Button("cmdCancel").setText("Something else");
  Button("cmdCancel").click();
  EXPECT_TRUE(window->isVisible());
  Button("cmdCancel").setText("&Close");
  Button("cmdCancel").click();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WizardTest, EnterPressesTheForwardButtonAndEscTheCancelButton) {
  AddFile("$/f");
  Delete("$/f");
  ShowActive();
  Get<QLineEdit>("txtVssDb").setText(QString::fromStdString(Dir()));
  Get<QLineEdit>("txtPassword").setFocus();
  QTest::keyClick(&Get<QLineEdit>("txtPassword"), Qt::Key_Return);
  EXPECT_TRUE(Shown("frmHost(1)"));
  // Esc while the purge runs stops it; Esc afterwards closes the window.
  bool stopped = false;
  forms.onDoEvents = [&] {
    if (!stopped && Button("cmdCancel").text() == "&Stop") {
      QTest::keyClick(window.get(), Qt::Key_Escape);
      stopped = true;
    }
  };
  forms.answers.push_back(forms::vbYes);
  QTest::keyClick(&List(), Qt::Key_Enter);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(Rows(), 1);  // stopped in the counting pass: nothing destroyed
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WizardTest, EnterPressedTwiceFromTheLoginPageAsksAndDestroysNothing) {
  AddFile("$/f", "12345");
  Delete("$/f");
  ShowActive();
  Get<QLineEdit>("txtVssDb").setText(QString::fromStdString(Dir()));
  Get<QLineEdit>("txtPassword").setFocus();
  QTest::keyClick(&Get<QLineEdit>("txtPassword"), Qt::Key_Return);
  ASSERT_TRUE(Shown("frmHost(1)"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  // The question, with No the default: a user who only presses Enter answers No.
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].buttons,
            forms::vbYesNo | forms::vbExclamation | forms::vbDefaultButton2);
  EXPECT_EQ(testing_support::AnyDiskFigure(forms.boxes[0].prompt),
            "Purge 1 checked entry?\r\n\r\n1 item will be destroyed for good, holding 5 bytes "
            "of content; this frees about N on disk.\r\n\r\n" +
                KeptNote("5 bytes") + "This cannot be undone.");
  // No keeps the selection page as it was.
  EXPECT_TRUE(Shown("frmHost(1)"));
  EXPECT_EQ(RedMarkers(), "3");
  EXPECT_THAT(Entries(), ElementsAre("$/f"));
  EXPECT_TRUE(Button("cmdNext").isEnabled());
  EXPECT_THAT(Deleted(), ElementsAre("$/f"));
}

TEST_F(WizardTest, EnterInTheFilterFieldNeitherAsksNorPurges) {
  AddFile("$/f");
  Delete("$/f");
  ShowActive();
  ListAll();
  QLineEdit& filter = Get<QLineEdit>("txtFilter");
  filter.setFocus();
  QTest::keyClicks(&filter, "f");
  QTest::keyClick(&filter, Qt::Key_Return);
  EXPECT_TRUE(forms.boxes.empty());
  EXPECT_TRUE(Shown("frmHost(1)"));
  EXPECT_THAT(Entries(), ElementsAre("$/f"));
}

TEST_F(WizardTest, TheCancelButtonShowsTheNormalPointerDuringARun) {
  window->SetHourglass(true);
  window->cmdCancel_MouseMove();
  EXPECT_EQ(forms.ScreenMousePointer(), forms::MousePointer::Default);
  window->Form_MouseMove();  // back over the window: busy again
  EXPECT_EQ(forms.ScreenMousePointer(), forms::MousePointer::Hourglass);
  window->SetHourglass(false);
  window->List1_MouseMove();
  EXPECT_EQ(forms.ScreenMousePointer(), forms::MousePointer::Default);
}

}  // namespace
}  // namespace wizard_test

namespace wizard_test {
namespace {

TEST_F(WizardTest, ADamagedSettingsFileIsNamedWhenTheSettingsCannotBeSaved) {
  const std::filesystem::path hive = folder / "config" / "Pellbrook" / "registry" / "user.hive";
  std::filesystem::create_directories(hive.parent_path());
  std::ofstream(hive, std::ios::binary) << std::string(8192, '\x5a');
  ListAll();
  ASSERT_FALSE(forms.boxes.empty());
  const std::string saving = forms.boxes[0].prompt;
  EXPECT_NE(saving.find("Failed saving the application setting. The settings file '" +
                        hive.string() + "' cannot be used (file is not a database)"),
            std::string::npos)
      << saving;
  forms.boxes.clear();
  window->close();
  ASSERT_FALSE(forms.boxes.empty());
  EXPECT_NE(forms.boxes.back().prompt.find("CFormRestore component failure. The settings file '" +
                                           hive.string() + "'"),
            std::string::npos)
      << forms.boxes.back().prompt;
}

}  // namespace
}  // namespace wizard_test
