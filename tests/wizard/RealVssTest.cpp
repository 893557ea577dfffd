// The window on copies of real SourceSafe 6 databases: it lists, purges what may be destroyed and
// says why the rest was kept.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "WizardFixture.h"
#include "platform/registry/Registry.h"
#include "platform/vss6/Records.h"
#include "platform/vss6/Vss6Check.h"
#include "support/Required.h"

namespace wizard_test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST_F(WizardTest, PurgesARealDatabaseEndToEndAndKeepsTheSharedItemsItMayNotDestroy) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "shukladhaval25_Inventory-Shaili";
  SCOURWELL_REQUIRE_SHARED(shared);
  std::filesystem::copy(shared, folder / "real", std::filesystem::copy_options::recursive);
  ListAll((folder / "real").string(), "Admin", "");
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  EXPECT_EQ(Rows(), 67);
  EXPECT_THAT(Entries(), Contains("$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj"));
  EXPECT_TRUE(Button("cmdNext").isEnabled());
  EXPECT_EQ(Text("lblNotice"), "");

  Purge();
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  // The 13 deleted shares stay, each refused with its reason.
  ASSERT_EQ(forms.boxes.size(), 2u);
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("Purge 67 checked entries?"));
  EXPECT_THAT(forms.boxes[1].prompt, HasSubstr("is shared with another project"));
  EXPECT_THAT(vss6::CheckDatabase(folder / "real" / "data"), IsEmpty());
  window = std::make_unique<wizard::FMain>();
  ShowActive();
  ListAll((folder / "real").string(), "Admin", "");
  EXPECT_EQ(Rows(), 13);
}

TEST_F(WizardTest, NamesAreReadInTheCodePageTheSettingsName) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "chuing_Push114CRM";
  SCOURWELL_REQUIRE_SHARED(shared);
  std::filesystem::copy(shared, folder / "real", std::filesystem::copy_options::recursive);
  // The root's one entry, the project 花城CRM, marked deleted (its check value made to fit).
  const std::filesystem::path entries = folder / "real" / "data" / "a" / "aaaaaaaa.b";
  ASSERT_TRUE(std::filesystem::exists(entries));
  std::string bytes;
  {
    std::ifstream in(entries, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  bytes[8 + 2] = static_cast<char>(bytes[8 + 2] | 0x01);
  const std::uint16_t check =
      vss6::CheckValue({reinterpret_cast<const unsigned char*>(bytes.data()) + 8, 56});
  bytes[6] = static_cast<char>(check & 0xff);
  bytes[7] = static_cast<char>(check >> 8);
  std::ofstream(entries, std::ios::binary | std::ios::trunc) << bytes;

  ListAll((folder / "real").string(), "Admin", "");
  ASSERT_EQ(Rows(), 1);
  EXPECT_NE(Spec(0),
            "$/\xe8\x8a\xb1\xe5\x9f\x8e"
            "CRM");  // read as Windows-1252

  window = std::make_unique<wizard::FMain>();
  ShowActive();
  registry::Key general;
  ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_CURRENT_USER,
                                     "Software\\Pellbrook\\Scourwell\\General", 0, nullptr, 0,
                                     registry::KEY_ALL_ACCESS, nullptr, general.Receive(), nullptr),
            registry::ERROR_SUCCESS);
  const std::string gbk = "GBK";
  ASSERT_EQ(registry::RegSetValueEx(general.Get(), "CodePage", 0, registry::REG_SZ,
                                    reinterpret_cast<const unsigned char*>(gbk.c_str()), 4),
            registry::ERROR_SUCCESS);
  ListAll((folder / "real").string(), "Admin", "");
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  EXPECT_THAT(Entries(), ::testing::ElementsAre("$/\xe8\x8a\xb1\xe5\x9f\x8e"
                                                "CRM"));  // 花城CRM
}

TEST_F(WizardTest, AUserOfARealDatabaseLogsInWithTheirPasswordAndAWrongOneIsTold) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "shukladhaval25_Inventory-Shaili";
  SCOURWELL_REQUIRE_SHARED(shared);
  ListAll(shared.string(), "Dhaval", "dhavaL");
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  EXPECT_EQ(Rows(), 67);

  window = std::make_unique<wizard::FMain>();
  ShowActive();
  ListAll(shared.string(), "Dhaval", "");
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("Invalid password"));
  EXPECT_TRUE(Button("cmdNext").isEnabled());  // still on the login page
}

}  // namespace
}  // namespace wizard_test
