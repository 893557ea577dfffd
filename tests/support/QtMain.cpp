// The main() of the GUI test programs: a QApplication must exist before any widget. Tests run
// on the offscreen platform unless QT_QPA_PLATFORM says otherwise (test discovery runs the
// program without CTest's environment).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
