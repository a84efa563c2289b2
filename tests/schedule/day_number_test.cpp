#include "schedule/day_number.h"

#include "grid/time_scale.h"
#include "platform/automation_error.h"
#include "tests/support/error_of.h"

#include <gtest/gtest.h>

namespace varnex::schedule {
namespace {

using platform::Date;

// Dates with their day numbers, worked out from the calendar rather than from the rule: the
// examples of the day-number table, leap days, the days around the zero date, dates long
// before 1900 and far years.
struct DayCase {
  int year, month, day;
  std::int32_t dayNumber;
};
constexpr DayCase kDays[] = {
    {1900, 1, 1, 0},         {1900, 3, 1, 59},                           // 1900 is no leap year
    {2024, 1, 1, 45290},     {2024, 12, 31, 45655}, {1899, 12, 30, -2},  // the zero date
    {1899, 12, 31, -1},      {1980, 1, 1, 29219},                        // the epoch of bar times
    {2024, 2, 29, 45349},                                                // 45290 + 31 + 28
    {2024, 3, 1, 45350},     {2000, 2, 29, 36583},  // 100 years with 24 leap days, then 31 + 28
    {1899, 1, 1, -365},      {1800, 1, 1, -36524},  // 1800 is no leap year either
    {1582, 10, 15, -115860},                        // Julian day 2299161, the first Gregorian day
    {1, 1, 1, -693595},                             // 1899 years of 365 days and 460 leap days
    {9999, 12, 31, 2958463},
};

TEST(DayNumber, TheControlAndTheGridCountTheSameDaysInBothDirections) {
  for (const DayCase& c : kDays) {
    const QDate date(c.year, c.month, c.day);
    SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
    // The control, from an automation date at midnight and late in the day.
    EXPECT_EQ(DayNumber(Date::FromParts(c.year, c.month, c.day)), c.dayNumber);
    EXPECT_EQ(DayNumber(Date::FromParts(c.year, c.month, c.day, 23, 59, 59)), c.dayNumber);
    EXPECT_EQ(Date::FromParts(c.year, c.month, c.day, 18).ToQDateTime().date(), date);
    // The grid's axis, both ways.
    EXPECT_EQ(grid::dayOfDate(date), c.dayNumber);
    EXPECT_EQ(grid::dateOfDay(c.dayNumber), date);
  }
  // A date that was never set is the zero date.
  EXPECT_EQ(DayNumber(Date{}), -2);
  EXPECT_EQ(DayNumber(Date{-1}), -3);
}

TEST(DayNumber, OverflowsPastThirtyTwoBits) {
  EXPECT_EQ(testing::ErrorOf([] { (void)DayNumber(Date{platform::kSecondsPerDay << 32}); }),
            platform::errors::kOverflow);
}

}  // namespace
}  // namespace varnex::schedule
