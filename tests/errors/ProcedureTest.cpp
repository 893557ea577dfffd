#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "support/RecordingForms.h"

namespace {

using errors::ErrorRecord;
using errors::Procedure;

const ErrorRecord kDenied(errors::ClassErrorNumber(17022), "Scourwell.CAppSettings",
                          "Access denied");

// The line a report names, read back from its text.
std::string LineOf(const testing_support::RecordingForms::Box& box) {
  const std::string marker = "' at line ";
  const auto start = box.prompt.find(marker) + marker.size();
  return box.prompt.substr(start, box.prompt.find(' ', start) - start);
}

TEST(ProcedureTest, AFailingStatementIsReportedAndTheNextOneRuns) {
  testing_support::RecordingForms forms;
  Procedure proc("Scourwell.FMain.SetControls");
  std::vector<int> ran;
  proc.Do(100, [&] { ran.push_back(100); });
  const bool ok = proc.Do(101, [&]() { throw kDenied; });
  proc.Do(102, [&] { ran.push_back(102); });

  EXPECT_FALSE(ok);
  EXPECT_EQ(ran, (std::vector<int>{100, 102}));
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_EQ(LineOf(forms.boxes[0]), "101");
  EXPECT_NE(forms.boxes[0].prompt.find("Error: (-2147204482) 'Access denied'"), std::string::npos);
  EXPECT_NE(forms.boxes[0].prompt.find("component 'Scourwell.FMain.SetControls'"),
            std::string::npos);
}

TEST(ProcedureTest, TwoFailuresGiveTwoReportsInOrder) {
  testing_support::RecordingForms forms;
  Procedure proc("Scourwell.FMain.cmdNext_Click");
  proc.Do(104, [] { throw kDenied; });
  proc.Do(105, [] {});
  proc.Do(106, [] { throw std::runtime_error("second"); });
  ASSERT_EQ(forms.boxes.size(), 2u);
  EXPECT_EQ(LineOf(forms.boxes[0]), "104");
  EXPECT_EQ(LineOf(forms.boxes[1]), "106");
}

TEST(ProcedureTest, AFailingConditionGoesIntoTheBranchUnlessTheCallerSaysOtherwise) {
  testing_support::RecordingForms forms;
  Procedure proc("S");
  const auto failing = []() -> bool { throw kDenied; };
  EXPECT_TRUE(proc.If(101, failing));
  EXPECT_FALSE(proc.If(108, failing, false));
  EXPECT_EQ(forms.boxes.size(), 2u);
  EXPECT_FALSE(proc.If(103, [] { return false; }));
  EXPECT_TRUE(proc.If(103, [] { return true; }));
  EXPECT_EQ(forms.boxes.size(), 2u);
}

struct ForeignCase {
  const char* name;
  std::function<void()> statement;
  std::int32_t number;
  std::string description;
};

class ForeignFailureTest : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignFailureTest, IsCapturedWithAFixedNumber) {
  const errors::CapturedError error = errors::CaptureError(GetParam().statement);
  EXPECT_EQ(error.number, GetParam().number);
  EXPECT_EQ(error.description, GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForeignFailureTest,
    ::testing::Values(
        ForeignCase{"success", [] {}, 0, ""},
        ForeignCase{"record", [] { throw kDenied; }, kDenied.Number(), "Access denied"},
        ForeignCase{"std", [] { throw std::logic_error("bad state"); }, errors::kUnspecifiedError,
                    "bad state"},
        ForeignCase{"memory", [] { throw std::bad_alloc(); }, errors::kOutOfMemory,
                    "Out of memory"},
        ForeignCase{"other", [] { throw 42; }, errors::kUnspecifiedError, "Unspecified error"},
        // A record raised with number 0 must not pass for success.
        ForeignCase{"zero", [] { throw ErrorRecord(0, "S", "zero"); }, errors::kUnspecifiedError,
                    "zero"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
