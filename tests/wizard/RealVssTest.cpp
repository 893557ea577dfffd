// The window on a copy of a real SourceSafe 6 database: it lists, and says why it cannot purge.
#include <gmock/gmock.h>

#include <filesystem>

#include "WizardFixture.h"

namespace wizard_test {
namespace {

using ::testing::Contains;

TEST_F(WizardTest, ListsTheDeletedItemsOfARealDatabaseAndSaysWhyItCannotPurgeThem) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "shukladhaval25_Inventory-Shaili";
  if (!std::filesystem::exists(shared)) {
    GTEST_SKIP() << "no shared database at " << shared;
  }
  std::filesystem::copy(shared, folder / "real", std::filesystem::copy_options::recursive);
  ListAll((folder / "real").string(), "Admin", "");
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  EXPECT_EQ(Rows(), 67);
  EXPECT_THAT(Entries(), Contains("$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj"));
  EXPECT_FALSE(Button("cmdNext").isEnabled());
  EXPECT_EQ(Text("lblNotice"),
            "This is a SourceSafe 6 database: Scourwell lists its deleted items but cannot purge "
            "them yet.");
}

TEST_F(WizardTest, AUserOfARealDatabaseWithAPasswordIsToldItCannotBeCheckedYet) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "alex632_mylvss";
  if (!std::filesystem::exists(shared)) {
    GTEST_SKIP() << "no shared database at " << shared;
  }
  ListAll(shared.string(), "Admin", "whatever");
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_NE(forms.boxes[0].prompt.find("cannot yet check the password"), std::string::npos)
      << forms.boxes[0].prompt;
  EXPECT_TRUE(Button("cmdNext").isEnabled());  // still on the login page
}

}  // namespace
}  // namespace wizard_test
