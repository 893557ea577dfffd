#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
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
