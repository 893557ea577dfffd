// Scourwell: makes the application and its one window, and runs the event loop.
#include <QApplication>

#include "wizard/FMain.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  wizard::FMain window;
  window.show();
  return application.exec();
}
