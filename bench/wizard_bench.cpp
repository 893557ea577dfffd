// The wizard's search and purge through the real window (offscreen), each beside the engine
// doing the same work with no window, on generated databases of 100,000 and 300,000 items
// with 10% deleted. Each side runs in a process of its own, so that its peak memory is its own.
//
//   wizard_bench                     runs every size and prints the figures
//   wizard_bench --items N [--deleted F]   one size, with F of its items deleted (default 0.1)
//   wizard_bench --wizard DIR        (inner) the window's side on the database in DIR
//   wizard_bench --engine DIR        (inner) the engine's side
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sourcesafe/Generator.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizard/FMain.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Figures = std::map<std::string, double>;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's peak resident memory. (getrusage's figure is kept across exec, so a child would
// report its parent's peak; VmHWM starts anew with the program.)
double PeakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;  // kB
    }
  }
  return -1;
}

void Print(const Figures& figures) {
  for (const auto& [name, value] : figures) {
    std::cout << name << '=' << value << '\n';
  }
}

// The longest time the window went without a turn between two of its turns: a zero timer
// fires at every turn. (The open before the first turn is one call into the database.)
class TurnWatch {
 public:
  TurnWatch() {
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
      const Clock::time_point now = Clock::now();
      if (turns_++ > 0) {
        longest_ =
            std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
      }
      last_ = now;
    });
  }
  void Start() {
    longest_ = 0;
    turns_ = 0;
    ticker_.start(0);
  }
  double Stop() {
    ticker_.stop();
    return longest_;
  }

 private:
  QTimer ticker_;
  Clock::time_point last_;
  double longest_ = 0;
  int turns_ = 0;
};

int RunWizard(int argc, char** argv, const std::string& dir) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  wizard::FMain window;
  window.show();
  QApplication::processEvents();
  window.findChild<QLineEdit*>("txtVssDb")->setText(QString::fromStdString(dir));
  auto& next = *window.findChild<QPushButton*>("cmdNext");
  auto& list = *window.findChild<QListWidget*>("List1");
  Figures figures;
  TurnWatch turns;

  turns.Start();
  auto start = Clock::now();
  next.click();  // List All: open, search, selection page
  figures["search_ms"] = MsSince(start);
  figures["search_gap_ms"] = turns.Stop();
  figures["listed"] = list.count();

  start = Clock::now();
  window.lblCheckAll_Click();
  figures["uncheck_all_ms"] = MsSince(start);
  start = Clock::now();
  window.lblCheckAll_Click();
  figures["check_all_ms"] = MsSince(start);

  turns.Start();
  start = Clock::now();
  next.click();  // Purge every entry
  figures["purge_ms"] = MsSince(start);
  figures["purge_gap_ms"] = turns.Stop();
  figures["left"] = list.count();
  figures["peak_mib"] = PeakMiB();
  Print(figures);
  return 0;
}

void CollectDeleted(const std::shared_ptr<sourcecontrol::IVSSItem>& item,
                    std::vector<std::shared_ptr<sourcecontrol::IVSSItem>>& deleted) {
  if (item->Deleted()) {
    item->Spec();
    deleted.push_back(item);
  }
  const std::shared_ptr<sourcecontrol::IVSSItems> children = item->Items(true);
  for (const std::shared_ptr<sourcecontrol::IVSSItem> child : *children) {
    CollectDeleted(child, deleted);
  }
}

int RunEngine(const std::string& dir) {
  Figures figures;
  auto start = Clock::now();
  const auto database = sourcecontrol::NewVSSDatabase();
  database->Open(dir, "Admin", "");
  std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> deleted;
  CollectDeleted(database->VSSItem("$/", false), deleted);
  figures["walk_ms"] = MsSince(start);
  start = Clock::now();
  double slowest = 0;
  for (auto item = deleted.rbegin(); item != deleted.rend(); ++item) {
    const auto one = Clock::now();
    (*item)->Destroy();
    slowest = std::max(slowest, MsSince(one));
  }
  figures["destroy_ms"] = MsSince(start);
  figures["destroy_slowest_ms"] = slowest;
  figures["peak_mib"] = PeakMiB();
  Print(figures);
  return 0;
}

