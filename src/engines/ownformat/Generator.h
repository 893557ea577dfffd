#pragma once

#include <cstdint>
#include <filesystem>

namespace sourcesafe {

struct GenerateOptions {
  std::int64_t items = 0;        // items below the root, projects and files together
  double deletedFraction = 0.0;  // of the items, marked deleted
  std::uint64_t seed = 1;
  std::size_t fileBytes = 0;  // each file's content padded to at least this many bytes
};

struct GenerateResult {
  std::int64_t projects = 0;
  std::int64_t files = 0;
  std::int64_t deleted = 0;
};

// Makes a new database in `folder` holding a random tree: projects nested up to 8 deep, about
// one project for every ten files, a share of the items marked deleted. The same options give
// the same tree.
GenerateResult GenerateDatabase(const std::filesystem::path& folder,
                                const GenerateOptions& options);

}  // namespace sourcesafe
