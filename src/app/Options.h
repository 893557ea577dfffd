#pragma once

#include <string>
#include <vector>

namespace app {

// What the command line asks of scourwell.
struct Options {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::string problem;  // for a usage error: the word that was not understood, and why
};

// Reads the arguments after the program's name. The program takes no arguments of its own but
// --help and --version; the options every Qt program takes (-platform, -style, ...) are left to
// Qt. Anything else is a usage error.
Options ParseOptions(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText();
std::string UsageLine();

}  // namespace app
