#include "grid/time_scale.h"

#include <algorithm>
#include <climits>

namespace varnex::grid {

namespace {

constexpr double kMinPixelsPerDay = 0.01;
constexpr double kMaxPixelsPerDay = 50000;
constexpr int kBaseZoom = 230;
constexpr double kPixelsPerDayAtBase = 24;

}  // namespace

TimeScale::TimeScale(DaySpan span, double pixelsPerDay)
    : mSpan(span), mPixelsPerDay(std::clamp(pixelsPerDay, kMinPixelsPerDay, kMaxPixelsPerDay)) {}

TimeScale TimeScale::forZoom(int zoom, DaySpan span) {
  return TimeScale(span, zoom * (kPixelsPerDayAtBase / kBaseZoom));
}

TimeScale TimeScale::fitted(DaySpan span, double width) {
  return TimeScale(span, width / double(std::max(1, span.days())));
}

DaySpan TimeScale::spanFor(std::int32_t horizonStart, std::int32_t horizonEnd,
                           const ScheduleModel& model, std::int32_t today) {
  if (horizonEnd >= horizonStart && !(horizonStart == 0 && horizonEnd == 0))
    return {horizonStart, horizonEnd + 1};
  if (model.totalBarCount() > 0) {
    // The bars' span, widened to whole weeks from Monday so that the ruler starts cleanly.
    const QDate from = dateOfDay(model.earliestBarStart().day);
    const std::int32_t first = dayOfDate(from.addDays(1 - from.dayOfWeek()));
    return {first, std::max(first, model.latestBarEnd().day + 7) + 1};
  }
  return {today - 7, today + 57};
}

double TimeScale::contentWidth() const {
  return std::min(double(mSpan.days()) * mPixelsPerDay, double(INT_MAX / 4));
}

TimeAxis TimeScale::axis(double left) const {
  return TimeAxis{mSpan.first, mPixelsPerDay, left};
}

double TimeScale::offsetOf(double dayPos) const {
  return (dayPos - mSpan.first) * mPixelsPerDay;
}

TimeScale::Unit TimeScale::dayLines() const {
  if (mPixelsPerDay >= 12)
    return Unit::Day;
  if (mPixelsPerDay * 7 >= 6)
    return Unit::Week;
  return Unit::Month;
}

TimeScale::RulerTiers TimeScale::rulerTiers(int labelWidth) const {
  if (mPixelsPerDay >= labelWidth + 6)
    return {Unit::Month, Unit::Day};
  if (mPixelsPerDay * 7 >= labelWidth + 8)
    return {Unit::Month, Unit::Week};
  return {Unit::Month, Unit::None};
}

}  // namespace varnex::grid
