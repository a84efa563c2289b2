#include "grid/time_scale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varnex::grid {
namespace {

using Unit = TimeScale::Unit;
using Source = TimeScale::Source;

TEST(TimeScale, ScalesTheFitByZoomWithinBounds) {
  // The fit fills the width, kept legible for long periods and sane for short ones.
  EXPECT_DOUBLE_EQ(TimeScale::fitFor({45000, 45100}, 500), 5);
  EXPECT_DOUBLE_EQ(TimeScale::fitFor({45000, 46000}, 500), 1.5);
  EXPECT_DOUBLE_EQ(TimeScale::fitFor({45000, 45002}, 500), 24);

  const DaySpan span{45000, 45100};
  const TimeScale::ZoomRange wide{0.01, 50000};
  struct Case {
    int zoom;
    double pixelsPerDay;
  } cases[] = {
      {230, 6}, {330, 12}, {130, 3}, {280, 6 * std::sqrt(2.0)}, {-20, 6 * std::exp2(-2.5)}};
  for (const Case& c : cases) {
    const TimeScale scale = TimeScale::forZoom(c.zoom, span, 6, wide);
    EXPECT_NEAR(scale.pixelsPerDay(), c.pixelsPerDay, 1e-9) << c.zoom;
    EXPECT_NEAR(TimeScale::zoomFor(c.pixelsPerDay, 6), c.zoom, 1e-9);
    EXPECT_EQ(scale.span(), span);
  }
  // Every value of the 16-bit range gives a scale within the range, never smaller for a larger
  // value.
  const TimeScale::ZoomRange range{0.2, 600};
  double previous = 0;
  for (int zoom = -32768; zoom <= 32767; ++zoom) {
    const double ppd = TimeScale::forZoom(zoom, span, 6, range).pixelsPerDay();
    ASSERT_GE(ppd, std::max(previous, 0.2)) << zoom;
    ASSERT_LE(ppd, 600) << zoom;
    previous = ppd;
  }

  // The axis puts the span's first day at its left edge; offsets count from it.
  const TimeScale scale(span, 24);
  EXPECT_DOUBLE_EQ(scale.axis(-100).x(45002.5), 2.5 * 24 - 100);
  EXPECT_DOUBLE_EQ(scale.axis(-100).dayAt(-100), 45000);
  EXPECT_DOUBLE_EQ(scale.offsetOf(45010), 240);
  EXPECT_DOUBLE_EQ(scale.contentWidth(), 100 * 24);
  EXPECT_DOUBLE_EQ(TimeScale::fitted(span, 500).pixelsPerDay(), 5);
}

TEST(TimeScale, ZoomsFromOneDayAcrossToTheWholePeriodInASixteenthAndFiveStepsEitherWay) {
  const double fiveSteps = std::exp2(2.5);
  struct Case {
    const char* what;
    DaySpan span;
    double width, loadScale, coarsest, finest;
  } cases[] = {
      {"a quarter", {45000, 45091}, 546, 6, 546.0 / 16 / 91, 546},
      // A day's load scale is the largest fit: five steps above it pass one day across.
      {"one day", {45000, 45001}, 100, 24, 24 / fiveSteps, 24 * fiveSteps},
      {"one day, wide", {45000, 45001}, 1400, 24, 24 / fiveSteps, 1400},
      // A long period scrolls at the smallest fit; a sixteenth is far below it.
      {"twenty years", {40000, 47305}, 1400, 1.5, 1400.0 / 16 / 7305, 1400},
  };
  for (const Case& c : cases) {
    const TimeScale::ZoomRange range = TimeScale::zoomRange(c.span, c.width, c.loadScale);
    EXPECT_NEAR(range.coarsest, c.coarsest, 1e-9) << c.what;
    EXPECT_NEAR(range.finest, c.finest, 1e-9) << c.what;
    // Five steps each way from the load's scale always change it.
    for (const int direction : {-1, 1}) {
      double shown = c.loadScale;
      for (int step = 1; step <= TimeScale::kStepsFromLoad; ++step) {
        EXPECT_FALSE(direction > 0 ? range.atFinest(shown) : range.atCoarsest(shown)) << c.what;
        shown = TimeScale::forZoom(230 + direction * step * 50, c.span, c.loadScale, range)
                    .pixelsPerDay();
      }
    }
  }
}

TEST(TimeScale, ShowsTheHorizonOnlyWhenItHoldsABar) {
  ScheduleModel model;
  model.setColumns({ColumnSpec{}});
  const std::int32_t today = dayOfDate(QDate(2025, 3, 12));
  const TimeScale::Period aroundToday{{today - 7, today + 57}, Source::Today};
  // No bars: a set horizon (a single day included), else weeks around today.
  EXPECT_EQ(TimeScale::periodFor(-2, -2, model, today), aroundToday);
  EXPECT_EQ(TimeScale::periodFor(0, 0, model, today), aroundToday);
  EXPECT_EQ(TimeScale::periodFor(45000, 45000, model, today),
            (TimeScale::Period{{45000, 45001}, Source::Horizon}));

  // With bars: the horizon when a bar reaches into it, else the bars from the Monday of the
  // earliest start to a week past the latest end.
  model.appendLine(u"a");
  const std::int32_t thursday = dayOfDate(QDate(2025, 1, 9));
  model.addBar(1, {thursday, 600}, {thursday + 20, 0});
  const TimeScale::Period fromBars{{thursday - 3, thursday + 28}, Source::Bars};
  struct Case {
    std::int32_t start, end;
    bool horizon;
  } cases[] = {{thursday - 10, thursday + 30, true},
               {thursday + 20, thursday + 40, true},
               {thursday - 10, thursday, true},
               {thursday + 21, thursday + 40, false},
               {thursday - 10, thursday - 1, false},
               {-2, -2, false},
               {0, 0, false},
               {thursday + 5, thursday, false}};
  for (const Case& c : cases) {
    const TimeScale::Period expected =
        c.horizon ? TimeScale::Period{{c.start, c.end + 1}, Source::Horizon} : fromBars;
    EXPECT_EQ(TimeScale::periodFor(c.start, c.end, model, today), expected)
        << c.start << " " << c.end;
  }
}

TEST(TimeScale, PicksDayLinesAndRulerTiersThatStayLegible) {
  struct Case {
    double pixelsPerDay;
    Unit dayLines;
    TimeScale::RulerTiers tiers;  // with a two-digit label 14 pixels wide
    bool weekends;
    int yearStep;
  } cases[] = {
      {8192, Unit::Day, {Unit::Day, Unit::Hour}, true, 1},
      {160, Unit::Day, {Unit::Day, Unit::Hour}, true, 1},
      {159, Unit::Day, {Unit::Month, Unit::Day}, true, 1},
      {40, Unit::Day, {Unit::Month, Unit::Day}, true, 1},
      {20, Unit::Day, {Unit::Month, Unit::Day}, true, 1},
      {19.9, Unit::Day, {Unit::Month, Unit::Week}, true, 1},
      {11, Unit::Week, {Unit::Month, Unit::Week}, true, 1},
      {2, Unit::Week, {Unit::Year, Unit::Month}, true, 1},
      {1, Unit::Week, {Unit::Year, Unit::Month}, false, 1},
      {0.5, Unit::Month, {Unit::Year, Unit::Quarter}, false, 1},
      {0.37, Unit::Month, {Unit::Year, Unit::Quarter}, false, 1},
      {0.35, Unit::Month, {Unit::Year, Unit::None}, false, 1},
      {0.2, Unit::Month, {Unit::Year, Unit::None}, false, 1},
      {0.1, Unit::Quarter, {Unit::Year, Unit::None}, false, 2},
      {0.05, Unit::Year, {Unit::Year, Unit::None}, false, 5},
  };
  for (const Case& c : cases) {
    const TimeScale scale({0, 100}, c.pixelsPerDay);
    EXPECT_EQ(scale.dayLines(), c.dayLines) << c.pixelsPerDay;
    EXPECT_EQ(scale.rulerTiers(14), c.tiers) << c.pixelsPerDay;
    EXPECT_EQ(scale.shadesWeekends(), c.weekends) << c.pixelsPerDay;
    EXPECT_EQ(scale.yearStep(14), c.yearStep) << c.pixelsPerDay;
  }
  // Hours stand as far apart as their labels need: each hour at one day across a wide view.
  for (const auto& [pixelsPerDay, hours] :
       {std::pair{8192.0, 1}, {528.0, 1}, {527.0, 2}, {160.0, 6}})
    EXPECT_EQ(TimeScale({0, 1}, pixelsPerDay).hourStep(14), hours) << pixelsPerDay;
}

}  // namespace
}  // namespace varnex::grid
