#include <gtest/gtest.h>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Names.h"

namespace {

using sourcesafe::EngineError;

struct SpecCase {
  const char* spec;
  std::vector<std::string> names;
};

class SplitSpecTest : public ::testing::TestWithParam<SpecCase> {};

TEST_P(SplitSpecTest, SplitsIntoNames) {
  EXPECT_EQ(sourcesafe::SplitSpec(GetParam().spec), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(Valid, SplitSpecTest,
                         ::testing::Values(SpecCase{"$/", {}}, SpecCase{"$", {}},
                                           SpecCase{"$/A", {"A"}}, SpecCase{"$/A/", {"A"}},
                                           SpecCase{"$/A/b c.txt", {"A", "b c.txt"}}));

class BadSpecTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BadSpecTest, IsRefused) { EXPECT_THROW(sourcesafe::SplitSpec(GetParam()), EngineError); }

INSTANTIATE_TEST_SUITE_P(Invalid, BadSpecTest,
                         ::testing::Values("", "A/B", "/A", "$A", "$//", "$/A//B", "$/A//"));

class BadNameTest : public ::testing::TestWithParam<std::string> {};

TEST_P(BadNameTest, IsRefused) {
  EXPECT_THROW(sourcesafe::ValidateItemName(GetParam()), EngineError);
}

INSTANTIATE_TEST_SUITE_P(Invalid, BadNameTest,
                         ::testing::Values("", "a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b",
                                           "a|b", "a;b", "$a", "tab\there", std::string("nul\0", 4),
                                           "\xff\xfe", "\xc3", std::string(256, 'x')));

// Names that could only pass for other names, or for none.
INSTANTIATE_TEST_SUITE_P(Deceptive, BadNameTest,
                         ::testing::Values(".", "..", "...", " ", " lead", "trail ", "trail\t",
                                           "no\xc2\xa0"
                                           "break",                    // U+00A0
                                           "zero\xe2\x80\x8bwidth",    // U+200B
                                           "next\xc2\x85line",         // U+0085
                                           "line\xe2\x80\xa8sep",      // U+2028
                                           "evil\xe2\x80\xaetxt.exe",  // U+202E
                                           "\xef\xbb\xbf"
                                           "bom",                    // U+FEFF
                                           "ideo\xe3\x80\x80space",  // U+3000
                                           "del\x7f"));

TEST(NamesTest, UsualNamesAreAccepted) {
  for (const std::string& name : std::vector<std::string>{
           ".hidden", "~sakA1.tmp", "with space", "\xc3\xa4rger.txt", std::string(255, 'x')}) {
    EXPECT_NO_THROW(sourcesafe::ValidateItemName(name)) << name;
  }
}

TEST(NamesTest, FoldingIgnoresCaseBeyondAscii) {
  EXPECT_EQ(sourcesafe::FoldName("ReadMe.TXT"), sourcesafe::FoldName("readme.txt"));
  EXPECT_EQ(sourcesafe::FoldName("\xc3\x84RGER"), sourcesafe::FoldName("\xc3\xa4rger"));
  EXPECT_NE(sourcesafe::FoldName("a"), sourcesafe::FoldName("b"));
  // Composed and decomposed forms are one name, whatever the case.
  EXPECT_EQ(sourcesafe::FoldName("caf\xc3\xa9"), sourcesafe::FoldName("CAFE\xcc\x81"));
}

TEST(NamesTest, SpecLimitsCountNamesAndBytes) {
  std::string spec = "$";
  for (std::size_t level = 0; level < sourcesafe::kMaxSpecDepth; ++level) {
    spec += "/d";
  }
  EXPECT_TRUE(sourcesafe::IsWithinSpecLimits(spec));
  EXPECT_TRUE(sourcesafe::IsWithinSpecLimits(spec + "/"));
  EXPECT_FALSE(sourcesafe::IsWithinSpecLimits(spec + "/d"));
  EXPECT_TRUE(sourcesafe::IsWithinSpecLimits("$/" + std::string(4094, 'x')));
  EXPECT_FALSE(sourcesafe::IsWithinSpecLimits("$/" + std::string(4095, 'x')));
}

TEST(NamesTest, ChildSpecJoinsBelowTheRootAndBelowAProject) {
  EXPECT_EQ(sourcesafe::ChildSpec("$/", "A"), "$/A");
  EXPECT_EQ(sourcesafe::ChildSpec("$/A", "b.txt"), "$/A/b.txt");
}

}  // namespace
