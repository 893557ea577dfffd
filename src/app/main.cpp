// Scourwell: reads its command line, makes the application and its one window, and runs the event
// loop. --help and --version answer before Qt starts, so they work without a display.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/Options.h"
#include "platform/translation/Languages.h"
#include "platform/translation/Translations.h"
#include "wizard/FMain.h"

int main(int argc, char** argv) {
  // The language of LANGUAGE, LC_ALL, LC_MESSAGES or LANG, for the help as for the window.
  translation::Translations translations(translation::MessageLanguages(),
                                         translation::Translations::Scope::kOursAndQt);
  const app::Options options =
      app::ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  switch (options.action) {
    case app::Options::Action::kHelp:
      std::cout << app::HelpText();
      return 0;
    case app::Options::Action::kVersion:
      std::cout << app::VersionText();
      return 0;
    case app::Options::Action::kUsageError:
      std::cerr << "scourwell: " << options.problem << "\n" << app::UsageLine();
      return 2;
    case app::Options::Action::kRun:
      break;
  }
  QApplication application(argc, argv);
  translations.Install();
  // Ties the window to its desktop entry (its icon and name in the task bar).
  QGuiApplication::setDesktopFileName("example.pellbrook.Scourwell");
  wizard::FMain window;
  if (!options.databasePath.empty()) {
    window.UseDatabasePath(QString::fromLocal8Bit(options.databasePath.c_str()));
  }
  window.show();
  return application.exec();
}
