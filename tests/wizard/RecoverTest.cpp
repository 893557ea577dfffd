// Recover from the selection page: the question, the entries that come back on both engines, the
// refusals on the finish page and in the report.
#include <gmock/gmock.h>

#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "WizardFixture.h"
#include "engines/vss6/Vss6Check.h"
#include "support/Required.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST_F(WizardTest, RecoverAsksFirstAndBringsTheCheckedEntriesBackRefusingATakenName) {
  engine->MakeProject("$/P");
  AddFile("$/P/f.txt", "f");
  Delete("$/P/f.txt");
  Delete("$/P");
  AddFile("$/x.txt", "x");
  Delete("$/x.txt");
  AddFile("$/y.txt", "old");
  Delete("$/y.txt");
  AddFile("$/y.txt", "new");  // a live item has the name now
  ListAll();
  ASSERT_EQ(Rows(), 4);
  ASSERT_TRUE(Button("cmdRecover").isVisibleTo(window.get()));
  CheckOnly({"$/x.txt", "$/y.txt"});

  // Enter answers No: nothing changes.
  Button("cmdRecover").click();
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt,
            "Recover 2 checked entries?\r\n\r\nEach comes back where it was, no longer deleted; a "
            "project comes back without the deleted items below it that are not checked.");
  EXPECT_EQ(forms.boxes[0].buttons, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
  EXPECT_TRUE(Shown("frmHost(1)"));
  EXPECT_THAT(Deleted(), ElementsAre("$/P", "$/P/f.txt", "$/x.txt", "$/y.txt"));

  // Yes: the project and what is checked below it come back; the taken name is refused, with
  // the reason on the finish page and in the report.
  SetChecked(RowOf("$/P"), true);  // checks $/P/f.txt with it
  forms.answers.push_back(forms::vbYes);
  Button("cmdRecover").click();
  EXPECT_EQ(Text("lblNowPurging"), "Finished.");
  EXPECT_EQ(Text("lblSummary"),
            "Recovered: 3 entries.\nRefused: 1.\nFailed: 0.\nNot reached because of Stop: 0.");
  EXPECT_THAT(Deleted(), ElementsAre("$/y.txt"));
  EXPECT_EQ(engine->Content(engine->Find("$/x.txt", false)), std::vector<unsigned char>({'x'}));
  const std::string outcomes = Get<QPlainTextEdit>("txtOutcomes").toPlainText().toStdString();
  EXPECT_THAT(outcomes, HasSubstr("refused: $/y.txt (-2147164412) A live item '$/y.txt' exists"));
  std::vector<std::filesystem::path> reports(
      std::filesystem::directory_iterator(folder / "state" / "scourwell"), {});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0].filename().string(), ::testing::StartsWith("recover-"));
  std::ifstream in(reports[0]);
  const std::string report{std::istreambuf_iterator<char>(in), {}};
  EXPECT_THAT(report, HasSubstr("Scourwell recover report\n"));
  EXPECT_THAT(report, HasSubstr("recovered    $/x.txt\n"));
  EXPECT_THAT(report, HasSubstr("refused      $/y.txt\n"));
  EXPECT_THAT(Text("lblReport").toStdString(), HasSubstr(reports[0].string()));
}

TEST_F(WizardTest, RecoversAFileOfARealDatabaseThatItsCheckAccepts) {
  const std::filesystem::path shared =
      std::filesystem::path(SCOURWELL_SHARED_DIR) / "realvss" / "shukladhaval25_Inventory-Shaili";
  SCOURWELL_REQUIRE_SHARED(shared);
  std::filesystem::copy(shared, folder / "real", std::filesystem::copy_options::recursive);
  const std::string sak = "$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj";
  ListAll((folder / "real").string(), "Admin", "");
  ASSERT_EQ(Rows(), 67);
  CheckOnly({sak});
  forms.answers.push_back(forms::vbYes);
  Button("cmdRecover").click();
  EXPECT_THAT(Text("lblSummary").toStdString(), ::testing::StartsWith("Recovered: 1 entry."));
  EXPECT_THAT(vss6::CheckDatabase(folder / "real" / "data"), ::testing::IsEmpty());

  // Listed again, it is live: one entry fewer.
  window = std::make_unique<wizard::FMain>();
  ShowActive();
  ListAll((folder / "real").string(), "Admin", "");
  EXPECT_EQ(Rows(), 66);
  for (int row = 0; row < Rows(); ++row) {
    EXPECT_NE(Spec(row), sak);
  }
}

}  // namespace
}  // namespace wizard_test
