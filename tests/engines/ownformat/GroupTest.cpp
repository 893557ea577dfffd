// Destroys saved in groups: what another session sees, what a crash loses, and a destroy that
// fails inside a group.
#include "EngineFixture.h"

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
    other->Recover(other->Find("$/P/c", true));  // P changes under the first session
  }
  admin->BeginDestroyGroup({});
  admin->Destroy(a);
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(p); }),
            static_cast<std::int32_t>(ErrorCode::kItemChanged));
  admin->EndDestroyGroup();
  EXPECT_THAT(SeenByAnother(), ElementsAre("$/", "$/b (deleted)", "$/P (deleted)", "$/P/c"));
}

}  // namespace
}  // namespace engine_test
