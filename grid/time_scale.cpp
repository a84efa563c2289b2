#include "grid/time_scale.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace varnex::grid {

namespace {

constexpr double kMinPixelsPerDay = 0.01;
constexpr double kMaxPixelsPerDay = 50000;
// Average lengths, enough to choose tiers by.
constexpr double kDaysPerMonth = 30.44;
constexpr double kDaysPerQuarter = 91.31;
constexpr double kDaysPerYear = 365.25;
// Scales this close are one: what a zoom value's rounding leaves.
constexpr double kRounding = 1e-6;

}  // namespace

TimeScale::TimeScale(DaySpan span, double pixelsPerDay)
    : mSpan(span), mPixelsPerDay(std::clamp(pixelsPerDay, kMinPixelsPerDay, kMaxPixelsPerDay)) {}

double TimeScale::fitFor(DaySpan span, double width) {
  return std::clamp(width / double(std::max(1, span.days())), kMinFit, kMaxFit);
}

bool TimeScale::ZoomRange::atCoarsest(double pixelsPerDay) const {
  return pixelsPerDay <= coarsest * (1 + kRounding);
}

bool TimeScale::ZoomRange::atFinest(double pixelsPerDay) const {
  return pixelsPerDay >= finest * (1 - kRounding);
}

TimeScale::ZoomRange TimeScale::zoomRange(DaySpan span, double width, double loadScale) {
  const double beyondLoad = std::exp2(kStepsFromLoad * kZoomStep / 100.0);
  const double wholeInSixteenth = width / 16 / double(std::max(1, span.days()));
  ZoomRange range{std::min(wholeInSixteenth, loadScale / beyondLoad),
                  std::max(width, loadScale * beyondLoad)};
  range.coarsest = std::clamp(range.coarsest, kMinPixelsPerDay, kMaxPixelsPerDay);
  range.finest = std::clamp(range.finest, range.coarsest, kMaxPixelsPerDay);
  return range;
}

double TimeScale::zoomed(double zoom, double fit) {
  return fit * std::exp2((zoom - kBaseZoom) / 100.0);
}

double TimeScale::zoomFor(double pixelsPerDay, double fit) {
  return kBaseZoom + 100 * std::log2(pixelsPerDay / fit);
}

TimeScale TimeScale::forZoom(int zoom, DaySpan span, double fit, ZoomRange range) {
  return TimeScale(span, std::clamp(zoomed(zoom, fit), range.coarsest, range.finest));
}

TimeScale TimeScale::fitted(DaySpan span, double width) {
  return TimeScale(span, width / double(std::max(1, span.days())));
}

TimeScale::Period TimeScale::periodFor(std::int32_t horizonStart, std::int32_t horizonEnd,
                                       const ScheduleModel& model, std::int32_t today) {
  const bool horizonSet = horizonEnd >= horizonStart && horizonStart > 0;
  const DaySpan horizon{horizonStart, horizonEnd + 1};
  if (model.totalBarCount() == 0) {
    if (horizonSet)
      return {horizon, Source::Horizon};
    return {{today - 7, today + 57}, Source::Today};
  }
  if (horizonSet && model.anyBarWithin(horizonStart, horizonEnd))
    return {horizon, Source::Horizon};
  // The bars' span, widened to whole weeks from Monday so that the ruler starts cleanly.
  const QDate from = dateOfDay(model.earliestBarStart().day);
  const std::int32_t first = dayOfDate(from.addDays(1 - from.dayOfWeek()));
  return {{first, std::max(first, model.latestBarEnd().day + 7) + 1}, Source::Bars};
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
  // Lines at least 6 pixels apart.
  if (mPixelsPerDay >= 12)
    return Unit::Day;
  if (mPixelsPerDay * 7 >= 6)
    return Unit::Week;
  if (mPixelsPerDay * kDaysPerMonth >= 6)
    return Unit::Month;
  if (mPixelsPerDay * kDaysPerQuarter >= 6)
    return Unit::Quarter;
  return Unit::Year;
}

TimeScale::RulerTiers TimeScale::rulerTiers(int labelWidth) const {
  // A day's label ("Mon 9 Dec 2024") takes about seven two-digit ones, and at least two hour
  // labels fit beside each other under it.
  if (mPixelsPerDay >= 8 * (labelWidth + 6))
    return {Unit::Day, Unit::Hour};
  if (mPixelsPerDay >= labelWidth + 6)
    return {Unit::Month, Unit::Day};
  if (mPixelsPerDay * 7 >= labelWidth + 8)
    return {Unit::Month, Unit::Week};
  // Month names shorten to their first letters; a month that holds two digits holds one.
  if (mPixelsPerDay * kDaysPerMonth >= labelWidth + 6)
    return {Unit::Year, Unit::Month};
  // "Q1" takes a little more than two digits, with the padding of a cell on either side.
  if (mPixelsPerDay * kDaysPerQuarter >= labelWidth * 3 / 2 + 12)
    return {Unit::Year, Unit::Quarter};
  return {Unit::Year, Unit::None};
}

int TimeScale::hourStep(int labelWidth) const {
  for (const int step : {1, 2, 3, 6}) {
    if (mPixelsPerDay * step / 24 >= labelWidth + 8)
      return step;
  }
  return 12;
}

int TimeScale::yearStep(int labelWidth) const {
  // A year label is twice a two-digit one.
  const double room = 2 * labelWidth + 12;
  for (const int step : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
    if (mPixelsPerDay * kDaysPerYear * step >= room)
      return step;
  }
  return 2000;
}

}  // namespace varnex::grid
