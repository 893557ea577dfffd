#include <random>
#include <thread>

#include "EngineFixture.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Integrity.h"
#include "support/Process.h"

namespace engine_test {
namespace {

std::vector<std::string> DeletedSpecs(Session& session) {
  std::vector<std::string> specs;
  std::vector<ItemRecord> pending{session.Root()};
  while (!pending.empty()) {
    const ItemRecord item = pending.back();
    pending.pop_back();
    if (item.deleted) {
      specs.push_back(item.spec);
    }
    for (ItemRecord& child : session.Children(item, true)) {
      pending.push_back(std::move(child));
    }
  }
  return specs;
}

// A purge killed at random moments leaves every item whole or wholly gone: the database stays
// sound, and what is still marked deleted is what a new search finds. Every other round saves
// its destroys in groups, as the window's purge does.
TEST(KillTest, APurgeKilledAtAnyMomentLeavesTheDatabaseSound) {
  testing_support::TempDir folder;
  const std::string dir = (folder / "db").string();
  sourcesafe::GenerateDatabase(dir, {3000, 0.3, 11});
  std::mt19937 random(5);
  std::size_t before = 0;
  sourcesafe::OpenOptions current;
  current.readAheadLifetime = std::chrono::milliseconds(0);
  for (int round = 0; round < 12; ++round) {
    {
      const auto session = Session::Open(dir, "Admin", "", current);
      before = DeletedSpecs(*session).size();
      if (before == 0) {
        break;
      }
    }
    std::vector<std::string> argv{SCOURWELL_PURGE_HELPER, dir};
    if (round % 2 == 1) {
      argv.push_back("grouped");
    }
    testing_support::Process purge(argv, (folder / "out").string());
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + random() % 400));
    purge.Kill();

    const auto session = Session::Open(dir, "Admin", "", current);  // rolls back a torn destroy
    EXPECT_TRUE(sourcesafe::CheckIntegrity(*session).empty()) << "round " << round;
    EXPECT_LE(DeletedSpecs(*session).size(), before);
  }
  const auto check = testing_support::RunCommand({SCOURWELL_VSSDB, "check", dir});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
}

}  // namespace
}  // namespace engine_test
