#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/forms/Forms.h"
#include "support/RecordingForms.h"
#include "wizard/ReportError.h"

namespace {

TEST(ReportErrorTest, ShowsTheFixedReportInACriticalBoxWithOneButton) {
  testing_support::RecordingForms forms;
  wizard::BoxReporter().StatementFailed("Scourwell.FMain.lblChangePath_Click", 101,
                                        {-2147204442, "Invalid window handle"});
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(forms.boxes[0].prompt,
            "Error: (-2147204442) 'Invalid window handle'\r\n\r\n"
            "The error happened in component 'Scourwell.FMain.lblChangePath_Click' at line 101 "
            "and was logged (if configured so) to the 'Log.txt' file.");
  EXPECT_EQ(forms.boxes[0].title, "Pellbrook Scourwell");
  EXPECT_EQ(forms.boxes[0].buttons, forms::vbCritical | forms::vbOKOnly);
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
  EXPECT_NO_THROW(wizard::ReportError("(1) 'x'", "S", 100));
}

}  // namespace
