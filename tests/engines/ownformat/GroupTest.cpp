// Destroys saved in groups: what another session sees, what a crash loses, and a destroy that
// fails inside a group.
#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Names.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;

class GroupTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    admin->MakeProject("$/P");
    for (const char* spec : {"$/a", "$/b", "$/P/c"}) {
      AddFile(spec, "abc");
      Delete(spec);
    }
    Delete("$/P");
  }
  std::vector<std::string> SeenByAnother() {
    sourcesafe::OpenOptions fresh;
    fresh.readAheadLifetime = std::chrono::milliseconds(0);
    const auto other = Session::Open(Dir(), "Admin", "", fresh);
    return Walk(*other, other->Root());
  }
};

TEST_F(GroupTest, AGroupIsSavedWhenItEndsAndNotBefore) {
  int turns = 0;
  admin->BeginDestroyGroup([&] { ++turns; });
  admin->Destroy(admin->Find("$/a", true));
  admin->Destroy(admin->Find("$/P", true));
  EXPECT_EQ(admin->UnsavedDestroys(), 2);
  admin->EndDestroyGroup();
  EXPECT_EQ(admin->UnsavedDestroys(), 0);
  EXPECT_THAT(SeenByAnother(), ElementsAre("$/", "$/b (deleted)"));
  EXPECT_EQ(turns, 0);  // nothing took long enough to need a turn
}

TEST_F(GroupTest, ASessionThatEndsWithoutSavingLosesOnlyTheOpenGroup) {
  admin->Destroy(admin->Find("$/b", true));  // saved at once: no group
  admin->BeginDestroyGroup({});
  admin->Destroy(admin->Find("$/a", true));
  admin.reset();  // as a crash: the open group goes
  EXPECT_THAT(SeenByAnother(),
              ElementsAre("$/", "$/a (deleted)", "$/P (deleted)", "$/P/c (deleted)"));
}

TEST_F(GroupTest, ADestroyRefusedInsideAGroupLeavesTheOthers) {
  const ItemRecord a = admin->Find("$/a", true);
  const ItemRecord p = admin->Find("$/P", true);
  {
    const auto other = OpenAs("Admin");
    RecoverBelowDeletedProject(*other, "$/P", "$/P/c");  // P changes under the first session
  }
  admin->BeginDestroyGroup({});
  admin->Destroy(a);
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(p); }),
            static_cast<std::int32_t>(ErrorCode::kItemChanged));
  admin->EndDestroyGroup();
  EXPECT_THAT(SeenByAnother(), ElementsAre("$/", "$/b (deleted)", "$/P (deleted)", "$/P/c"));
}

// A project holding more than one step's worth of items goes a step at a time, each saved, with
// turns between; a change below it between two steps stops it there, the database sound.
TEST_F(GroupTest, ALargeProjectGoesInStepsAndStopsWhenChangedBetweenThem) {
  admin->MakeProject("$/Big");
  const std::int64_t big = admin->Find("$/Big", false).id;
  {
    sqlite::Transaction fill(admin->Connection(), sqlite::Transaction::Kind::Immediate);
    sqlite::Statement insert(admin->Connection(),
                             "INSERT INTO items (parent, name, fold, is_project, deleted)"
                             " VALUES (?1, ?2, ?3, 0, 1)");
    for (int index = 0; index < 3000; ++index) {
      const std::string name = "f" + std::to_string(index);
      insert.Bind(1, big).Bind(2, name).Bind(3, sourcesafe::FoldName(name)).Run();
      insert.Reset();
      admin->Connection().Execute(
          "INSERT INTO contents (item, data) VALUES (last_insert_rowid(), X'')");
    }
    fill.Commit();
  }
  Delete("$/Big");
  const ItemRecord project = admin->Find("$/Big", true);
  // Turns come inside a step too, while the destroy holds the database; the change is made at
  // the first turn between two steps.
  std::string recovered;
  admin->BeginDestroyGroup([&] {
    if (recovered.empty() && !admin->Connection().InTransaction()) {
      const auto other = OpenAs("Admin");
      sqlite::Statement left(other->Connection(), "SELECT name FROM items WHERE parent = ?1");
      left.Bind(1, big).Step();
      recovered = "$/Big/" + left.Text(0);
      left.Reset();
      RecoverBelowDeletedProject(*other, "$/Big", recovered);
    }
  });
  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(project); }, &description),
            static_cast<std::int32_t>(ErrorCode::kItemChanged));
  EXPECT_THAT(description, ::testing::HasSubstr("were destroyed already"));
  admin->EndDestroyGroup();
  ASSERT_FALSE(recovered.empty());
  const std::vector<std::string> left = SeenByAnother();
  EXPECT_THAT(left, ::testing::Contains("$/Big (deleted)"));
  EXPECT_THAT(left, ::testing::Contains(recovered));
  EXPECT_LT(left.size(), 3000u);  // the first step went
  EXPECT_THAT(sourcesafe::CheckIntegrity(*admin), ::testing::IsEmpty());

  // Unchanged, the rest goes in the same way.
  admin->BeginDestroyGroup({});
  admin->Destroy(admin->Find("$/Big", true));
  admin->EndDestroyGroup();
  EXPECT_THAT(SeenByAnother(), ::testing::Not(::testing::Contains("$/Big (deleted)")));
}

}  // namespace
}  // namespace engine_test
