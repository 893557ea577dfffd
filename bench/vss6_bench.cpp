// Listing the deleted items of a SourceSafe 6 database beside the floor that storage sets:
// reading every byte of its data folder once. Both run on a warm cache, best of several rounds.
// Where the tests' database builder is built too, also the memory a listing of a crafted tree
// 5,000 projects deep takes.
//   vss6_bench [DATA_FOLDER [CODE_PAGE]]   (default: the largest shared database)
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "engines/vss6/Vss6Tree.h"

#if defined(SCOURWELL_DEEP_TREE)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "support/Vss6Builder.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

int ListDeleted(const std::filesystem::path& data, const std::string& codePage) {
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

std::uintmax_t ReadEverything(const std::filesystem::path& data) {
  std::uintmax_t bytes = 0;
  std::vector<char> buffer(1 << 16);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
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
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path data = argc > 1
                                         ? std::filesystem::path(argv[1])
                                         : std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" /
                                               "shukladhaval25_Inventory-Shaili" / "data";
  const std::string codePage = argc > 2 ? argv[2] : "CP1252";
  if (!std::filesystem::exists(data)) {
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
#if defined(SCOURWELL_DEEP_TREE)
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
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(ListDeleted(deep.Path() / "data", "CP1252") == 1 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  const double milliseconds =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  std::cout << "list a crafted tree " << kDepth << " projects deep: " << milliseconds
            << " ms, peak " << static_cast<double>(usage.ru_maxrss) / 1024.0 << " MiB"
            << (status == 0 ? "" : " (the listing failed)") << " (target: well under 300 MiB)\n";
#endif
  return 0;
}
