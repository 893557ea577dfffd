// The wizard's search and purge through the real window (offscreen), each beside the engine
// doing the same work with no window, on generated databases of 100,000 and 300,000 items
// with 10% deleted and of 200,000 with half deleted; the purge beside one bulk DELETE of the
// same rows. Each side runs in a process of its own, so that its peak memory is its own.
// Then the item list's own costs over 100,000 entries: the rule between the check boxes, the
// filter, and the lines that say what a purge takes and did.
//
//   wizard_bench                     runs every size and prints the figures
//   wizard_bench --items N [--deleted F]   one size, with F of its items deleted (default 0.1)
//   wizard_bench --list N            only the item list's costs, over N entries
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
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
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

#include "engines/factory/NewVSSDatabase.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Session.h"
#include "platform/forms/Forms.h"
#include "platform/forms/QtForms.h"
#include "platform/sqlite/Connection.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizard/FMain.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedItemsModel.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Purge.h"
#include "wizardcore/Search.h"
#include "wizardcore/ShownEntries.h"
#include "wizardcore/Wording.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Figures = std::map<std::string, double>;

// A host for the core alone: no window, no Stop.
struct Silent final : wizardcore::Host {
  void StatementFailed(const std::string&, std::int32_t,
                       const errors::CapturedError&) noexcept override {}
  void DoEvents() override {}
  bool StopRequested() const override { return false; }
  void ShowSearchedFolder(const std::string&) override {}
  void ShowChecking(const std::string&) override {}
  void ShowNowPurging(const std::string&) override {}
  void ShowPurgeFileName(const std::string&) override {}
  void Log(const std::string&) override {}
};

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

// The Qt runtime, but a purge's question is answered Yes at once, as the benchmark's user would.
class YesForms final : public forms::Forms {
 public:
  int MsgBox(const std::string&, int, const std::string&) override { return forms::vbYes; }
  void SetScreenMousePointer(forms::MousePointer pointer) override {
    real_.SetScreenMousePointer(pointer);
  }
  forms::MousePointer ScreenMousePointer() const override { return real_.ScreenMousePointer(); }
  void DoEvents() override { real_.DoEvents(); }

 private:
  forms::QtForms real_;
};

int RunWizard(int argc, char** argv, const std::string& dir) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  YesForms yes;
  forms::ScopedForms answering(yes);
  wizard::FMain window;
  window.show();
  QApplication::processEvents();
  window.findChild<QLineEdit*>("txtVssDb")->setText(QString::fromStdString(dir));
  auto& next = *window.findChild<QPushButton*>("cmdNext");
  auto& list = *window.findChild<QTreeView*>("List1")->model();
  Figures figures;
  TurnWatch turns;

  turns.Start();
  auto start = Clock::now();
  next.click();  // List All: open, search, selection page
  figures["search_ms"] = MsSince(start);
  figures["search_gap_ms"] = turns.Stop();
  figures["listed"] = list.rowCount();

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
  figures["left"] = list.rowCount();
  figures["peak_mib"] = PeakMiB();
  Print(figures);
  return 0;
}

