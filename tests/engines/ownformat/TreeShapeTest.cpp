// Property test: trees of every shape a data file can hold, cycles and over-deep chains among
// them, written straight into the file. Whatever the shape, the walk and the destroy end, meet
// no item twice, never take the root, and say what is wrong.
#include <map>
#include <random>
#include <set>

#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Names.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace engine_test {
namespace {

using sourcesafe::kRootId;

// Item i + 1 has parent[i] (0: none); item 1 is the root.
struct Shape {
  std::vector<std::int64_t> parent;
  std::vector<bool> deleted;
  const char* kind = "";
};

Shape RandomShape(std::mt19937_64& random) {
  const auto below = [&](std::uint64_t n) { return static_cast<std::int64_t>(random() % n); };
  Shape shape;
  const int kind = static_cast<int>(random() % 4);
  const std::int64_t count = kind == 1 ? 250 + below(30) : 2 + below(40);
  shape.parent.assign(static_cast<std::size_t>(count), 0);
  shape.deleted.assign(static_cast<std::size_t>(count), false);
  for (std::int64_t id = 2; id <= count; ++id) {
    std::int64_t& parent = shape.parent[static_cast<std::size_t>(id - 1)];
    parent = kind == 1 ? id - 1 : 1 + below(static_cast<std::uint64_t>(id - 1));  // a tree
    shape.deleted[static_cast<std::size_t>(id - 1)] = random() % 3 == 0;
  }
  switch (kind) {
    case 0:
      shape.kind = "tree";
      break;
    case 1:
      shape.kind = "deep chain";
      break;
    case 2:  // the root below one of its own items, or itself
      shape.kind = "root in a cycle";
      shape.parent[0] = 1 + below(static_cast<std::uint64_t>(count));
      break;
    default:  // a few items turned to point anywhere: cycles away from the root, self-parents
      shape.kind = "cycles away from the root";
      for (int turned = 0; turned < 3; ++turned) {
        shape.parent[static_cast<std::size_t>(1 + below(static_cast<std::uint64_t>(count - 1)))] =
            1 + below(static_cast<std::uint64_t>(count));
      }
      break;
  }
  return shape;
}

class TreeShapeTest : public EngineTest {
 protected:
  void Write(const Shape& shape) {
    sqlite::Connection raw(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadWrite);
    sqlite::Transaction transaction(raw, sqlite::Transaction::Kind::Immediate);
    raw.Execute("DELETE FROM contents; DELETE FROM items WHERE id <> 1");
    sqlite::Statement root(raw, "UPDATE items SET parent = ?1 WHERE id = 1");
    if (shape.parent[0] != 0) {
      root.Bind(1, shape.parent[0]);
    }
    root.Run();
    // Every item is a project: any of them may have children.
    sqlite::Statement item(raw,
                           "INSERT INTO items (id, parent, name, fold, is_project, deleted)"
                           " VALUES (?1, ?2, ?3, ?3, 1, ?4)");
    for (std::size_t i = 1; i < shape.parent.size(); ++i) {
      item.Reset();
      item.Bind(1, static_cast<std::int64_t>(i + 1))
          .Bind(2, shape.parent[i])
          .Bind(3, "n" + std::to_string(i + 1))
          .Bind(4, std::int64_t{shape.deleted[i] ? 1 : 0})
          .Run();
    }
    transaction.Commit();
  }

  // The items a walk from the root can reach within the depth limit, by the shape alone.
  static std::set<std::int64_t> Reachable(const Shape& shape) {
    std::multimap<std::int64_t, std::int64_t> children;
    for (std::size_t i = 1; i < shape.parent.size(); ++i) {
      children.emplace(shape.parent[i], static_cast<std::int64_t>(i + 1));
    }
    std::set<std::int64_t> reached{kRootId};
    std::vector<std::pair<std::int64_t, std::size_t>> pending{{kRootId, 0}};
    while (!pending.empty()) {
      const auto [id, depth] = pending.back();
      pending.pop_back();
      const auto [first, last] = children.equal_range(id);
      if (depth == sourcesafe::kMaxSpecDepth && first != last) {
        continue;  // the engine does not read past the limit
      }
      for (auto child = first; child != last; ++child) {
        if (reached.insert(child->second).second) {
          pending.emplace_back(child->second, depth + 1);
        }
      }
    }
    return reached;
  }
};

TEST_F(TreeShapeTest, WalksAndDestroysEndOnEveryShapeAndNeverTakeTheRoot) {
  sourcesafe::OpenOptions options;
  options.readAheadLifetime = std::chrono::milliseconds(0);  // the file changes under the session
  admin = Session::Open(Dir(), "Admin", "", options);
  std::mt19937_64 random(20261207);
  for (int round = 0; round < 100; ++round) {
    const Shape shape = RandomShape(random);
    SCOPED_TRACE("round " + std::to_string(round) + ": " + shape.kind + " of " +
                 std::to_string(shape.parent.size()) + " items");
    Write(shape);
    const bool rootInCycle = shape.parent[0] != 0;

    // The walk: each item at most once, failures only of the kinds that say what is wrong.
    std::set<std::int64_t> seen;
    std::vector<ItemRecord> deleted;
    std::vector<ItemRecord> pending;
    const std::int32_t rootError = ErrorNumberOf([&] { pending.push_back(admin->Root()); });
    EXPECT_EQ(rootError, rootInCycle ? N(ErrorCode::kDamaged) : 0);
    while (!pending.empty()) {
      const ItemRecord item = pending.back();
      pending.pop_back();
      ASSERT_TRUE(seen.insert(item.id).second) << item.spec << " met twice";
      if (item.deleted) {
        deleted.push_back(item);
      }
      const std::int32_t error = ErrorNumberOf([&] {
        for (ItemRecord& child : admin->Children(item, true)) {
          pending.push_back(std::move(child));
        }
      });
      EXPECT_TRUE(error == 0 || error == N(ErrorCode::kInvalidName)) << error;
    }
    if (!rootInCycle) {
      EXPECT_EQ(seen, Reachable(shape));
    }

    // The check ends too, and finds the cycle through the root.
    const std::vector<std::string> faults = sourcesafe::CheckIntegrity(*admin);
    EXPECT_EQ(rootInCycle, std::any_of(faults.begin(), faults.end(), [](const std::string& f) {
                return f.find("runs round a cycle") != std::string::npos;
              }));

    // Destroys, the deepest first as a purge does them; with the root in a cycle, of every item.
    if (rootInCycle) {
      for (std::size_t i = 1; i < shape.parent.size(); ++i) {
        ItemRecord item;
        item.id = static_cast<std::int64_t>(i + 1);
        item.spec = "$/n" + std::to_string(item.id);
        item.isProject = true;
        item.version = 1;
        deleted.push_back(item);
      }
    }
    for (auto item = deleted.rbegin(); item != deleted.rend(); ++item) {
      const std::int32_t error = ErrorNumberOf([&] { admin->Destroy(*item); });
      EXPECT_TRUE(error == 0 || error == N(ErrorCode::kItemChanged) ||
                  error == N(ErrorCode::kDamaged))
          << error;
    }
    sqlite::Connection raw(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadOnly);
    sqlite::Statement root(raw, "SELECT count(*) FROM items WHERE id = 1");
    ASSERT_TRUE(root.Step());
    EXPECT_EQ(root.Int(0), 1) << "the root was destroyed";
  }
}

}  // namespace
}  // namespace engine_test
