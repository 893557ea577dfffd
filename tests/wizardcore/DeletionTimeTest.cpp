// Delete times as they are shown and as dates are read: the wall-clock time as recorded,
// whatever the process's zone.
#include <gtest/gtest.h>

#include <cstdlib>

#include "wizardcore/DeletionTime.h"

namespace {

using wizardcore::ParseIsoDate;

struct DateCase {
  const char* text;
  std::optional<std::int64_t> time;
};

class ParseIsoDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(ParseIsoDateTest, ReadsOnlyARealDay) {
  EXPECT_EQ(ParseIsoDate(GetParam().text), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ParseIsoDateTest,
    testing::Values(DateCase{"1970-01-01", 0}, DateCase{"2017-02-21", 1487635200},
                    DateCase{"2024-02-29", 1709164800}, DateCase{"2023-02-29", std::nullopt},
                    DateCase{"2024-13-01", std::nullopt}, DateCase{"2024-1-31", std::nullopt},
                    DateCase{"+024-01-31", std::nullopt},
                    DateCase{"2024-01-31T00:00", std::nullopt},
                    DateCase{"2024/01/31", std::nullopt}, DateCase{"", std::nullopt}));

TEST(DeletionTimeTest, IsShownAsRecordedInEveryZone) {
  const sourcecontrol::Deletion deletion{1487663702, "Dhaval"};
  for (const char* zone : {"UTC", "Asia/Kolkata", "America/Los_Angeles"}) {
    ::setenv("TZ", zone, 1);
    EXPECT_EQ(wizardcore::FormatDeletionTime(deletion), "2017-02-21 07:55:02") << zone;
    EXPECT_EQ(wizardcore::IsoDeletionTime(deletion), "2017-02-21T07:55:02") << zone;
  }
  ::unsetenv("TZ");
  EXPECT_EQ(wizardcore::FormatDeletionTime({}), "");
}

}  // namespace
