#include <gtest/gtest.h>

#include <limits>

#include "errors/ErrorMessage.h"
#include "errors/ErrorRecord.h"
#include "errors/ReportError.h"
#include "platform/forms/Forms.h"
#include "support/RecordingForms.h"

namespace {

struct MessageCase {
  std::int32_t number;
  const char* description;
  const char* expected;
};

class ComposeErrorMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ComposeErrorMessageTest, ComposesNumberAndQuotedDescription) {
  EXPECT_EQ(errors::ComposeErrorMessage(GetParam().number, GetParam().description),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposeErrorMessageTest,
    ::testing::Values(MessageCase{errors::ClassErrorNumber(17062), "Invalid window handle",
                                  "(-2147204442) 'Invalid window handle'"},
                      MessageCase{5, "", "(5) ''"},
                      MessageCase{std::numeric_limits<std::int32_t>::min(), "x",
                                  "(-2147483648) 'x'"},
                      MessageCase{91, "it's 'quoted'", "(91) 'it's 'quoted''"}));

TEST(ReportErrorTest, ShowsTheFixedReportInACriticalBoxWithOneButton) {
  testing_support::RecordingForms forms;
  errors::ReportError("(-2147204442) 'Invalid window handle'",
                      "Scourwell.FMain.lblChangePath_Click", 101);
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt,
            "Error: (-2147204442) 'Invalid window handle'\r\n\r\n"
            "The error happened in component 'Scourwell.FMain.lblChangePath_Click' at line 101 "
            "and was logged (if configured so) to the 'Log.txt' file.");
  EXPECT_EQ(forms.boxes[0].title, "Pellbrook Scourwell");
  EXPECT_EQ(forms.boxes[0].buttons, forms::vbCritical | forms::vbOKOnly);
}

TEST(ReportErrorTest, LineZeroReadsAsLineZero) {
  testing_support::RecordingForms forms;
  errors::ReportError("(1) ''", "S", 0);
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_NE(forms.boxes[0].prompt.find("' at line 0 and was"), std::string::npos);
}

class ThrowingForms final : public forms::Forms {
 public:
  int MsgBox(const std::string&, int, const std::string&) override {
    throw std::runtime_error("no display");
  }
  void SetScreenMousePointer(forms::MousePointer) override {}
  forms::MousePointer ScreenMousePointer() const override { return forms::MousePointer::Default; }
  void DoEvents() override {}
};

TEST(ReportErrorTest, NeverRaisesWhenTheBoxCannotBeShown) {
  ThrowingForms throwing;
  forms::ScopedForms scope(throwing);
  EXPECT_NO_THROW(errors::ReportError("(1) 'x'", "S", 100));
}

}  // namespace
