#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cstring>

#include "WizardFixture.h"
#include "platform/shell/FolderDialog.h"
#include "platform/windowing/QtWindowing.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

// The folder dialog, played by the test: it records how it was opened and gives the choice.
class PickingDialogs : public shell::FolderDialogs {
 public:
  std::unique_ptr<shell::ITEMIDLIST> SHBrowseForFolder(shell::BROWSEINFO* browse) override {
    titles.push_back(browse->lpszTitle);
    flags.push_back(browse->ulFlags);
    owners.push_back(browse->hwndOwner);
    initialPaths.push_back(browse->lParam != 0 ? reinterpret_cast<const char*>(browse->lParam)
                                               : "(none)");
    return choice ? std::make_unique<shell::ITEMIDLIST>(*choice) : nullptr;
  }
  shell::BOOL SHGetPathFromIDList(const shell::ITEMIDLIST* item, char* path) override {
    if (!item->fileSystem) {
      return 0;
    }
    std::memcpy(path, item->path.c_str(), item->path.size() + 1);
    return 1;
  }
  shell::LRESULT SendMessage(shell::HWND, shell::UINT, shell::WPARAM, shell::LPARAM) override {
    return 0;
  }

  std::optional<shell::ITEMIDLIST> choice;
  std::vector<std::string> titles;
  std::vector<shell::UINT> flags;
  std::vector<shell::HWND> owners;
  std::vector<std::string> initialPaths;
};

class LoginTest : public WizardTest {
 protected:
  QLineEdit& Field(const char* name) { return Get<QLineEdit>(name); }
  void ClickChange() {
    QTest::mouseClick(&Get<QLabel>("lblChangePath"), Qt::LeftButton, {}, QPoint(30, 5));
  }

  PickingDialogs dialogs;
  shell::ScopedFolderDialogs scope{dialogs};
};

TEST_F(LoginTest, EachFieldSelectsAllItsTextWhenItGetsTheFocus) {
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Field("txtPassword").setText("secret");
  for (const char* name : {"txtLoginName", "txtPassword", "txtVssDb"}) {
    QLineEdit& field = Field(name);
    Button("cmdCancel").setFocus();
    field.deselect();
    field.setFocus(Qt::MouseFocusReason);  // a click selects nothing by itself
    EXPECT_TRUE(field.hasFocus()) << name;
    EXPECT_EQ(field.selectionStart(), 0) << name;
    EXPECT_EQ(field.selectionLength(), field.text().size()) << name;
  }
  Field("txtLoginName").clear();
  Field("txtPassword").setFocus(Qt::TabFocusReason);
  Field("txtLoginName").setFocus(Qt::BacktabFocusReason);
  EXPECT_FALSE(Field("txtLoginName").hasSelectedText());
  EXPECT_EQ(Field("txtLoginName").cursorPosition(), 0);
}

TEST_F(LoginTest, ChangeOpensThePickerAtThePathAndPutsTheChoiceInTheField) {
  Field("txtVssDb").setText("/srv/typed by hand");
  dialogs.choice = shell::ITEMIDLIST{"/srv/vss/db", true};
  ClickChange();
  EXPECT_EQ(Field("txtVssDb").text(), "/srv/vss/db");
  EXPECT_THAT(dialogs.initialPaths, ElementsAre("/srv/typed by hand"));
  EXPECT_THAT(dialogs.titles, ElementsAre("VSS Database Location"));
  EXPECT_THAT(dialogs.flags, ElementsAre(1u));
  EXPECT_THAT(dialogs.owners, ElementsAre(windowing::QtWindowing::HandleOf(*window)));
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(LoginTest, ACancelOrAFailedBrowseLeavesWhatTheUserTyped) {
  Field("txtVssDb").setText("/srv/typed");
  ClickChange();  // no choice: cancelled
  EXPECT_EQ(Field("txtVssDb").text(), "/srv/typed");
  dialogs.choice = shell::ITEMIDLIST{"Network", false};
  ClickChange();
  EXPECT_EQ(Field("txtVssDb").text(), "/srv/typed");
  EXPECT_THAT(Reports(), ElementsAre("lblChangePath_Click:102"));
  Field("txtVssDb").clear();
  ClickChange();
  EXPECT_EQ(dialogs.initialPaths.back(), "(none)");  // an empty field preselects nothing
}

TEST_F(LoginTest, ADisabledChangeLabelDoesNothingAndLooksDisabled) {
  QLabel& change = Get<QLabel>("lblChangePath");
  change.setEnabled(false);  // as during a search
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), change.mapToGlobal(QPointF(3, 3)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&change, &move);
  ClickChange();
  EXPECT_TRUE(dialogs.titles.empty());  // no folder picker
  EXPECT_FALSE(change.font().underline());
  EXPECT_NE(change.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(change.palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 255));
  change.setEnabled(true);
  ClickChange();
  EXPECT_EQ(dialogs.titles.size(), 1u);
}

}  // namespace
}  // namespace wizard_test
