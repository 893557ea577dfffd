// The window on copies of real SourceSafe 6 databases: it lists, purges what may be destroyed and
// says why the rest was kept.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <functional>
#include <map>

#include "WizardFixture.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Tree.h"
#include "platform/registry/Registry.h"
#include "platform/text/AsciiCase.h"
#include "support/ArchiveMembers.h"
#include "support/Required.h"
#include "support/Vss6Builder.h"

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

  // The 13 deleted shares are shown before the question as kept: unchecked, greyed, their box
  // not to be checked, the project they are shared with named; the totals leave them out.
  const std::string share =
      "$/Invetory Shaili/Inventory Shaili/Software Projects/Invetory Shaili 2015/Inventory "
      "Shaili/frmSemiFGmaster.vb";
  int kept = 0;
  for (int row = 0; row < Rows(); ++row) {
    if (!(Row(row).flags() & Qt::ItemIsEnabled)) {
      ++kept;
      EXPECT_FALSE(IsChecked(row));
      EXPECT_FALSE(Row(row).flags() & Qt::ItemIsUserCheckable);
      EXPECT_THAT(Row(row).data(Qt::AccessibleDescriptionRole).toString().toStdString(),
                  ::testing::MatchesRegex("shared with '.*Finish Goods': kept"));
    }
  }
  EXPECT_EQ(kept, 13);
  const int shareRow = RowOf(share);
  SetChecked(shareRow, true);
  EXPECT_FALSE(IsChecked(shareRow));
  EXPECT_THAT(List().model()->index(shareRow, 2).data().toString().toStdString(),
              "shared with '$/Invetory Shaili/Inventory Shaili/Software Projects/Invetory Shaili "
              "2015/Inventory Shaili/Semi Finish Goods': kept");
  EXPECT_THAT(Text("lblSelection").toStdString(), ::testing::StartsWith("54 checked: 54 items"));

  // What each deleted file that may go holds now, by path, for the copy kept before the purge.
  std::map<std::string, std::string> contents;
  {
    vss6::Vss6Tree tree(folder / "real" / "data");
    std::function<void(const vss6::TreeItem&, const std::string&)> walk =
        [&](const vss6::TreeItem& project, const std::string& path) {
          for (const vss6::TreeItem& child : tree.Children(project)) {
            if (child.project) {
              walk(child, path + child.name + "/");
            } else if (child.deleted && (child.entryFlags & vss6::kSharedFlag) == 0) {
              const std::vector<unsigned char> bytes = tree.ContentOf(child);
              contents[path + child.name] = std::string(bytes.begin(), bytes.end());
            }
          }
        };
    walk(tree.Root(), "$/");
  }
  ASSERT_EQ(contents.size(), 54u);

  // The question counts the 54 and says what a real database needs around a purge; after Yes
  // nothing is refused.
  Purge();
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  ASSERT_EQ(forms.boxes.size(), 1u) << forms.boxes.back().prompt;
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("Purge 54 checked entries?"));
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("Make sure nobody is working in the database"));
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("run Analyze on it afterwards"));
  EXPECT_THAT(Text("lblSummary").toStdString(), ::testing::StartsWith("Destroyed: 54 entries"));
  EXPECT_THAT(Text("lblSummary").toStdString(), HasSubstr("Failed: 0."));
  // The finish page lists the 13 kept with their reason.
  const std::string outcomes = Get<QPlainTextEdit>("txtOutcomes").toPlainText().toStdString();
  EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), '\n'), 13);
  EXPECT_THAT(outcomes, HasSubstr("kept: " + share + " (shared with '"));
  EXPECT_THAT(vss6::CheckDatabase(folder / "real" / "data"), IsEmpty());

  // The copy kept first: each purged file's latest content byte for byte, the item's own files
  // and its entry record as they were, and a manifest listing the 54.
  EXPECT_THAT(forms.boxes[0].prompt, HasSubstr("Before anything is destroyed, a copy of it"));
  const std::filesystem::path keptFolder = folder / "data" / "scourwell" / "kept";
  std::vector<std::filesystem::path> copies(std::filesystem::directory_iterator(keptFolder), {});
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_THAT(Text("lblKeptCopy").toStdString(), HasSubstr(copies[0].string()));
  std::map<std::string, std::string> members = testing_support::ArchiveMembers(copies[0]);
  for (const auto& [spec, bytes] : contents) {
    EXPECT_EQ(members["files/" + spec.substr(2)], bytes) << spec;
  }
  EXPECT_EQ(members.count("raw/data/c/cnaaaaaa"), 1u);
  EXPECT_EQ(members.count("raw/entries/QIAAAAAA/CNAAAAAA.jp"), 1u);
  const QJsonArray keptEntries =
      QJsonDocument::fromJson(QByteArray::fromStdString(members["manifest.json"]))
          .object()["entries"]
          .toArray();
  ASSERT_EQ(keptEntries.size(), 54);
  for (const QJsonValue& entry : keptEntries) {
    EXPECT_EQ(contents.count(entry.toObject()["path"].toString().toStdString()), 1u);
  }

  // The report went to the state folder, the user's alone, and says what came of each entry.
  const std::filesystem::path reports = folder / "state" / "scourwell";
  ASSERT_TRUE(std::filesystem::is_directory(reports));
  EXPECT_EQ(std::filesystem::status(reports).permissions(), std::filesystem::perms::owner_all);
  std::vector<std::filesystem::path> written(std::filesystem::directory_iterator(reports), {});
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(std::filesystem::status(written[0]).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::ifstream in(written[0]);
  const std::string report{std::istreambuf_iterator<char>(in), {}};
  EXPECT_THAT(report, HasSubstr("User: Admin\n"));
  EXPECT_THAT(report, HasSubstr("Asked: 54 checked entries: 54 items will be destroyed for good"));
  EXPECT_THAT(report, HasSubstr("destroyed    $/Invetory Shaili/64bitApp/~sak082e066b01d1672d"));
  EXPECT_THAT(report, HasSubstr("kept         " + share + "\n             shared with '"));
  EXPECT_THAT(report, HasSubstr("Destroyed: 54 entries"));
  EXPECT_THAT(Text("lblReport").toStdString(), HasSubstr(written[0].string()));

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

// A copy of a database with data/ alone, one of whose deleted files lost its content: the window
// lists it with its size unknown and purges it with the rest.
TEST_F(WizardTest, PurgesADatabaseWithoutItsIniAndSaysWhichSizeIsUnknown) {
  testing_support::Vss6Builder builder;
  const std::string project = builder.Project(testing_support::Vss6Builder::kRoot, "P");
  builder.File(project, "kept.txt");
  const std::string lost = builder.File(project, "lost.txt", "12345", true);
  const std::string old = builder.File(project, "old.txt", "12345", true);
  builder.Write(folder / "copy", false);
  const auto itemFile = [&](const std::string& physical) {
    return folder / "copy" / "data" / text::AsciiLower(physical.substr(0, 1)) /
           text::AsciiLower(physical);
  };
  std::filesystem::remove(itemFile(lost).string() + ".a");  // its content

  ListAll((folder / "copy").string(), "Admin", "");
  ASSERT_TRUE(forms.boxes.empty()) << forms.boxes[0].prompt;
  ASSERT_THAT(Entries(), ::testing::ElementsAre("$/P/lost.txt", "$/P/old.txt"));
  const QAbstractItemModel& model = *List().model();
  EXPECT_EQ(model.index(0, 2).data().toString(), "size unknown");
  EXPECT_EQ(model.index(1, 2).data().toString(), "5 bytes");

  Purge();
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  // The file without content went too: its destroy needs no content.
  EXPECT_THAT(vss6::CheckDatabase(folder / "copy" / "data"), IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(itemFile(lost)));
  EXPECT_FALSE(std::filesystem::exists(itemFile(old)));
}

}  // namespace
}  // namespace wizard_test
