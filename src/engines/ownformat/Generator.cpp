#include "engines/ownformat/Generator.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {
namespace {

constexpr int kMaxDepth = 8;
constexpr const char* kExtensions[] = {".cpp", ".h", ".txt", ".frm", ".bas"};

struct Project {
  std::int64_t id;
  int depth;
};

}  // namespace

GenerateResult GenerateDatabase(const std::filesystem::path& folder,
                                const GenerateOptions& options) {
  if (options.items < 0 || !(options.deletedFraction >= 0.0 && options.deletedFraction <= 1.0)) {
    throw EngineError(ErrorCode::kInvalidArgument,
                      "The item count must not be negative and the deleted fraction must lie "
                      "between 0 and 1");
  }
  CreateDatabase(folder);
  const std::unique_ptr<Session> session = Session::Open(folder.string(), "Admin", "");
  sqlite::Connection& connection = session->Connection();
  GenerateResult result;
  WithStorageErrors(session->Location().dataFile, [&] {
    sqlite::Transaction transaction(connection, sqlite::Transaction::Kind::Immediate);
    sqlite::Statement insertItem(connection,
                                 "INSERT INTO items (parent, name, fold, is_project, size)"
                                 " VALUES (?1, ?2, ?3, ?4, ?5)");
    sqlite::Statement insertContent(connection,
                                    "INSERT INTO contents (item, data) VALUES (?1, ?2)");
    // mt19937_64 gives the same sequence everywhere; the mapping to ranges below is our own so
    // that the tree does not depend on the standard library's distributions.
    std::mt19937_64 random(options.seed);
    const auto below = [&](std::uint64_t bound) { return random() % bound; };

    std::vector<Project> projects{{kRootId, 0}};
    std::vector<std::size_t> nestable{0};  // indexes of projects that may hold a project
    std::vector<std::int64_t> ids;
    ids.reserve(static_cast<std::size_t>(options.items));
    for (std::int64_t n = 1; n <= options.items; ++n) {
      const bool isProject = below(11) == 0;
      const Project parent =
          isProject ? projects[nestable[below(nestable.size())]] : projects[below(projects.size())];
      const std::string name = isProject ? "Project" + std::to_string(n)
                                         : "file" + std::to_string(n) + kExtensions[n % 5];
      std::string content =
          isProject ? std::string() : "generated file " + std::to_string(n) + "\n";
      if (!isProject && content.size() < options.fileBytes) {
        content.resize(options.fileBytes, 'x');
      }
      insertItem.Reset();
      insertItem.Bind(1, parent.id)
          .Bind(2, name)
          .Bind(3, FoldName(name))
          .Bind(4, std::int64_t{isProject ? 1 : 0})
          .Bind(5, static_cast<std::int64_t>(content.size()))
          .Run();
      const std::int64_t id = connection.LastInsertRowId();
      ids.push_back(id);
      if (isProject) {
        projects.push_back({id, parent.depth + 1});
        if (parent.depth + 1 < kMaxDepth) {
          nestable.push_back(projects.size() - 1);
        }
        ++result.projects;
      } else {
        insertContent.Reset();
        insertContent.Bind(1, id)
            .BindBlob(2, {reinterpret_cast<const unsigned char*>(content.data()), content.size()})
            .Run();
        ++result.files;
      }
    }
    // A partial shuffle picks the deleted items without repeats.
    result.deleted = std::llround(options.deletedFraction * static_cast<double>(options.items));
    sqlite::Statement markDeleted(connection,
                                  "UPDATE items SET deleted = 1, version = 2 WHERE id = ?1");
    sqlite::Statement recordDeleted(
        connection, "INSERT INTO deletions (item, time, user) VALUES (?1, ?2, 'Admin')");
    // Deleted over the last three years, so that a list has old and new deletes to tell apart.
    const std::int64_t now = WallClockNow();
    constexpr std::uint64_t kThreeYears = 3ULL * 365 * 24 * 60 * 60;
    for (std::int64_t i = 0; i < result.deleted; ++i) {
      const std::size_t pick = static_cast<std::size_t>(i) + below(ids.size() - i);
      std::swap(ids[static_cast<std::size_t>(i)], ids[pick]);
      markDeleted.Reset();
      markDeleted.Bind(1, ids[static_cast<std::size_t>(i)]).Run();
      recordDeleted.Reset();
      recordDeleted.Bind(1, ids[static_cast<std::size_t>(i)])
          .Bind(2, now - static_cast<std::int64_t>(below(kThreeYears)))
          .Run();
    }
    transaction.Commit();
  });
  return result;
}

}  // namespace sourcesafe
