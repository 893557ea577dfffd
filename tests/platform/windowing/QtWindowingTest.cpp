#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "platform/windowing/QtWindowing.h"

namespace {

using namespace windowing;

WINDOWPLACEMENT Placement() {
  WINDOWPLACEMENT placement;
  placement.length = sizeof(WINDOWPLACEMENT);
  return placement;
}

TEST(QtWindowingTest, TheDesktopWindowIsTheWholePrimaryScreen) {
  QtWindowing windows;
  WINDOWPLACEMENT desktop = Placement();
  ASSERT_EQ(windows.GetWindowPlacement(windows.GetDesktopWindow(), &desktop), 1);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(desktop.rcNormalPosition.right - desktop.rcNormalPosition.left, screen.width());
  EXPECT_EQ(desktop.rcNormalPosition.bottom - desktop.rcNormalPosition.top, screen.height());
  EXPECT_EQ(desktop.showCmd, SW_SHOWNORMAL);
}

TEST(QtWindowingTest, APlacementIsReadAndAppliedInPixels) {
  QtWindowing windows;
  QWidget window;
  window.setGeometry(30, 40, 200, 100);
  const HWND handle = QtWindowing::HandleOf(window);
  EXPECT_EQ(windows.IsWindow(handle), 1);
  WINDOWPLACEMENT placement = Placement();
  ASSERT_EQ(windows.GetWindowPlacement(handle, &placement), 1);
  EXPECT_EQ(placement.showCmd, SW_SHOWNORMAL);
  const RECT expected{window.frameGeometry().left(), window.frameGeometry().top(),
                      window.frameGeometry().left() + window.frameGeometry().width(),
                      window.frameGeometry().top() + window.frameGeometry().height()};
  EXPECT_EQ(placement.rcNormalPosition.left, expected.left);
  EXPECT_EQ(placement.rcNormalPosition.bottom, expected.bottom);

  placement.rcNormalPosition = {5, 6, 305, 156};
  placement.showCmd = SW_HIDE;
  ASSERT_EQ(windows.SetWindowPlacement(handle, &placement), 1);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(5, 6));
  EXPECT_EQ(window.frameGeometry().size(), QSize(300, 150));

  placement.showCmd = SW_SHOWMAXIMIZED;
  windows.SetWindowPlacement(handle, &placement);
  WINDOWPLACEMENT maximized = Placement();
  windows.GetWindowPlacement(handle, &maximized);
  EXPECT_EQ(maximized.showCmd, SW_SHOWMAXIMIZED);
}

TEST(QtWindowingTest, AWindowPlacedBeforeItWasEverShownOpensAtTheOuterSizeGiven) {
  QtWindowing windows;
  QWidget shown;
  shown.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
  WINDOWPLACEMENT left = Placement();
  ASSERT_EQ(windows.GetWindowPlacement(QtWindowing::HandleOf(shown), &left), 1);
  left.rcNormalPosition = {20, 30, 20 + 320, 30 + 180};
  left.showCmd = SW_HIDE;

  QWidget next;  // the next start: placed while hidden, shown afterwards
  ASSERT_EQ(windows.SetWindowPlacement(QtWindowing::HandleOf(next), &left), 1);
  next.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
  QTest::qWait(0);
  EXPECT_EQ(next.frameGeometry().size(), QSize(320, 180));
  EXPECT_EQ(next.frameGeometry().topLeft(), QPoint(20, 30));
}

TEST(QtWindowingTest, RefusesARecordOfTheWrongLengthAndAHandleOfNoWindow) {
  QtWindowing windows;
  QWidget window;
  WINDOWPLACEMENT placement = Placement();
  placement.length = 40;
  EXPECT_EQ(windows.GetWindowPlacement(QtWindowing::HandleOf(window), &placement), 0);
  placement.length = sizeof(WINDOWPLACEMENT);
  HWND gone = 0;
  {
    QWidget closed;
    gone = QtWindowing::HandleOf(closed);
  }
  EXPECT_EQ(windows.GetWindowPlacement(gone, &placement), 0);
  EXPECT_EQ(windows.IsWindow(gone), 0);
}

TEST(QtWindowingTest, APlacementOffTheScreensIsMovedWhollyOntoTheNearest) {
  QtWindowing windows;
  QWidget window;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  WINDOWPLACEMENT placement = Placement();
  placement.showCmd = SW_HIDE;
  placement.rcNormalPosition = {screen.right() + 4000, screen.bottom() + 3000,
                                screen.right() + 4200, screen.bottom() + 3100};
  ASSERT_EQ(windows.SetWindowPlacement(QtWindowing::HandleOf(window), &placement), 1);
  EXPECT_TRUE(screen.contains(window.frameGeometry()))
      << window.frameGeometry().x() << "," << window.frameGeometry().y();
  EXPECT_EQ(window.frameGeometry().size(), QSize(200, 100));
}

}  // namespace
