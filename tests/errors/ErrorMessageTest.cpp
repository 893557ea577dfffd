#include <gtest/gtest.h>

#include <limits>

#include "errors/ErrorMessage.h"
#include "errors/ErrorRecord.h"

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

TEST(ComposeReportTest, GivesTheFixedReportText) {
  EXPECT_EQ(errors::ComposeReport("(-2147204442) 'Invalid window handle'",
                                  "Scourwell.FMain.lblChangePath_Click", 101),
            "Error: (-2147204442) 'Invalid window handle'\r\n\r\n"
            "The error happened in component 'Scourwell.FMain.lblChangePath_Click' at line 101 "
            "and was logged (if configured so) to the 'Log.txt' file.");
  EXPECT_NE(errors::ComposeReport("(1) ''", "S", 0).find("' at line 0 and was"), std::string::npos);
}

// A translated form puts the values where its language wants them, and a message that holds a
// placeholder of its own (a description naming '%2') keeps it.
TEST(ComposeReportTest, FillsAFormInOnePass) {
  EXPECT_EQ(errors::ComposeReport("(5) 'a %2 b'", "S.P", 7, "%3 行，%2：%1 (%4 %)"),
            "7 行，S.P：(5) 'a %2 b' (%4 %)");
}

}  // namespace