// Runs this program again with `args` and reads the figures it prints.
Figures RunInner(const std::string& self, const std::vector<std::string>& args,
                 const std::filesystem::path& output) {
  std::vector<std::string> words{self};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, self.c_str(), &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  int status = 0;
  if (failed != 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("the inner run " + args.at(0) + " failed");
  }
  Figures figures;
  std::ifstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) {
      figures[line.substr(0, equals)] = std::stod(line.substr(equals + 1));
    }
  }
  return figures;
}

void RunSize(const std::string& self, std::int64_t items, double deleted,
             const std::filesystem::path& folder) {
  const std::filesystem::path forWizard = folder / ("wizard-" + std::to_string(items));
  const std::filesystem::path forEngine = folder / ("engine-" + std::to_string(items));
  sourcesafe::GenerateDatabase(forWizard, {items, deleted, 42});
  sourcesafe::GenerateDatabase(forEngine, {items, deleted, 42});
  Figures engine = RunInner(self, {"--engine", forEngine.string()}, folder / "engine.out");
  Figures window = RunInner(self, {"--wizard", forWizard.string()}, folder / "wizard.out");
  std::printf("\n%lld items, %.0f listed and purged (%.0f left)\n", static_cast<long long>(items),
              window["listed"], window["left"]);
  std::printf(
      "  search        %8.0f ms  engine walk     %8.0f ms  ratio %.2f (target: at most 2)\n",
      window["search_ms"], engine["walk_ms"], window["search_ms"] / engine["walk_ms"]);
  std::printf(
      "  purge         %8.0f ms  engine destroy  %8.0f ms  ratio %.2f (target: at most 2)\n",
      window["purge_ms"], engine["destroy_ms"], window["purge_ms"] / engine["destroy_ms"]);
  std::printf("  slowest single destroy by the engine: %.1f ms\n", engine["destroy_slowest_ms"]);
  std::printf("  uncheck all   %8.1f ms  check all %8.1f ms (target: under 200 ms)\n",
              window["uncheck_all_ms"], window["check_all_ms"]);
  std::printf("  longest gap between turns: search %.1f ms, purge %.1f ms (target: under 100 ms)\n",
              window["search_gap_ms"], window["purge_gap_ms"]);
  std::printf("  peak memory   wizard %.1f MiB, engine alone %.1f MiB (target: under 150 MiB)\n",
              window["peak_mib"], engine["peak_mib"]);
  std::fflush(stdout);
  std::filesystem::remove_all(forWizard);
  std::filesystem::remove_all(forEngine);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--wizard") {
    return RunWizard(argc, argv, args[1]);
  }
  if (args.size() == 2 && args[0] == "--engine") {
    return RunEngine(args[1]);
  }
  std::vector<std::int64_t> sizes{100000, 300000};
  double deleted = 0.1;
  if (args.size() >= 2 && args[0] == "--items") {
    sizes = {std::stoll(args[1])};
  }
  if (args.size() == 4 && args[2] == "--deleted") {
    deleted = std::stod(args[3]);
  }
  std::string pattern =
      (std::filesystem::temp_directory_path() / "scourwell-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "cannot make a temporary folder\n";
    return 1;
  }
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  // The window remembers its login and placement: in a registry of the benchmark's own.
  ::setenv("XDG_CONFIG_HOME", (std::filesystem::path(pattern) / "config").c_str(), 1);
  try {
    for (const std::int64_t items : sizes) {
      RunSize(self, items, deleted, pattern);
    }
  } catch (const std::exception& error) {
    std::cerr << "wizard_bench: " << error.what() << '\n';
    std::filesystem::remove_all(pattern);
    return 1;
  }
  std::filesystem::remove_all(pattern);
  return 0;
}
