#include <gtest/gtest.h>

#include <string>

#include "platform/text/DisplayWidth.h"

namespace {

struct WidthCase {
  const char* text;
  std::size_t columns;
};

class DisplayWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(DisplayWidthTest, CountsTheColumnsATerminalGives) {
  EXPECT_EQ(text::DisplayWidth(GetParam().text), GetParam().columns) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DisplayWidthTest,
    ::testing::Values(WidthCase{"", 0}, WidthCase{"items below", 11},
                      WidthCase{"其下 2 项", 9},    // three wide characters, three narrow
                      WidthCase{"项目（1）", 9},    // fullwidth brackets are wide
                      WidthCase{"e\u0301", 1},      // a combining accent takes none
                      WidthCase{"caf\xc3\xa9", 4},  // a two-byte character takes one
                      WidthCase{"\xe4\xb8", 2}));   // a cut-off sequence: a column a byte

TEST(PadToWidthTest, PadsByColumnsAndNeverCuts) {
  EXPECT_EQ(text::PadToWidth("项目", 6), "项目  ");
  EXPECT_EQ(text::PadToWidth("file", 6), "file  ");
  EXPECT_EQ(text::PadToWidth("a longer text", 6), "a longer text");
}

}  // namespace