// The item list alone, through the view the window uses: `entries` entries in nested projects
// ten deep (each project holds ten entries and the next project), all checked.
int RunList(int argc, char** argv, int entries) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  wizardcore::DeletedList list;
  wizardcore::DeletedItemsModel model(list);
  wizardcore::ShownEntries shown(model);
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setModel(&shown);
  view.resize(460, 140);
  view.show();
  QApplication::processEvents();

  std::vector<int> open;  // the projects the next entry lies in
  int deepest = 0;
  for (int index = 0; index < entries; ++index) {
    wizardcore::DeletedEntry entry;
    const bool project = index % 11 == 0;
    entry.kind = project ? wizardcore::EntryKind::Project : wizardcore::EntryKind::File;
    entry.spec = "$/p" + std::to_string(open.size()) + "/f" + std::to_string(index) +
                 (project          ? ""
                  : index % 7 == 0 ? ".tmp"
                                   : ".c");
    entry.parent = open.empty() ? -1 : open.back();
    entry.takes = {1, 100, true};
    entry.checked = true;
    list.Add(entry);
    if (project) {
      if (open.size() == 10) {
        list.Close(open.back(), {11, 1000, true});
        open.pop_back();
      }
      open.push_back(index);
    }
    deepest = index;
  }
  while (!open.empty()) {
    list.Close(open.back(), {11, 1000, true});
    open.pop_back();
  }
  QApplication::processEvents();

  Figures figures;
  auto start = Clock::now();
  model.setData(shown.mapToSource(shown.index(deepest, 0)), Qt::Unchecked, Qt::CheckStateRole);
  QApplication::processEvents();
  figures["uncheck_up_ms"] = MsSince(start);
  start = Clock::now();
  model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole);
  QApplication::processEvents();
  figures["check_down_ms"] = MsSince(start);
  start = Clock::now();
  shown.SetPattern("*.tmp");
  QApplication::processEvents();
  figures["filter_ms"] = MsSince(start);
  figures["filtered"] = shown.rowCount();
  start = Clock::now();
  list.CheckEach(shown.Shown(), false);
  QApplication::processEvents();
  figures["uncheck_shown_ms"] = MsSince(start);
  start = Clock::now();
  shown.SetPattern("");
  QApplication::processEvents();
  figures["unfilter_ms"] = MsSince(start);
  start = Clock::now();
  const std::string selection = wizardcore::DescribeSelection(list.Selected());
  figures["selection_line_ms"] = MsSince(start);
  // The finish page's summary, after a purge that destroyed nothing: both passes over every
  // entry and the count of what they did.
  Silent host;
  {
    wizardcore::DeletedList::Batch batch(list);
    for (int index = 0; index < list.Size(); ++index) {
      list.SetChecked(index, false);
    }
  }
  wizardcore::DeletedItemCollection items;
  wizardcore::Purge purge(host, list, items);
  start = Clock::now();
  purge.PurgeVssItems();
  const std::string summary = wizardcore::DescribeSummary(purge.Summary());
  figures["purge_nothing_with_summary_ms"] = MsSince(start);
  figures["entries"] = list.Size();
  Print(figures);
  return selection.empty() || summary.empty() ? 1 : 0;
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

// The engine alone: the walk through the interface, then the rows the purge removes (every
// deleted item and everything below it) removed by one bulk DELETE in one transaction, with the
// engine's own connection settings: the least a purge could cost.
int RunEngine(const std::string& dir) {
  Figures figures;
  auto start = Clock::now();
  {
    const auto database = sourcecontrol::NewVSSDatabase(dir);
    database->Open(dir, "Admin", "");
    std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> deleted;
    CollectDeleted(database->VSSItem("$/", false), deleted);
    figures["walk_ms"] = MsSince(start);
    figures["deleted"] = static_cast<double>(deleted.size());
  }
  const auto session = sourcesafe::Session::Open(dir, "Admin", "");
  sqlite::Connection& connection = session->Connection();
  start = Clock::now();
  constexpr const char* kDoomed =
      "WITH RECURSIVE doomed(id) AS (SELECT id FROM items WHERE deleted = 1 UNION"
      " SELECT items.id FROM items JOIN doomed ON items.parent = doomed.id) ";
  connection.Execute("BEGIN IMMEDIATE");
  connection.Execute(std::string(kDoomed) + "DELETE FROM contents WHERE item IN doomed");
  connection.Execute(std::string(kDoomed) + "DELETE FROM items WHERE id IN doomed");
  connection.Execute("PRAGMA incremental_vacuum");
  connection.Execute("COMMIT");
  figures["bulk_delete_ms"] = MsSince(start);
  figures["peak_mib"] = PeakMiB();
  Print(figures);
  return 0;
}

