#include <QAccessible>
#include <QMouseEvent>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "WizardFixture.h"
#include "platform/shell/Shell.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

// Records what the window hands to the shell.
class RecordingShell : public shell::Shell {
 public:
  shell::HINSTANCE ShellExecute(shell::HWND, const char* verb, const std::string& file, const char*,
                                const char*, int) override {
    opened.push_back(std::string(verb) + " " + file);
    return result;
  }
  shell::BOOL ShellExecuteEx(shell::SHELLEXECUTEINFO*) override { return 0; }
  shell::HANDLE FindFirstFile(const std::string&, shell::WIN32_FIND_DATA*) override {
    return shell::INVALID_HANDLE_VALUE;
  }
  shell::BOOL FindClose(shell::HANDLE) override { return 0; }
  shell::BOOL CreateProcess(const char*, const std::string&, const shell::SECURITY_ATTRIBUTES*,
                            const shell::SECURITY_ATTRIBUTES*, shell::BOOL, shell::DWORD,
                            const void*, const char*, const shell::STARTUPINFO*,
                            shell::PROCESS_INFORMATION*) override {
    return 0;
  }
  shell::DWORD WaitForSingleObject(shell::HANDLE, shell::DWORD) override { return 0; }
  shell::BOOL CloseHandle(shell::HANDLE) override { return 0; }

  std::vector<std::string> opened;
  shell::HINSTANCE result = shell::kAccepted;
};

class LinksTest : public WizardTest {
 protected:
  void MoveOver(const char* name) {
    QWidget& control = Get<QWidget>(name);
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control.mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &move);
  }
  // Which link labels are underlined.
  std::string Underlined() {
    std::string names;
    for (const char* name : {"lblCheckAll", "lblEMail", "lblWWW", "lblChangePath"}) {
      if (Get<QLabel>(name).font().underline()) {
        names += std::string(names.empty() ? "" : " ") + name;
      }
    }
    return names;
  }

  RecordingShell recording;
  shell::ScopedShell scope{recording};
};

TEST_F(LinksTest, LinksAreBlueNotUnderlinedAndShowTheHandWithItsHotspotAtTheFingertip) {
  for (const char* name : {"lblCheckAll", "lblEMail", "lblWWW", "lblChangePath"}) {
    const QLabel& label = Get<QLabel>(name);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 255)) << name;
    EXPECT_FALSE(label.font().underline()) << name;
    EXPECT_EQ(label.cursor().shape(), Qt::BitmapCursor) << name;
    EXPECT_EQ(label.cursor().hotSpot(), QPoint(6, 0)) << name;
  }
  EXPECT_EQ(Text("lblWWW"), wizard::FMain::WebHost());
}

TEST_F(LinksTest, TheUnderlineFollowsThePointerFromLinkToLinkAndClearsOverAPage) {
  MoveOver("lblWWW");
  EXPECT_EQ(Underlined(), "lblWWW");
  MoveOver("lblEMail");
  EXPECT_EQ(Underlined(), "lblEMail");  // in one step
  MoveOver("txtLoginName");
  EXPECT_EQ(Underlined(), "lblEMail");  // a text field has no pointer handler
  MoveOver("frmHost(0)");
  EXPECT_EQ(Underlined(), "");
  MoveOver("lblChangePath");
  EXPECT_EQ(Underlined(), "lblChangePath");
  window->UnderlineLabels(&Get<QLabel>("lblCount"));  // not a link: clears every one
  EXPECT_EQ(Underlined(), "");
}

TEST_F(LinksTest, AClickOpensTheAddressOnceAndLeavesNoUnderline) {
  MoveOver("lblWWW");
  QTest::mouseClick(&Get<QLabel>("lblWWW"), Qt::LeftButton, {}, QPoint(3, 3));
  MoveOver("lblEMail");
  QTest::mouseClick(&Get<QLabel>("lblEMail"), Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_THAT(recording.opened, ElementsAre("open http://www.pellbrook.example",
                                            "open mailto:scourwell@pellbrook.example"));
  EXPECT_EQ(Underlined(), "");
  EXPECT_TRUE(forms.boxes.empty());
}

// What the window system sends for a double-click: press, release, double-click, release.
void DoubleClick(QWidget& control) {
  const QPointF at(3, 3);
  const QPointF global = control.mapToGlobal(at);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&control, &event);
  }
}

TEST_F(LinksTest, ADoubleClickIsOneClick) {
  DoubleClick(Get<QLabel>("lblWWW"));
  EXPECT_THAT(recording.opened, ElementsAre("open http://www.pellbrook.example"));
  AddFile("$/f");
  Delete("$/f");
  ListAll();
  DoubleClick(Get<QLabel>("lblCheckAll"));
  EXPECT_EQ(Text("lblCheckAll"), "Check All");  // one uncheck-all, not undone by a second
  EXPECT_THAT(Entries(), ElementsAre("$/f (unchecked)"));
}

TEST_F(LinksTest, AFailingOpenIsReportedAgainstItsLine) {
  recording.result = shell::SE_ERR_OOM;
  window->lblWWW_Click();
  EXPECT_THAT(Reports(), ElementsAre("lblWWW_Click:102"));
  EXPECT_NE(forms.boxes[0].prompt.find("(-2147203460) 'Out of memory'"), std::string::npos);
}

// The finish page's link opens the purge's report through the shell, as the web link opens the
// site; the page says where the report is.
TEST_F(LinksTest, TheReportLinkOpensThePurgesReport) {
  AddFile("$/a.txt");
  Delete("$/a.txt");
  ShowActive();
  ListAll();
  Purge();
  ASSERT_TRUE(Shown("lblReport"));
  const std::filesystem::path reports = folder / "state" / "scourwell";
  std::vector<std::filesystem::path> written(std::filesystem::directory_iterator(reports), {});
  ASSERT_EQ(written.size(), 1u);
  EXPECT_NE(Text("lblReport").toStdString().find(written[0].string()), std::string::npos);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&Get<QLabel>("lblReport"))->role(),
            QAccessible::Link);
  QTest::mouseClick(&Get<QLabel>("lblReport"), Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_THAT(recording.opened, ElementsAre("open file://" + written[0].string()));
}

// View writes the latest content of the entry under the cursor to a private file, opens it
// through the shell as the report link does, and the file goes with the window.
TEST_F(LinksTest, ViewOpensTheLatestContentAndTheFileGoesWithTheWindow) {
  const std::filesystem::path runtime = folder / "run";
  std::filesystem::create_directory(runtime);
  const testing_support::ScopedEnv scoped("XDG_RUNTIME_DIR", runtime.string());
  AddFile("$/build.cmd", "@echo off\r\n");
  Delete("$/build.cmd");
  ShowActive();
  ListAll();
  List().setCurrentIndex(Row(0));
  QTest::mouseClick(&Button("cmdView"), Qt::LeftButton);
  ASSERT_EQ(recording.opened.size(), 1u);
  const std::string prefix = "open file://";
  ASSERT_EQ(recording.opened[0].rfind(prefix, 0), 0u) << recording.opened[0];
  const std::filesystem::path viewed = recording.opened[0].substr(prefix.size());
  EXPECT_EQ(viewed.filename(), "build.cmd");
  EXPECT_EQ(viewed.parent_path().parent_path().parent_path(), runtime);
  std::ifstream in(viewed, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "@echo off\r\n");
  EXPECT_EQ(std::filesystem::status(viewed).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(Deleted(), std::vector<std::string>{"$/build.cmd"});  // nothing was written there
  window.reset();
  EXPECT_TRUE(std::filesystem::is_empty(runtime));
}

}  // namespace
}  // namespace wizard_test
