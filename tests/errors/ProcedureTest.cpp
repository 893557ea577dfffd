#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"

namespace {

using errors::ErrorRecord;
using errors::Procedure;

const ErrorRecord kDenied(errors::ClassErrorNumber(17022), "Scourwell.CAppSettings",
                          "Access denied");

// Keeps what each failing statement reported.
struct Reported {
  std::string source;
  std::int32_t line;
  errors::CapturedError error;
};

class RecordingReporter final : public errors::Reporter {
 public:
  void StatementFailed(const std::string& source, std::int32_t line,
                       const errors::CapturedError& error) noexcept override {
    reports.push_back({source, line, error});
  }
  std::vector<Reported> reports;
};

TEST(ProcedureTest, AFailingStatementIsReportedAndTheNextOneRuns) {
  RecordingReporter reporter;
  Procedure proc("Scourwell.FMain.SetControls", reporter);
  std::vector<int> ran;
  proc.Do(100, [&] { ran.push_back(100); });
  const bool ok = proc.Do(101, [&]() { throw kDenied; });
  proc.Do(102, [&] { ran.push_back(102); });

  EXPECT_FALSE(ok);
  EXPECT_EQ(ran, (std::vector<int>{100, 102}));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].line, 101);
  EXPECT_EQ(reporter.reports[0].error.number, -2147204482);
  EXPECT_EQ(reporter.reports[0].error.description, "Access denied");
  EXPECT_EQ(reporter.reports[0].source, "Scourwell.FMain.SetControls");
}

TEST(ProcedureTest, TwoFailuresGiveTwoReportsInOrder) {
  RecordingReporter reporter;
  Procedure proc("Scourwell.FMain.cmdNext_Click", reporter);
  proc.Do(104, [] { throw kDenied; });
  proc.Do(105, [] {});
  proc.Do(106, [] { throw std::runtime_error("second"); });
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[0].line, 104);
  EXPECT_EQ(reporter.reports[1].line, 106);
}

TEST(ProcedureTest, AFailingConditionGoesIntoTheBranchUnlessTheCallerSaysOtherwise) {
  RecordingReporter reporter;
  Procedure proc("S", reporter);
  const auto failing = []() -> bool { throw kDenied; };
  EXPECT_TRUE(proc.If(101, failing));
  EXPECT_FALSE(proc.If(108, failing, false));
  EXPECT_EQ(reporter.reports.size(), 2u);
  EXPECT_FALSE(proc.If(103, [] { return false; }));
  EXPECT_TRUE(proc.If(103, [] { return true; }));
  EXPECT_EQ(reporter.reports.size(), 2u);
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