// The copy kept before a purge of every deleted entry, beside reading the bytes it keeps once
// through the engine: the copy should cost little more than that read.
int RunCopy(const std::string& dir, const std::filesystem::path& kept) {
  Figures figures;
  const auto database = sourcecontrol::NewVSSDatabase(dir);
  database->Open(dir, "Admin", "");
  Silent host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  wizardcore::Search(host, list, items).SearchVssItem(database->VSSItem("$/", false));
  auto start = Clock::now();
  std::int64_t bytes = 0;
  int covered = 0;
  for (int index = 0; index < list.Size(); ++index) {
    if (index < covered || !list[index].checked) {
      continue;
    }
    covered = std::max(index + 1, list[index].end);
    std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> pending{list[index].item};
    while (!pending.empty()) {
      const std::shared_ptr<sourcecontrol::IVSSItem> item = pending.back();
      pending.pop_back();
      item->Spec();
      if (item->Type() == sourcecontrol::ItemType::File) {
        bytes += static_cast<std::int64_t>(item->Content().size());
        continue;
      }
      const std::shared_ptr<sourcecontrol::IVSSItems> children = item->Items(true);
      for (int child = children->Count(); child >= 1; --child) {
        pending.push_back(children->Item(child));
      }
    }
  }
  figures["read_ms"] = MsSince(start);
  figures["bytes"] = static_cast<double>(bytes);
  start = Clock::now();
  const std::filesystem::path archive = wizardcore::KeepCopy(host, list, {dir, "Admin"}, kept);
  figures["copy_ms"] = MsSince(start);
  figures["archive_bytes"] = static_cast<double>(std::filesystem::file_size(archive));
  figures["entries"] = list.Size();
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

void RunListSize(const std::string& self, int entries, const std::filesystem::path& folder) {
  Figures list = RunInner(self, {"--list-inner", std::to_string(entries)}, folder / "list.out");
  std::printf(
      "\nthe item list, %.0f entries in projects nested ten deep (target: under 50 ms each)\n",
      list["entries"]);
  std::printf("  uncheck the deepest entry (and the projects above)  %6.1f ms\n",
              list["uncheck_up_ms"]);
  std::printf("  check the top project (and all below it)            %6.1f ms\n",
              list["check_down_ms"]);
  std::printf("  filter '*.tmp' (%.0f shown)                        %6.1f ms\n", list["filtered"],
              list["filter_ms"]);
  std::printf("  uncheck the shown entries                           %6.1f ms\n",
              list["uncheck_shown_ms"]);
  std::printf("  clear the filter                                    %6.1f ms\n",
              list["unfilter_ms"]);
  std::printf("  the line of what the checked entries take           %6.1f ms\n",
              list["selection_line_ms"]);
  std::printf("  a purge of nothing with its finish-page summary     %6.1f ms\n",
              list["purge_nothing_with_summary_ms"]);
  std::fflush(stdout);
}

// The copy kept before a purge of files of a common size, where reading their bytes is most of the
// work.
void RunCopySize(const std::string& self, std::int64_t items, std::size_t fileBytes,
                 const std::filesystem::path& folder) {
  const std::filesystem::path db = folder / ("copy-" + std::to_string(items));
  sourcesafe::GenerateOptions options{items, 0.1, 42};
  options.fileBytes = fileBytes;
  sourcesafe::GenerateDatabase(db, options);
  Figures copy =
      RunInner(self, {"--copy", db.string(), (folder / "kept").string()}, folder / "copy.out");
  std::filesystem::remove_all(folder / "kept");
  std::printf("\n%lld items of %zu bytes each, 10%% deleted: the copy kept before their purge\n",
              static_cast<long long>(items), fileBytes);
  std::printf(
      "  keep a copy   %8.0f ms  read once       %8.0f ms  ratio %.2f (%.1f MiB of content, "
      "archive %.1f MiB)\n",
      copy["copy_ms"], copy["read_ms"], copy["copy_ms"] / copy["read_ms"],
      copy["bytes"] / 1048576.0, copy["archive_bytes"] / 1048576.0);
  std::fflush(stdout);
  std::filesystem::remove_all(db);
}

void RunSize(const std::string& self, std::int64_t items, double deleted,
             const std::filesystem::path& folder) {
  const std::filesystem::path forWizard = folder / ("wizard-" + std::to_string(items));
  const std::filesystem::path forEngine = folder / ("engine-" + std::to_string(items));
  sourcesafe::GenerateDatabase(forWizard, {items, deleted, 42});
  sourcesafe::GenerateDatabase(forEngine, {items, deleted, 42});
  Figures copy = RunInner(self, {"--copy", forEngine.string(), (folder / "kept").string()},
                          folder / "copy.out");
  std::filesystem::remove_all(folder / "kept");
  Figures engine = RunInner(self, {"--engine", forEngine.string()}, folder / "engine.out");
  Figures window = RunInner(self, {"--wizard", forWizard.string()}, folder / "wizard.out");
  std::printf("\n%lld items, %.0f deleted, %.0f listed and purged (%.0f left)\n",
              static_cast<long long>(items), engine["deleted"], window["listed"], window["left"]);
  std::printf(
      "  search        %8.0f ms  engine walk     %8.0f ms  ratio %.2f (target: at most 2)\n",
      window["search_ms"], engine["walk_ms"], window["search_ms"] / engine["walk_ms"]);
  std::printf(
      "  purge         %8.0f ms  bulk DELETE     %8.0f ms  ratio %.2f (target: at most 10)\n",
      window["purge_ms"], engine["bulk_delete_ms"], window["purge_ms"] / engine["bulk_delete_ms"]);
  std::printf(
      "  keep a copy   %8.0f ms  read once       %8.0f ms  ratio %.2f (%.1f MiB of content, "
      "archive %.1f MiB)\n",
      copy["copy_ms"], copy["read_ms"], copy["copy_ms"] / copy["read_ms"],
      copy["bytes"] / 1048576.0, copy["archive_bytes"] / 1048576.0);
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
  if (args.size() == 3 && args[0] == "--copy") {
    return RunCopy(args[1], args[2]);
  }
  if (args.size() == 2 && args[0] == "--engine") {
    return RunEngine(args[1]);
  }
  if (args.size() == 2 && args[0] == "--list-inner") {
    return RunList(argc, argv, std::stoi(args[1]));
  }
  // 10% deleted as a database that is looked after; then 100,000 deleted items at once.
  std::vector<std::pair<std::int64_t, double>> sizes{{100000, 0.1}, {300000, 0.1}, {200000, 0.5}};
  int listEntries = 100000;
  if (args.size() >= 2 && args[0] == "--items") {
    sizes = {{std::stoll(args[1]),
              args.size() == 4 && args[2] == "--deleted" ? std::stod(args[3]) : 0.1}};
    listEntries = 0;
  }
  std::vector<std::pair<std::int64_t, std::size_t>> copySizes{{20000, 16384}};
  if (args.size() == 3 && args[0] == "--copy-size") {
    sizes.clear();
    listEntries = 0;
    copySizes = {{std::stoll(args[1]), std::stoul(args[2])}};
  }
  if (args.size() == 2 && args[0] == "--list") {
    sizes.clear();
    listEntries = std::stoi(args[1]);
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
  // And keeps the copy before its purge, and the purge's report, in folders of its own too.
  ::setenv("XDG_DATA_HOME", (std::filesystem::path(pattern) / "data").c_str(), 1);
  ::setenv("XDG_STATE_HOME", (std::filesystem::path(pattern) / "state").c_str(), 1);
  try {
    for (const auto& [items, deleted] : sizes) {
      RunSize(self, items, deleted, pattern);
    }
    if (listEntries > 0) {
      RunListSize(self, listEntries, pattern);
    }
    for (const auto& [items, fileBytes] : copySizes) {
      RunCopySize(self, items, fileBytes, pattern);
    }
  } catch (const std::exception& error) {
    std::cerr << "wizard_bench: " << error.what() << '\n';
    std::filesystem::remove_all(pattern);
    return 1;
  }
  std::filesystem::remove_all(pattern);
  return 0;
}
