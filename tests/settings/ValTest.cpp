// Numbers of stored window placements are read alike in every locale: a German decimal comma
// or a Turkish case rule must not change them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "settings/CFormRestore.h"
#include "support/Required.h"

namespace {

struct ValCase {
  const char* text;
  double value;
};

class ValTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ValTest, ReadsTheLeadingNumberWithAPointAsItsDecimalSeparator) {
  const testing_support::ScopedLocale locale(GetParam());
  SCOURWELL_REQUIRE(locale.Valid(), std::string("the locale ") + GetParam());
  const double infinity = std::numeric_limits<double>::infinity();
  for (const ValCase& row :
       {ValCase{"2.5", 2.5}, ValCase{"  -3.75e2px", -375}, ValCase{"+4", 4}, ValCase{"12,5", 12},
        ValCase{".5", 0.5}, ValCase{"7.", 7}, ValCase{"1e", 1}, ValCase{"abc", 0}, ValCase{"", 0},
        ValCase{"-", 0}, ValCase{"1e999", infinity}, ValCase{"-1e999", -infinity},
        ValCase{"1e-999", 0}}) {
    EXPECT_EQ(settings::Val(row.text), row.value) << "'" << row.text << "' in " << GetParam();
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, ValTest, ::testing::Values("C", "de_DE.UTF-8", "tr_TR.UTF-8"),
                         [](const auto& info) { return std::string(info.param).substr(0, 5); });

}  // namespace
