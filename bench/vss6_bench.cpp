// The SourceSafe 6 engine beside the floor that storage sets: reading every byte of a data folder
// once, on a warm cache.
//   vss6_bench [DATA_FOLDER [CODE_PAGE]]   listing a database (default: the largest shared one),
//                                          and the memory a listing of a crafted tree 5,000
//                                          projects deep takes
//   vss6_bench --make DIR FILES            writes such a database of FILES files into DIR
//   vss6_bench --large [FILES...]          databases written from the format's facts of FILES
//                                          files each (default 12,500, 50,000 and 200,000): the
//                                          listing, the listing with the engine's refusals, the
//                                          purge of every deleted entry (with and without the
//                                          copy kept first), the check and a single destroy,
//                                          each with its peak memory, and each figure's ratio
//                                          between sizes
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <vector>

#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/Vss6Database.h"
#include "engines/vss6/Vss6Tree.h"
#include "sourcecontrol/IVSSItem.h"
#include "support/TempDir.h"
#include "support/Vss6Builder.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Purge.h"
#include "wizardcore/Refusals.h"
#include "wizardcore/Search.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int ListDeleted(const fs::path& data, const std::string& codePage) {
  vss6::Vss6Tree tree(data, codePage);
  int deleted = 0;
  std::vector<vss6::TreeItem> pending{tree.Root()};
  while (!pending.empty()) {
    const vss6::TreeItem item = std::move(pending.back());
    pending.pop_back();
    deleted += item.deleted ? 1 : 0;
    std::vector<vss6::TreeItem> children = tree.Children(item);
    std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
  }
  return deleted;
}

std::uintmax_t ReadEverything(const fs::path& data) {
  std::uintmax_t bytes = 0;
  std::vector<char> buffer(1 << 16);
  for (const auto& entry : fs::recursive_directory_iterator(data)) {
    if (!entry.is_regular_file()) {
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
      bytes += static_cast<std::uintmax_t>(in.gcount());
    }
  }
  return bytes;
}

template <class Work>
double BestMilliseconds(Work&& work, int rounds) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    work();
    best = std::min(best, MsSince(start));
  }
  return best;
}

// What a run in a child of its own took: its time and its peak memory alone.
struct Figure {
  double ms = 0;
  double peakMiB = 0;
  double gapMs = 0;  // the longest time between two turns for the window
  std::string said;  // what the run counted
  bool ok = true;
};

