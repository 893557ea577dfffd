#include <gtest/gtest.h>

#include "wizardcore/NameFilter.h"

namespace {

struct FilterCase {
  const char* pattern;
  const char* spec;
  bool shown;
};

class NameFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(NameFilterTest, MatchesTheNameOrWithASlashTheSpec) {
  EXPECT_EQ(wizardcore::NameFilter(GetParam().pattern).Matches(GetParam().spec), GetParam().shown)
      << GetParam().pattern << " on " << GetParam().spec;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, NameFilterTest,
    ::testing::Values(
        FilterCase{"", "$/anything", true},
        // Wildcards: the whole name must match, case aside.
        FilterCase{"~sak*", "$/P/~sakA1B2.tmp", true}, FilterCase{"~SAK*", "$/P/~sak1", true},
        FilterCase{"~sak*", "$/P/x~sak1", false}, FilterCase{"*.tmp", "$/P/a.TMP", true},
        FilterCase{"*.tmp", "$/P/a.tmp.bak", false}, FilterCase{"?.c", "$/ab.c", false},
        FilterCase{"??.c", "$/ab.c", true},
        // Only the last name counts: a project's name does not show what is inside it.
        FilterCase{"~sak*", "$/~sakProject/readme.txt", false},
        // No wildcard: names that contain the text.
        FilterCase{"sak", "$/P/~sakA1.tmp", true}, FilterCase{"SAK", "$/P/x", false},
        // Other characters stand for themselves.
        FilterCase{"[a]*", "$/[a]b", true}, FilterCase{"[a]*", "$/ab", false},
        FilterCase{"a.c", "$/abc", false}, FilterCase{"Ü*", "$/überall.txt", true},
        // With a slash the pattern goes over the whole spec.
        FilterCase{"$/Old/*", "$/Old/a.txt", true}, FilterCase{"$/Old/*", "$/New/a.txt", false}));

}  // namespace
