#include <chrono>

#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Transaction.h"
#include "support/Process.h"

namespace engine_test {
namespace {

TEST_F(EngineTest, TwoProcessesWritingAtOnceLoseNothing) {
  admin->MakeProject("$/A");
  admin->MakeProject("$/B");
  constexpr int kRounds = 15;
  for (int i = 0; i < kRounds; ++i) {
    // Each round starts two writers together; each must wait for the other's lock, not fail.
    testing_support::Process a({SCOURWELL_VSSDB, "add", Dir(), "$/A/f" + std::to_string(i)},
                               (folder / "a.out").string());
    testing_support::Process b({SCOURWELL_VSSDB, "add", Dir(), "$/B/f" + std::to_string(i)},
                               (folder / "b.out").string());
    ASSERT_EQ(a.Wait(), 0) << "round " << i;
    ASSERT_EQ(b.Wait(), 0) << "round " << i;
  }
  EXPECT_EQ(admin->Children(admin->Find("$/A", false), true).size(), std::size_t{kRounds});
  EXPECT_EQ(admin->Children(admin->Find("$/B", false), true).size(), std::size_t{kRounds});
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*admin).empty());
}

TEST_F(EngineTest, ALockHeldLongerThanTheBusyTimeoutFailsClearlyAndChangesNothing) {
  AddFile("$/f");
  Delete("$/f");
  sourcesafe::OpenOptions options;
  options.busyTimeout = std::chrono::milliseconds(200);
  const auto impatient = Session::Open(Dir(), "Admin", "", options);
  const ItemRecord listed = impatient->Find("$/f", true);

  sqlite::Connection other(folder / "db" / "data.vssdb", sqlite::Connection::Mode::ReadWrite);
  {
    sqlite::Transaction holder(other, sqlite::Transaction::Kind::Immediate);
    const auto start = std::chrono::steady_clock::now();
    std::string description;
    EXPECT_EQ(ErrorNumberOf([&] { impatient->Destroy(listed); }, &description),
              N(ErrorCode::kLockTimeout));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_NE(description.find("locked by another user"), std::string::npos) << description;
  }
  // Once the lock is gone the same object may go ahead: nothing was half done.
  impatient->Destroy(listed);
  EXPECT_TRUE(admin->Children(admin->Root(), true).empty());
}

}  // namespace
}  // namespace engine_test
