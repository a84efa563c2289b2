#include "schedule/day_number.h"

#include "platform/automation_error.h"
#include "tests/support/error_of.h"

#include <gtest/gtest.h>

namespace varnex::schedule {
namespace {

using platform::Date;

TEST(DayNumber, CountsWholeDaysFromTheFirstOfJanuary1900) {
  EXPECT_EQ(DayNumber(Date::FromParts(1900, 1, 1)), 0);
  // 1900 is no leap year.
  EXPECT_EQ(DayNumber(Date::FromParts(1900, 3, 1)), 59);
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 1, 1)), 45290);
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 12, 31)), 45655);
  // The zero date, the value of a date that was never set.
  EXPECT_EQ(DayNumber(Date{}), -2);
  // Month ends and leap days need nothing special.
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 2, 29)), 45349);
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 3, 1)), 45350);
  EXPECT_EQ(DayNumber(Date::FromParts(2023, 3, 1)) - DayNumber(Date::FromParts(2023, 2, 28)), 1);
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 5, 1)) - DayNumber(Date::FromParts(2024, 4, 30)), 1);
  EXPECT_EQ(DayNumber(Date::FromParts(1980, 1, 1)), 29219);
}

TEST(DayNumber, IgnoresTheTimeOfDayAlsoBefore1900) {
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 1, 1, 18)), 45290);
  EXPECT_EQ(DayNumber(Date::FromParts(2024, 12, 31, 23, 59, 59)), 45655);
  // Before 1900 the days count negative, and a time of day stays on its own day.
  EXPECT_EQ(DayNumber(Date::FromParts(1899, 12, 31)), -1);
  EXPECT_EQ(DayNumber(Date::FromParts(1899, 12, 31, 18)), -1);
  EXPECT_EQ(DayNumber(Date::FromParts(1899, 1, 1)), -365);
  EXPECT_EQ(DayNumber(Date{-1}), -3);
  // A day past the 32-bit range overflows.
  EXPECT_EQ(testing::ErrorOf([] { (void)DayNumber(Date{platform::kSecondsPerDay << 32}); }),
            platform::errors::kOverflow);
}

}  // namespace
}  // namespace varnex::schedule
