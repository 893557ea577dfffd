// The window for keyboard users and screen readers: names, roles and states as assistive
// technology reads them through QAccessible, the current step, and the whole flow without a
// mouse.
#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "WizardFixture.h"
#include "support/DiskFigure.h"

namespace wizard_test {
namespace {

QAccessibleInterface* Accessible(QWidget& widget) {
  return QAccessible::queryAccessibleInterface(&widget);
}

QString NameOf(QWidget& widget) { return Accessible(widget)->text(QAccessible::Name); }

// Tab or Shift+Tab from the control that has the focus; gives the control it lands on.
QWidget* Tab(bool back = false) {
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                  back ? Qt::ShiftModifier : Qt::NoModifier);
  return QApplication::focusWidget();
}

TEST_F(WizardTest, EveryControlThatTakesTheFocusHasANameAndTheLinksAreLinks) {
  ShowActive();
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (control->focusPolicy() != Qt::NoFocus) {
      EXPECT_FALSE(NameOf(*control).isEmpty()) << control->objectName().toStdString();
    }
  }
  for (const char* link : {"lblChangePath", "lblCheckAll", "lblWWW", "lblEMail"}) {
    QAccessibleInterface* accessible = Accessible(Get<QLabel>(link));
    EXPECT_EQ(accessible->role(), QAccessible::Link) << link;
    EXPECT_TRUE(accessible->state().focusable) << link;
  }
  EXPECT_EQ(NameOf(Get<QLineEdit>("txtPassword")), "Password");
  EXPECT_EQ(Accessible(Get<QLineEdit>("txtPassword"))->role(), QAccessible::EditableText);
  EXPECT_EQ(NameOf(List()), "Deleted items");
}

// The labels whose text changes are read by their text, not a fixed name, and say what they are
// in their description.
TEST_F(WizardTest, TheCountsAndTheNoticeAreReadAsTheyStandAfterAChange) {
  engine->AddUser("Guest", "", false);
  AddFile("$/a.txt", "12345");
  AddFile("$/b.txt");
  Delete("$/a.txt");
  Delete("$/b.txt");
  ShowActive();
  ListAll(Dir(), "Guest", "");
  ASSERT_TRUE(Shown("frmHost(1)"));
  EXPECT_EQ(NameOf(Get<QLabel>("lblCount")), "2 items found");
  EXPECT_EQ(Accessible(Get<QLabel>("lblCount"))->text(QAccessible::Description), "Items found");
  EXPECT_EQ(testing_support::AnyDiskFigure(NameOf(Get<QLabel>("lblSelection"))),
            "2 checked: 2 items, 5 bytes (about N on disk)");
  EXPECT_EQ(NameOf(Get<QLabel>("lblNotice")),
            "User 'Guest' may not destroy items in this database, so nothing can be purged.");

  SetChecked(RowOf("$/b.txt"), false);
  Get<QLineEdit>("txtFilter").setText(QStringLiteral("a.txt"));
  EXPECT_EQ(NameOf(Get<QLabel>("lblCount")), "1 of 2 shown");
  EXPECT_EQ(testing_support::AnyDiskFigure(NameOf(Get<QLabel>("lblSelection"))),
            "1 checked: 1 item, 5 bytes (about N on disk)");
}

TEST_F(WizardTest, TheStepMarkersTellWhichStepIsCurrent) {
  ShowActive();
  EXPECT_EQ(NameOf(Get<QLabel>("lblShape1")), "Step 1 of 5: Start, the current step");
  EXPECT_EQ(NameOf(Get<QLabel>("lblShape3")), "Step 3 of 5: Select");
  AddFile("$/a.txt");
  Delete("$/a.txt");
  ListAll();
  EXPECT_EQ(NameOf(Get<QLabel>("lblShape1")), "Step 1 of 5: Start");
  EXPECT_EQ(NameOf(Get<QLabel>("lblShape3")), "Step 3 of 5: Select, the current step");
  EXPECT_EQ(Accessible(Get<QLabel>("lblShape3"))->text(QAccessible::Description), "current step");
}

