#include "app/Options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/translation/Tr.h"

namespace app {
namespace {

using translation::Tr;

// Qt's own options, with and without a value (QGuiApplication and QApplication document them).
constexpr std::array<std::string_view, 11> kQtOptionsWithValue = {
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",     "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-style",         "-stylesheet", "-display",
    "-geometry"};
constexpr std::array<std::string_view, 3> kQtFlags = {"-reverse", "-widgetcount", "-nograb"};

bool IsQtOption(std::string_view word, std::string_view option) {
  // Qt takes "-style x", "-style=x" and "--style x" alike.
  if (word.size() > 2 && word[0] == '-' && word[1] == '-') {
    word.remove_prefix(1);
  }
  return word == option || (word.size() > option.size() &&
                            word.substr(0, option.size()) == option && word[option.size()] == '=');
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  bool pathGiven = false;
  bool optionsEnded = false;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& word = arguments[index];
    if (optionsEnded || !word.starts_with("-")) {
      if (pathGiven) {
        options.action = Options::Action::kUsageError;
        options.problem =
            Tr("scourwell", "unexpected argument '%1': one database path at most").Fill(word);
        return options;
      }
      options.databasePath = word;
      pathGiven = true;
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "--help" || word == "-h") {
      options.action = Options::Action::kHelp;
      return options;
    }
    if (word == "--version" || word == "-v") {
      options.action = Options::Action::kVersion;
      return options;
    }
    const auto withValue =
        std::find_if(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(),
                     [&](std::string_view option) { return IsQtOption(word, option); });
    if (withValue != kQtOptionsWithValue.end()) {
      if (word.find('=') == std::string::npos && ++index == arguments.size()) {
        options.action = Options::Action::kUsageError;
        options.problem = Tr("scourwell", "'%1' needs a value").Fill(word);
        return options;
      }
      continue;
    }
    if (std::any_of(kQtFlags.begin(), kQtFlags.end(),
                    [&](std::string_view flag) { return IsQtOption(word, flag); })) {
      continue;
    }
    options.action = Options::Action::kUsageError;
    options.problem = Tr("scourwell", "unknown option '%1'").Fill(word);
    return options;
  }
  return options;
}

std::string UsageLine() {
  return Tr("scourwell", "usage: %1")
             .Fill("scourwell [--help] [--version] [Qt options] [DATABASE]") +
         "\n";
}

std::string HelpText() {
  return UsageLine() + "\n" +
         Tr("scourwell",
            "Finds every deleted project and file in a SourceSafe database in one pass, lists\n"
            "them with check boxes, and purges the ones you choose. It opens Scourwell's own\n"
            "databases and SourceSafe 6 database folders (see 'vssdb --help').\n"
            "\n"
            "Options:\n"
            "  -h, --help      show this help and exit\n"
            "  -v, --version   show the version and exit\n"
            "  -platform NAME, -style NAME, -reverse, ...\n"
            "                  the options every Qt program takes\n"
            "  DATABASE        a database folder (or its srcsafe.ini) to put in the path field\n"
            "\n"
            "The login name, the database path and the window's place are remembered between\n"
            "runs; to see them: regtool list 'HKCU\\Software\\Pellbrook\\Scourwell'\n"
            "\n"
            "Exit status: 0 when the window was closed, 2 on a usage error.\n")
             .Str();
}

std::string VersionText() { return "scourwell " SCOURWELL_VERSION "\n"; }

}  // namespace app