// Runs `work` in a child process; it gives back the longest gap between turns and what it
// counted, in a line.
Figure InChild(const std::function<std::pair<double, std::string>()>& work) {
  int pipe[2];
  if (::pipe(pipe) != 0) {
    return {0, 0, 0, "no pipe", false};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    const auto start = Clock::now();
    std::string text;
    try {
      const auto [gap, said] = work();
      char line[64];
      std::snprintf(line, sizeof line, "%.3f %.3f ", MsSince(start), gap);
      text = line + said;
    } catch (const std::exception& error) {
      text = std::string("-1 0 failed: ") + error.what();
    }
    (void)!::write(pipe[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipe[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Figure figure;
  char said[400] = {};
  std::sscanf(text.c_str(), "%lf %lf %399[^\n]", &figure.ms, &figure.gapMs, said);
  figure.said = said;
  figure.ok = status == 0 && figure.ms >= 0;
  figure.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return figure;
}

// A host for the core alone: no Stop, turns timed.
struct TimedHost final : wizardcore::Host {
  void StatementFailed(const std::string&, std::int32_t,
                       const errors::CapturedError& error) noexcept override {
    ++failures;
    lastFailure = error.description;
  }
  void DoEvents() override {
    const Clock::time_point now = Clock::now();
    if (const double gap = std::chrono::duration<double, std::milli>(now - last).count();
        gap > longest) {
      longest = gap;
      where = shown;
    }
    last = now;
  }
  bool StopRequested() const override { return false; }
  void ShowSearchedFolder(const std::string& spec) override { shown = spec; }
  void ShowChecking(const std::string&) override {}
  void ShowNowPurging(const std::string&) override {}
  void ShowPurgeFileName(const std::string&) override {}
  void Log(const std::string&) override {}

  Clock::time_point last = Clock::now();
  double longest = 0;
  std::string shown;  // the project the search is in
  std::string where;  // where it was at the longest gap
  int failures = 0;
  std::string lastFailure;
};

// A database of `files` files: projects of 50 files below the root, every 20th file deleted,
// every 50th project deleted with its files (a few of them deleted first), every 100th file
// shared with the next project; contents of `bytes` bytes.
void Generate(const fs::path& root, int files, int bytes) {
  testing_support::Vss6Builder builder;
  constexpr int kFilesEach = 50;
  const int projects = std::max(1, files / kFilesEach);
  std::vector<std::string> physical;
  char name[32];
  for (int p = 0; p < projects; ++p) {
    std::snprintf(name, sizeof name, "Proj%05d", p);
    physical.push_back(builder.Project(testing_support::Vss6Builder::kRoot, name, p % 50 == 49));
  }
  const std::string content(static_cast<std::size_t>(bytes), 'x');
  for (int p = 0; p < projects; ++p) {
    for (int f = 0; f < kFilesEach; ++f) {
      std::snprintf(name, sizeof name, "f%05d-%03d.txt", p, f);
      const std::string file = builder.File(physical[static_cast<std::size_t>(p)], name,
                                            content + std::to_string(f), f % 20 == 7);
      if (f % 100 == 3 && p + 1 < projects) {
        builder.Share(file, physical[static_cast<std::size_t>(p) + 1]);
      }
    }
  }
  builder.Write(root);
}

struct Run {
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  TimedHost host;
  vss6::Vss6Database database;
};

// The open, the search and (with `refusals`) the pass that asks the engine what it would refuse;
// the longest gap between turns is that of the search, or of the pass alone.
void Search(Run& run, const fs::path& root, bool refusals) {
  run.database.Open(root.string(), "Admin", "");
  run.host.longest = 0;  // the open is one call, before the window's first turn
  run.host.last = Clock::now();
  wizardcore::Search(run.host, run.list, run.items)
      .SearchVssItem(run.database.VSSItem("$/", false));
  if (refusals) {
    run.host.longest = 0;
    wizardcore::MarkRefused(run.host, run.list);
  }
}

std::string Listed(const Run& run) {
  int refused = 0;
  for (int index = 0; index < run.list.Size(); ++index) {
    refused += run.list[index].refusal.empty() ? 0 : 1;
  }
  return std::to_string(run.list.Size()) + " listed, " + std::to_string(refused) +
         " refused; the longest gap in " + run.host.where;
}

// A fresh copy of the database, written out to disk before anything is measured: a purge's syncs
// would otherwise wait for the copy's own writes.
void Copy(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to, fs::copy_options::recursive);
  ::sync();
}

// One size's figures, by name.
using Figures = std::map<std::string, Figure>;

Figures Measure(int files) {
  const testing_support::TempDir dir;
  const fs::path made = dir / "made";
  // Written by a child, so that this process stays small and each run's peak is its own.
  const Figure written = InChild([&] {
    Generate(made, files, 200);
    return std::pair(0.0, std::string());
  });
  ::sync();
  std::cout << files << " files: written in " << written.ms << " ms" << std::endl;
  const fs::path data = made / "data";
  Figures figures;
  ReadEverything(data);  // warm
  figures["floor"].ms = BestMilliseconds([&] { ReadEverything(data); }, 3);
  figures["listing"] = InChild([&] {
    Run run;
    Search(run, made, false);
    return std::pair(run.host.longest, Listed(run));
  });
  figures["refusals"] = InChild([&] {
    Run run;
    Search(run, made, true);
    return std::pair(run.host.longest, Listed(run));
  });
  const fs::path scratch = dir / "scratch";
  for (const bool keep : {false, true}) {
    Copy(made, scratch);
    ReadEverything(scratch / "data");
    figures[keep ? "purge+copy" : "purge"] = InChild([&] {
      Run run;
      Search(run, scratch, true);
      const auto start = Clock::now();
      if (keep) {
        wizardcore::KeepCopy(run.host, run.list, {scratch.string(), "Admin"}, dir / "kept");
      }
      wizardcore::Purge purge(run.host, run.list, run.items, &run.database);
      run.host.longest = 0;
      purge.PurgeVssItems();
      const wizardcore::PurgeSummary& summary = purge.Summary();
      char said[200];
      std::snprintf(said, sizeof said, "%d destroyed, %d failed, %d kept; purge alone %.0f ms",
                    summary.destroyed, summary.failed, summary.kept, MsSince(start));
      return std::pair(
          run.host.longest,
          std::string(said) +
              (run.host.failures > 0 ? " (" + run.host.lastFailure + ")" : std::string()));
    });
    fs::remove_all(dir / "kept");
  }
  // What a destroy must read first: every project's entry file, for the cross-reference counts.
  figures["crossref"] = InChild([&] {
    vss6::DataFolder folder(made / "data");
    return std::pair(0.0, std::to_string(vss6::CountEntries(folder).size()) + " items named");
  });
  figures["check"] = InChild([&] {
    vss6::Vss6Database database;
    const std::vector<std::string> faults = database.Check(scratch.string());
    return std::pair(0.0, std::to_string(faults.size()) + " faults after the purge" +
                              (faults.empty() ? "" : ": " + faults.front()));
  });
  // The window: List All to the selection page (open, search, the refusal pass), then its purge
  // (with the copy kept first), through the real window offscreen (wizard_bench's inner run).
  Copy(made, scratch);
  ReadEverything(scratch / "data");
  figures["window"] = InChild([&] {
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
      ::setenv(folder, (dir / "home" / folder).c_str(), 1);
    }
    const std::string out = (dir / "window.out").string();
    const pid_t child = ::fork();
    if (child == 0) {
      const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, STDOUT_FILENO);
      ::execl(SCOURWELL_WIZARD_BENCH, SCOURWELL_WIZARD_BENCH, "--wizard", scratch.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int waited = 0;
    ::waitpid(child, &waited, 0);
    std::map<std::string, double> read;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) {
      if (const auto equals = line.find('='); equals != std::string::npos) {
        read[line.substr(0, equals)] = std::stod(line.substr(equals + 1));
      }
    }
    char said[200];
    std::snprintf(said, sizeof said,
                  "List All to the selection page %.0f ms (gap %.1f ms), its purge %.0f ms (gap "
                  "%.1f ms), %.0f left, peak %.1f MiB",
                  read["search_ms"], read["search_gap_ms"], read["purge_ms"], read["purge_gap_ms"],
                  read["left"], read["peak_mib"]);
    if (!WIFEXITED(waited) || WEXITSTATUS(waited) != 0) {
      throw std::runtime_error("the window's run failed");
    }
    return std::pair(std::max(read["search_gap_ms"], read["purge_gap_ms"]), std::string(said));
  });
  Copy(made, scratch);
  ReadEverything(scratch / "data");
  figures["destroy"] = InChild([&] {
    vss6::Vss6Database database;
    database.Open(scratch.string(), "Admin", "");
    database.VSSItem("$/Proj00000/f00000-007.txt", true)->Destroy();
    return std::pair(0.0, std::string("one file"));
  });
  return figures;
}

int Large(const std::vector<int>& sizes) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line as it is printed
  std::vector<Figures> all;
  for (const int files : sizes) {
    all.push_back(Measure(files));
    const Figures& figures = all.back();
    const double floor = figures.at("floor").ms;
    std::printf("  floor (read every file of data/ once, warm) %8.0f ms\n", floor);
    for (const char* name :
         {"listing", "refusals", "purge", "purge+copy", "window", "crossref", "check", "destroy"}) {
      const Figure& figure = figures.at(name);
      std::printf("  %-11s %8.0f ms  %5.2fx the floor  peak %6.1f MiB  gap %6.1f ms  %s%s\n", name,
                  figure.ms, figure.ms / floor, figure.peakMiB, figure.gapMs, figure.said.c_str(),
                  figure.ok ? "" : " (FAILED)");
    }
  }
  for (std::size_t i = 1; i < all.size(); ++i) {
    std::printf("%d files against %d (%.1f times the files):", sizes[i], sizes[i - 1],
                static_cast<double>(sizes[i]) / sizes[i - 1]);
    for (const char* name : {"floor", "listing", "refusals", "purge", "purge+copy", "window",
                             "crossref", "check", "destroy"}) {
      std::printf(" %s %.2f", name, all[i].at(name).ms / all[i - 1].at(name).ms);
    }
    std::printf("\n");
  }
  // A single destroy beside the first size's: twice that, and the cross-reference read it needs.
  for (std::size_t i = 1; i < all.size(); ++i) {
    std::printf(
        "a single destroy at %d files: %.0f ms; twice that at %d files and the "
        "cross-reference read: %.0f ms\n",
        sizes[i], all[i].at("destroy").ms, sizes[0],
        2 * all[0].at("destroy").ms + all[i].at("crossref").ms);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--make") {
    Generate(argv[2], std::stoi(argv[3]), 200);  // a database to look at, or to profile
    return 0;
  }
  if (argc > 1 && std::string(argv[1]) == "--large") {
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
      sizes.push_back(std::stoi(argv[i]));
    }
    return Large(sizes.empty() ? std::vector<int>{12500, 50000, 200000} : sizes);
  }
  const fs::path data = argc > 1 ? fs::path(argv[1])
                                 : fs::path(SCOURWELL_SHARED_DIR) / "realvss" /
                                       "shukladhaval25_Inventory-Shaili" / "data";
  const std::string codePage = argc > 2 ? argv[2] : "CP1252";
  if (!fs::exists(data)) {
    std::cerr << "vss6_bench: no database at " << data << '\n';
    return 2;
  }
  constexpr int kRounds = 20;
  int deleted = 0;
  std::uintmax_t bytes = 0;
  const double list = BestMilliseconds([&] { deleted = ListDeleted(data, codePage); }, kRounds);
  const double floor = BestMilliseconds([&] { bytes = ReadEverything(data); }, kRounds);
  std::cout << "list the deleted items of " << data.parent_path().filename().string() << " ("
            << deleted << " deleted): " << list << " ms; read all " << bytes
            << " bytes of data/: " << floor << " ms; ratio " << list / floor
            << " (target: at most 3)\n";
  // The listing in a child of its own, so that its peak memory is its alone.
  constexpr int kDepth = 5000;
  testing_support::Vss6Builder builder;
  std::string project = testing_support::Vss6Builder::kRoot;
  for (int level = 0; level < kDepth; ++level) {
    project = builder.Project(project, "level" + std::to_string(level));
  }
  builder.File(project, "bottom.txt", "x", true);
  const testing_support::TempDir deep;
  builder.Write(deep.Path());
  const Figure figure = InChild(
      [&] { return std::pair(0.0, std::to_string(ListDeleted(deep.Path() / "data", "CP1252"))); });
  std::cout << "list a crafted tree " << kDepth << " projects deep: " << figure.ms << " ms, peak "
            << figure.peakMiB << " MiB" << (figure.ok && figure.said == "1" ? "" : " (failed)")
            << " (target: well under 300 MiB)\n";
  return 0;
}