TEST_F(WizardTest, ListEntriesReadTheirKindAndState) {
  engine->MakeProject("$/P");
  AddFile("$/a.txt");
  Delete("$/a.txt");
  Delete("$/P");
  ListAll();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Row(RowOf("$/P")).data(Qt::AccessibleTextRole).toString(), "$/P, deleted project");
  const QModelIndex file = Row(RowOf("$/a.txt"));
  EXPECT_EQ(file.data(Qt::AccessibleTextRole).toString(), "$/a.txt, deleted file");
  EXPECT_EQ(file.data(Qt::AccessibleDescriptionRole).toString(), "checked: it will be purged");
  SetChecked(RowOf("$/a.txt"), false);
  EXPECT_EQ(file.data(Qt::AccessibleDescriptionRole).toString(), "not checked: it will be kept");

  // A screen reader's press on the Uncheck All link acts as a click does.
  ShowActive();
  ASSERT_EQ(Text("lblCheckAll"), "Uncheck All");
  QAccessibleActionInterface* link = Accessible(Get<QLabel>("lblCheckAll"))->actionInterface();
  ASSERT_NE(link, nullptr);
  link->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(IsChecked(0));
  EXPECT_FALSE(IsChecked(1));
  EXPECT_EQ(Text("lblCheckAll"), "Check All");
}

// Login, list, uncheck one, purge and close with the keyboard alone: no mouse event at all.
TEST_F(WizardTest, TheWholeFlowRunsFromTheKeyboardAlone) {
  AddFile("$/keep.txt");
  AddFile("$/gone.txt");
  Delete("$/keep.txt");
  Delete("$/gone.txt");
  ShowActive();
  QApplication::setActiveWindow(window.get());

  // The login page: back to the login name, then through the path and the Change link.
  for (int presses = 0; QApplication::focusWidget() != &Get<QLineEdit>("txtLoginName"); ++presses) {
    ASSERT_LT(presses, 20) << "the login name is out of the tab order";
    Tab(true);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "Admin");
  EXPECT_EQ(Tab()->objectName(), "txtPassword");
  EXPECT_EQ(Tab()->objectName(), "txtVssDb");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(Dir()));
  EXPECT_EQ(Tab()->objectName(), "lblChangePath");
  EXPECT_EQ(Tab(true)->objectName(), "txtVssDb");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the default button, List All
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  ASSERT_EQ(Rows(), 2);

  // The selection page: back from the purge button, which has the focus, to the list.
  ASSERT_EQ(QApplication::focusWidget(), &Button("cmdNext"));
  EXPECT_EQ(Tab(true)->objectName(), "cmdRecover");
  EXPECT_EQ(Tab(true)->objectName(), "cmdView");
  EXPECT_EQ(Tab(true)->objectName(), "lblEMail");
  EXPECT_EQ(Tab(true)->objectName(), "lblWWW");
  EXPECT_EQ(Tab(true)->objectName(), "lblCheckAll");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // the link: uncheck all
  EXPECT_FALSE(IsChecked(0));
  EXPECT_FALSE(IsChecked(1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // and check all again
  EXPECT_TRUE(IsChecked(0));
  EXPECT_EQ(Tab(true)->objectName(), "List1");
  QTest::keyClick(&List(), Qt::Key_Home);
  while (Spec(List().currentIndex().row()) != "$/keep.txt") {
    QTest::keyClick(&List(), Qt::Key_Down);
  }
  QTest::keyClick(&List(), Qt::Key_Space);
  EXPECT_FALSE(IsChecked(RowOf("$/keep.txt")));
  EXPECT_TRUE(IsChecked(RowOf("$/gone.txt")));

  // Purge: Tab to the button, Enter, yes to the question.
  QWidget* focus = QApplication::focusWidget();
  while (focus != &Button("cmdNext")) {
    focus = Tab();
  }
  forms.answers.push_back(forms::vbYes);
  QTest::keyClick(focus, Qt::Key_Return);
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_EQ(Deleted(), std::vector<std::string>{"$/keep.txt"});

  // Close, with Esc.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace wizard_test
