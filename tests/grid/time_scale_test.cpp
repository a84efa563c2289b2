#include "grid/time_scale.h"

#include <gtest/gtest.h>

namespace varnex::grid {
namespace {

using Unit = TimeScale::Unit;

TEST(TimeScale, MapsZoomToPixelsPerDayWithinBounds) {
  const DaySpan span{45000, 45100};
  struct Case {
    int zoom;
    double pixelsPerDay;
  } cases[] = {{230, 24}, {115, 12}, {460, 48}, {1, 24.0 / 230}, {0, 0.01}, {-50, 0.01},
               {32767, 32767 * 24.0 / 230}};
  for (const Case& c : cases) {
    const TimeScale scale = TimeScale::forZoom(c.zoom, span);
    EXPECT_DOUBLE_EQ(scale.pixelsPerDay(), c.pixelsPerDay) << c.zoom;
    EXPECT_EQ(scale.span(), span);
  }
  // Far past the largest day width the scale stops growing.
  EXPECT_DOUBLE_EQ(TimeScale({0, 1}, 1e9).pixelsPerDay(), 50000);

  // The axis puts the span's first day at its left edge; offsets count from it.
  const TimeScale scale = TimeScale::forZoom(230, span);
  EXPECT_DOUBLE_EQ(scale.axis(-100).x(45002.5), 2.5 * 24 - 100);
  EXPECT_DOUBLE_EQ(scale.axis(-100).dayAt(-100), 45000);
  EXPECT_DOUBLE_EQ(scale.offsetOf(45010), 240);
  EXPECT_DOUBLE_EQ(scale.contentWidth(), 100 * 24);
  EXPECT_DOUBLE_EQ(TimeScale::fitted(span, 500).pixelsPerDay(), 5);
}

TEST(TimeScale, ShowsTheHorizonOrFallsBackToTheBarsOrToday) {
  ScheduleModel model;
  model.setColumns({ColumnSpec{}});
  const std::int32_t today = dayOfDate(QDate(2025, 3, 12));
  // No horizon and no bars: weeks around today.
  EXPECT_EQ(TimeScale::spanFor(0, 0, model, today), (DaySpan{today - 7, today + 57}));
  // A set horizon, a single day included.
  EXPECT_EQ(TimeScale::spanFor(45000, 45010, model, today), (DaySpan{45000, 45011}));
  EXPECT_EQ(TimeScale::spanFor(45000, 45000, model, today), (DaySpan{45000, 45001}));

  // An empty or inverted horizon falls back to the bars: from the Monday of the earliest start
  // to a week past the latest end.
  model.appendLine(u"a");
  const std::int32_t thursday = dayOfDate(QDate(2025, 1, 9));
  model.addBar(1, {thursday, 600}, {thursday + 20, 0});
  const DaySpan fromBars{thursday - 3, thursday + 28};
  EXPECT_EQ(TimeScale::spanFor(0, 0, model, today), fromBars);
  EXPECT_EQ(TimeScale::spanFor(45010, 45000, model, today), fromBars);
}

TEST(TimeScale, PicksDayLinesAndRulerTiersThatStayLegible) {
  struct Case {
    double pixelsPerDay;
    Unit dayLines;
    Unit lowerTier;  // with a day label 14 pixels wide
    bool weekends;
  } cases[] = {
      {40, Unit::Day, Unit::Day, true},    {20, Unit::Day, Unit::Day, true},
      {19.9, Unit::Day, Unit::Week, true}, {12, Unit::Day, Unit::Week, true},
      {11, Unit::Week, Unit::Week, true},  {3.2, Unit::Week, Unit::Week, true},
      {2, Unit::Week, Unit::None, true},   {1, Unit::Week, Unit::None, false},
      {0.8, Unit::Month, Unit::None, false},
  };
  for (const Case& c : cases) {
    const TimeScale scale({0, 100}, c.pixelsPerDay);
    EXPECT_EQ(scale.dayLines(), c.dayLines) << c.pixelsPerDay;
    EXPECT_EQ(scale.rulerTiers(14), (TimeScale::RulerTiers{Unit::Month, c.lowerTier}))
        << c.pixelsPerDay;
    EXPECT_EQ(scale.shadesWeekends(), c.weekends) << c.pixelsPerDay;
  }
}

}  // namespace
}  // namespace varnex::grid
