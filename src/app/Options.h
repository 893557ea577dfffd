#pragma once

#include <string>
#include <vector>

namespace app {

// What the command line asks of scourwell.
struct Options {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::string problem;       // for a usage error: the word that was not understood, and why
  std::string databasePath;  // a database folder named on the command line, for the path field
};

// Reads the arguments after the program's name: --help, --version and at most one database path
// (after "--" even one that starts with "-"); the options every Qt program takes (-platform,
// -style, ...) are left to Qt. Anything else is a usage error.
Options ParseOptions(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText();
std::string UsageLine();

}  // namespace app
