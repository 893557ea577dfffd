#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <thread>

#include "platform/forms/Forms.h"
#include "platform/forms/QtForms.h"

namespace {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool modal = false;
};

TEST(QtFormsTest, MsgBoxShowsAModalCriticalBoxWithOneOkButtonAndReturnsOk) {
  forms::QtForms qtForms;
  SeenBox seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size()),
            box->isModal()};
    box->button(QMessageBox::Ok)->click();
  });
  const int answer =
      qtForms.MsgBox("Error: x\r\n\r\nsecond", forms::vbCritical, "Pellbrook Scourwell");
  EXPECT_EQ(answer, forms::vbOK);
  EXPECT_EQ(seen.title, "Pellbrook Scourwell");
  EXPECT_EQ(seen.text, "Error: x\n\nsecond");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), 0) << "the box leaked";
}

// How the user leaves a Yes/No box whose default is No, and what MsgBox then answers.
struct YesNoCase {
  const char* name;
  std::function<void(QMessageBox&)> act;
  int answer;
};

class YesNoBoxTest : public ::testing::TestWithParam<YesNoCase> {};

TEST_P(YesNoBoxTest, DefaultsToNoAndAnswersWhatWasPressed) {
  forms::QtForms qtForms;
  bool noIsDefault = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    noIsDefault =
        static_cast<QAbstractButton*>(box->defaultButton()) == box->button(QMessageBox::No);
    GetParam().act(*box);
  });
  const int answer = qtForms.MsgBox(
      "Destroy?", forms::vbYesNo | forms::vbExclamation | forms::vbDefaultButton2, "T");
  EXPECT_TRUE(noIsDefault);
  EXPECT_EQ(answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, YesNoBoxTest,
    ::testing::Values(YesNoCase{"Enter",
                                [](QMessageBox& box) {
                                  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                                  QApplication::sendEvent(&box, &enter);
                                },
                                forms::vbNo},
                      YesNoCase{"Escape",
                                [](QMessageBox& box) {
                                  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape,
                                                   Qt::NoModifier);
                                  QApplication::sendEvent(&box, &escape);
                                },
                                forms::vbNo},
                      YesNoCase{"Yes",
                                [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); },
                                forms::vbYes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtFormsTest, TheHourglassIsSetOnceAndClearedCompletely) {
  forms::QtForms qtForms;
  qtForms.SetScreenMousePointer(forms::MousePointer::Hourglass);
  qtForms.SetScreenMousePointer(forms::MousePointer::Hourglass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(qtForms.ScreenMousePointer(), forms::MousePointer::Hourglass);
  qtForms.SetScreenMousePointer(forms::MousePointer::Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(qtForms.ScreenMousePointer(), forms::MousePointer::Default);
}

TEST(QtFormsTest, DoEventsGivesTheWindowATurnOnlyWhenItHadNoneForAWhile) {
  forms::QtForms qtForms;
  int turns = 0;
  QTimer::singleShot(0, [&] { ++turns; });
  qtForms.DoEvents();
  EXPECT_EQ(turns, 1);
  QTimer::singleShot(0, [&] { ++turns; });
  qtForms.DoEvents();  // a moment after the last turn: skipped
  EXPECT_EQ(turns, 1);
  std::this_thread::sleep_for(forms::QtForms::kTurnInterval + std::chrono::milliseconds(5));
  qtForms.DoEvents();
  EXPECT_EQ(turns, 2);
}

}  // namespace
