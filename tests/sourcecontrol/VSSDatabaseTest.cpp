#include <gtest/gtest.h>

#include "engines/common/EngineError.h"
#include "engines/factory/NewVSSDatabase.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "errors/ErrorRecord.h"
#include "platform/sqlite/Connection.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "support/Raised.h"
#include "support/TempDir.h"

namespace {

using sourcecontrol::IVSSDatabase;
using sourcecontrol::IVSSItem;
using sourcesafe::ErrorCode;

std::int32_t N(ErrorCode code) { return static_cast<std::int32_t>(code); }

using testing_support::RaisedBy;

class VSSDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sourcesafe::CreateDatabase(Dir());
    auto setup = sourcesafe::Session::Open(Dir(), "Admin", "");
    setup->MakeProject("$/P/Q");
    const unsigned char five[] = {1, 2, 3, 4, 5};
    setup->AddFile("$/P/b", five);
    setup->AddFile("$/P/a", {});
    setup->Delete(setup->Find("$/P/a", false));
    setup->AddFile("$/P/Q/c", {});
    setup->Delete(setup->Find("$/P/Q", false));
    database->Open(Dir(), "Admin", "");
  }

  std::string Dir() const { return (folder / "db").string(); }

  // Spec, kind, size and deleted mark of everything below `item`, depth first, as the wizard
  // walks.
  void Walk(IVSSItem& item, std::vector<std::string>& seen) {
    seen.push_back(item.Spec() + (item.Type() == sourcecontrol::ItemType::Project ? " P" : " F") +
                   std::to_string(item.Size()) + (item.Deleted() ? " (deleted)" : ""));
    const std::shared_ptr<sourcecontrol::IVSSItems> children = item.Items(true);
    for (const std::shared_ptr<IVSSItem> child : *children) {
      Walk(*child, seen);
    }
  }

  testing_support::TempDir folder;
  std::shared_ptr<IVSSDatabase> database = sourcecontrol::NewVSSDatabase(Dir());
};

TEST_F(VSSDatabaseTest, WalksTheWholeTreeWithDeletedItemsInTheEnginesOrder) {
  std::vector<std::string> seen;
  Walk(*database->VSSItem("$/", false), seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"$/ P0", "$/P P0", "$/P/a F0 (deleted)", "$/P/b F5",
                                            "$/P/Q P0 (deleted)", "$/P/Q/c F0"}));
  EXPECT_EQ(database->VSSItem("$/P", false)->Items(false)->Count(), 1);
}

TEST_F(VSSDatabaseTest, EngineFailuresAreRaisedAsErrorRecordsWithTheEnginesNumber) {
  const auto failed =
      RaisedBy([&] { sourcecontrol::NewVSSDatabase(Dir())->Open(Dir(), "Admin", "x"); });
  EXPECT_EQ(failed.Number(), N(ErrorCode::kInvalidPassword));
  EXPECT_EQ(failed.Description(), "Invalid password");

  const auto missing = RaisedBy([&] { database->VSSItem("$/nothing", false); });
  EXPECT_EQ(missing.Number(), N(ErrorCode::kItemNotFound));
  EXPECT_NE(missing.Description().find("$/nothing"), std::string::npos);

  const auto unopened =
      RaisedBy([&] { sourcecontrol::NewVSSDatabase(Dir())->VSSItem("$/", false); });
  EXPECT_EQ(unopened.Number(), N(ErrorCode::kNotOpen));

  const auto beyond = RaisedBy([&] { database->VSSItem("$/P", false)->Items(true)->Item(4); });
  EXPECT_NE(beyond.Number(), 0);
}

TEST_F(VSSDatabaseTest, ADestroyedItemCanNoLongerBeUsed) {
  const std::shared_ptr<IVSSItem> item = database->VSSItem("$/P/a", true);
  item->Destroy();
  EXPECT_EQ(RaisedBy([&] { item->Spec(); }).Number(), N(ErrorCode::kItemNotFound));
  EXPECT_EQ(RaisedBy([&] { item->Destroy(); }).Number(), N(ErrorCode::kItemNotFound));
  EXPECT_EQ(database->VSSItem("$/P", false)->Items(true)->Count(), 2);
}

TEST_F(VSSDatabaseTest, MayDestroyFollowsTheUsersRightAsTheDatabaseHoldsItNow) {
  EXPECT_TRUE(database->MayDestroy());  // Admin
  auto admin = sourcesafe::Session::Open(Dir(), "Admin", "");
  admin->AddUser("Guest", "pw", false);
  admin->AddUser("Editor", "pw", true);
  const auto guest = sourcecontrol::NewVSSDatabase(Dir());
  guest->Open(Dir(), "Guest", "pw");
  EXPECT_FALSE(guest->MayDestroy());
  const auto editor = sourcecontrol::NewVSSDatabase(Dir());
  editor->Open(Dir(), "Editor", "pw");
  EXPECT_TRUE(editor->MayDestroy());
  admin->Connection().Execute("UPDATE users SET can_destroy = 0 WHERE name = 'Editor'");
  EXPECT_FALSE(editor->MayDestroy());
  EXPECT_EQ(RaisedBy([&] { sourcecontrol::NewVSSDatabase(Dir())->MayDestroy(); }).Number(),
            N(ErrorCode::kNotOpen));
}

// An item below a deleted project would come back out of sight: refused until the project is
// recovered, with nothing changed.
TEST_F(VSSDatabaseTest, AnItemInsideADeletedProjectIsRecoveredOnlyAfterTheProject) {
  auto setup = sourcesafe::Session::Open(Dir(), "Admin", "");
  setup->MakeProject("$/P/R");
  setup->AddFile("$/P/R/d", {});
  setup->Delete(setup->Find("$/P/R/d", false));
  setup->Delete(setup->Find("$/P/R", false));
  const std::shared_ptr<IVSSItem> project = database->VSSItem("$/P", false)->Items(true)->Item(4);
  ASSERT_EQ(project->Spec(), "$/P/R");
  const std::shared_ptr<IVSSItem> inside = project->Items(true)->Item(1);
  ASSERT_EQ(inside->Spec(), "$/P/R/d");
  const auto refused = RaisedBy([&] { inside->Recover(); });
  EXPECT_EQ(refused.Number(), N(ErrorCode::kDestroyNotWritten));
  EXPECT_NE(refused.Description().find("recover the project first"), std::string::npos);
  project->Recover();
  EXPECT_TRUE(setup->Find("$/P/R/d", true).deleted);
  inside->Recover();
  EXPECT_FALSE(setup->Find("$/P/R/d", false).deleted);
}

class FakeDatabase final : public IVSSDatabase {
 public:
  void Open(const std::string& path, const std::string&, const std::string&) override {
    opened = path;
  }
  std::shared_ptr<IVSSItem> VSSItem(const std::string&, bool) override { return nullptr; }
  bool MayDestroy() override { return false; }
  std::vector<std::string> Check(const std::string&) override { return {}; }
  std::string opened;
};

TEST(VSSDatabaseFactoryTest, TestsCanPutTheirOwnDatabaseInPlaceForAWhile) {
  auto fake = std::make_shared<FakeDatabase>();
  {
    sourcecontrol::ScopedVSSDatabaseFactory scope([&] { return fake; });
    sourcecontrol::NewVSSDatabase("/somewhere")->Open("/somewhere", "u", "p");
  }
  EXPECT_EQ(fake->opened, "/somewhere");
  EXPECT_NE(sourcecontrol::NewVSSDatabase("/somewhere"), fake);
}

}  // namespace
