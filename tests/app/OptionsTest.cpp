// scourwell's command line: what it answers without starting Qt, and what it leaves to Qt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Options.h"
#include "support/Process.h"
#include "support/ScopedEnv.h"

namespace {

using Action = app::Options::Action;

struct Line {
  const char* name;
  std::vector<std::string> arguments;
  Action action;
  std::string path = {};
};

void PrintTo(const Line& line, std::ostream* out) { *out << line.name; }

class OptionsTest : public ::testing::TestWithParam<Line> {};

TEST_P(OptionsTest, GivesItsActionAndPath) {
  const app::Options options = app::ParseOptions(GetParam().arguments);
  EXPECT_EQ(options.action, GetParam().action);
  if (options.action == Action::kRun) {
    EXPECT_EQ(options.databasePath, GetParam().path);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OptionsTest,
    ::testing::Values(Line{"Nothing", {}, Action::kRun}, Line{"Help", {"--help"}, Action::kHelp},
                      Line{"ShortHelp", {"-h"}, Action::kHelp},
                      Line{"Version", {"--version"}, Action::kVersion},
                      Line{"HelpAfterQtOptions", {"-style", "fusion", "--help"}, Action::kHelp},
                      Line{"QtOptionWithValue", {"-platform", "offscreen"}, Action::kRun},
                      Line{"QtOptionWithEquals", {"--style=fusion", "-reverse"}, Action::kRun},
                      Line{"QtOptionWithoutItsValue", {"-platform"}, Action::kUsageError},
                      Line{"UnknownOption", {"--verbose"}, Action::kUsageError},
                      Line{"APrefixOfAQtOption", {"-plat", "x"}, Action::kUsageError},
                      Line{"APath", {"/srv/vss"}, Action::kRun, "/srv/vss"},
                      Line{"APathAmongQtOptions",
                           {"-style", "fusion", "/srv/vss/", "-reverse"},
                           Action::kRun,
                           "/srv/vss/"},
                      Line{"APathAfterTheEndOfOptions", {"--", "-odd"}, Action::kRun, "-odd"},
                      Line{"TwoPaths", {"/srv/a", "/srv/b"}, Action::kUsageError}),
    [](const auto& info) { return std::string(info.param.name); });

// The built program, with no display to open: --help and --version answer on standard output
// and exit 0; an unknown option gives the usage line and exits 2.
TEST(ScourwellProgramTest, AnswersHelpAndVersionWithoutADisplay) {
  testing_support::ScopedEnv noDisplay("DISPLAY", nullptr);
  testing_support::ScopedEnv noWayland("WAYLAND_DISPLAY", nullptr);
  testing_support::ScopedEnv noPlatform("QT_QPA_PLATFORM", nullptr);

  const auto help = testing_support::RunCommand({SCOURWELL_APP, "--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.out, app::HelpText());
  const auto version = testing_support::RunCommand({SCOURWELL_APP, "--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "scourwell " SCOURWELL_VERSION "\n");
  const auto wrong = testing_support::RunCommand({SCOURWELL_APP, "--frobnicate"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(wrong.err, "scourwell: unknown option '--frobnicate'\n" + app::UsageLine());
}

}  // namespace
