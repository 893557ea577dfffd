#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/shell/CommandLine.h"

namespace {

using ::testing::ElementsAre;

struct SplitCase {
  const char* line;
  std::vector<std::string> arguments;
};

class SplitArgumentsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, FollowsTheWindowsRules) {
  EXPECT_EQ(shell::SplitArguments(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitArgumentsTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"  a   b\tc ", {"a", "b", "c"}},
                      SplitCase{R"("a b" c)", {"a b", "c"}},
                      SplitCase{R"(a\\b c\d)", {R"(a\\b)", R"(c\d)"}},
                      SplitCase{R"(a\"b)", {R"(a"b)"}}, SplitCase{R"(a\\"b c")", {R"(a\b c)"}},
                      SplitCase{R"(a\\\"b)", {R"(a\"b)"}},
                      SplitCase{R"("a ""quoted"" word")", {R"(a "quoted" word)"}},
                      SplitCase{R"("")", {""}},
                      SplitCase{R"(x;y&z|w $HOME `id`)", {"x;y&z|w", "$HOME", "`id`"}},
                      SplitCase{R"("unterminated arg)", {"unterminated arg"}}));

TEST(ProgramCandidatesTest, AnUnquotedProgramMayEndAtAnyBlank) {
  const auto candidates = shell::ProgramCandidates("/opt/My Tools/run it -x");
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(candidates[0].program, "/opt/My");
  EXPECT_EQ(candidates[0].rest, " Tools/run it -x");
  EXPECT_EQ(candidates[2].program, "/opt/My Tools/run it");
  EXPECT_EQ(candidates[3].program, "/opt/My Tools/run it -x");
  EXPECT_EQ(candidates[3].rest, "");
}

TEST(ProgramCandidatesTest, AQuotedProgramRunsToItsClosingQuote) {
  const auto candidates = shell::ProgramCandidates(R"(  "/opt/My Tools/run" -x "y z")");
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].program, "/opt/My Tools/run");
  EXPECT_THAT(shell::SplitArguments(candidates[0].rest), ElementsAre("-x", "y z"));
  EXPECT_TRUE(shell::ProgramCandidates("   ").empty());
}

}  // namespace
