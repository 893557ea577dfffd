// The database engine's speed where the wizard needs it: the full depth-first walk through
// Items (deleted items included) beside one plain SQL scan of the same items, the floor that
// storage sets, and the rate of durable single-file destroys.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "engines/factory/NewVSSDatabase.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Session.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"

namespace {

constexpr std::int64_t kWalkItems = 100000;
constexpr int kDestroys = 1000;

// A folder that lives as long as the program.
const std::filesystem::path& BenchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "scourwell-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a temporary folder");
    }
    return std::filesystem::path(pattern);
  }();
  return folder;
}

const std::filesystem::path& WalkDatabase() {
  static const std::filesystem::path dir = [] {
    const std::filesystem::path path = BenchFolder() / "walk";
    sourcesafe::GenerateDatabase(path, {kWalkItems, 0.1, 1});
    return path;
  }();
  return dir;
}

std::int64_t Walk(sourcecontrol::IVSSItem& item) {
  std::int64_t seen = 1;
  benchmark::DoNotOptimize(item.Deleted());
  benchmark::DoNotOptimize(item.Spec());
  const std::shared_ptr<sourcecontrol::IVSSItems> children = item.Items(true);
  for (const std::shared_ptr<sourcecontrol::IVSSItem> child : *children) {
    seen += Walk(*child);
  }
  return seen;
}

void BM_EngineWalk(benchmark::State& state) {
  const auto database = sourcecontrol::NewVSSDatabase(WalkDatabase().string());
  database->Open(WalkDatabase().string(), "Admin", "");
  std::int64_t seen = 0;
  for (auto _ : state) {
    seen = Walk(*database->VSSItem("$/", false));
  }
  state.counters["items"] = static_cast<double>(seen);
}
BENCHMARK(BM_EngineWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlainScan(benchmark::State& state) {
  sqlite::Connection db(WalkDatabase() / "data.vssdb", sqlite::Connection::Mode::ReadOnly);
  std::int64_t seen = 0;
  for (auto _ : state) {
    sqlite::Statement scan(db,
                           "SELECT id, parent, name, is_project, deleted, version, size"
                           " FROM items");
    seen = 0;
    while (scan.Step()) {
      benchmark::DoNotOptimize(scan.Text(2));
      ++seen;
    }
  }
  state.counters["items"] = static_cast<double>(seen);
}
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DestroyFile(benchmark::State& state) {
  const std::filesystem::path dir = BenchFolder() / "destroy";
  std::filesystem::remove_all(dir);
  sourcesafe::GenerateDatabase(dir, {20000, 0.1, 2});
  const auto session = sourcesafe::Session::Open(dir.string(), "Admin", "");
  std::vector<sourcesafe::ItemRecord> doomed;
  std::vector<sourcesafe::ItemRecord> pending{session->Root()};
  while (!pending.empty()) {
    const sourcesafe::ItemRecord item = pending.back();
    pending.pop_back();
    if (item.deleted && !item.isProject) {
      doomed.push_back(item);
    }
    for (sourcesafe::ItemRecord& child : session->Children(item, true)) {
      pending.push_back(std::move(child));
    }
  }
  std::size_t next = 0;
  for (auto _ : state) {
    session->Destroy(doomed.at(next++));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(next));
}
BENCHMARK(BM_DestroyFile)->Unit(benchmark::kMillisecond)->Iterations(kDestroys)->UseRealTime();

// Prints the figures the targets are stated in, after the usual table.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
      if (run.counters.count("items_per_second") != 0) {
        rates_[run.run_name.function_name] = run.counters.at("items_per_second");
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (seconds_.count("BM_EngineWalk") != 0 && seconds_.count("BM_PlainScan") != 0) {
      std::cout << "walk of " << kWalkItems << " items: " << seconds_["BM_EngineWalk"]
                << " ms, plain scan: " << seconds_["BM_PlainScan"] << " ms, ratio "
                << seconds_["BM_EngineWalk"] / seconds_["BM_PlainScan"] << " (target: at most 8)\n";
    }
    if (rates_.count("BM_DestroyFile") != 0) {
      std::cout << "durable single-file destroys: " << rates_["BM_DestroyFile"]
                << " a second (target: at least 500)\n";
    }
  }

 private:
  std::map<std::string, double> seconds_;
  std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchFolder());
  return 0;
}
