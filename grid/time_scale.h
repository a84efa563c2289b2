#pragma once

#include "calendar/day_number.h"
#include "grid/schedule_model.h"

#include <QDate>

#include <cstdint>

namespace varnex::grid {

/// The date of a day on the time axis, and the day of a valid date (days counted from
/// 1 January 1900, day 0, as the calendar's day numbers are).
[[nodiscard]] inline QDate dateOfDay(std::int32_t day) {
  return calendar::dateOfDayNumber(day);
}
[[nodiscard]] inline std::int32_t dayOfDate(QDate date) {
  return std::int32_t(calendar::dayNumberOf(date));
}

/// The days a timeline covers: from the start of day `first` to the start of day `end`.
struct DaySpan {
  std::int32_t first = 0;
  std::int32_t end = 1;
  [[nodiscard]] std::int32_t last() const { return end - 1; }
  [[nodiscard]] std::int32_t days() const { return end - first; }
  friend bool operator==(const DaySpan&, const DaySpan&) = default;
};

/// Where a moment sits horizontally: x = (days since originDay) * pixelsPerDay + x0. The ruler,
/// the day lines, the bars and the today line all place themselves through x(), so they stay
/// aligned at every zoom and scroll position.
struct TimeAxis {
  std::int32_t originDay = 0;  ///< the day whose midnight sits at x0
  double pixelsPerDay = 24;
  double x0 = 0;

  [[nodiscard]] static double dayPosition(TimePoint t) { return t.day + t.minute / 1440.0; }
  [[nodiscard]] double x(double dayPos) const { return (dayPos - originDay) * pixelsPerDay + x0; }
  [[nodiscard]] double x(TimePoint t) const { return x(dayPosition(t)); }
  /// The day position (day number plus fraction) at x.
  [[nodiscard]] double dayAt(double xPos) const { return originDay + (xPos - x0) / pixelsPerDay; }
};

/// The time scale of a timeline: the days it spans and the pixels a day takes, with what
/// follows from them: where any moment sits, how wide the whole span is, and which day lines,
/// shading and ruler tiers stay legible. The screen, images and print all draw through it.
class TimeScale {
 public:
  /// Units of day lines and ruler tiers.
  enum class Unit { None, Hour, Day, Week, Month, Quarter, Year };
  /// The ruler's two tiers: labels of the upper over labels of the lower unit.
  struct RulerTiers {
    Unit upper = Unit::Month;
    Unit lower = Unit::Day;
    friend bool operator==(const RulerTiers&, const RulerTiers&) = default;
  };
  /// Where the span a timeline shows comes from.
  enum class Source {
    Horizon,  ///< the horizon, which holds at least one bar (or is set while there are none)
    Bars,     ///< the bars' span, since the horizon is not set or holds none of them
    Today     ///< weeks around today: neither a horizon nor bars
  };
  struct Period {
    DaySpan span;
    Source source = Source::Horizon;
    friend bool operator==(const Period&, const Period&) = default;
  };

  /// The zoom value at which a timeline shows its fit scale.
  static constexpr int kBaseZoom = 230;
  /// The fit scale's bounds: a long period stays legible, a short one does not blow up.
  static constexpr double kMinFit = 1.5;
  static constexpr double kMaxFit = 24;
  /// The zoom values of one step (a wheel notch, a button press): a factor of about 1.41.
  static constexpr int kZoomStep = 50;
  /// How many steps a planner can always zoom from the load's scale, either way.
  static constexpr int kStepsFromLoad = 5;
  /// The scales a planner can zoom between: the finest shows one day across the timeline (or
  /// five steps above the load's scale, if that is finer), the coarsest the whole span in a
  /// sixteenth of the timeline (or five steps below the load's scale, if that is coarser).
  struct ZoomRange {
    double coarsest = 1;
    double finest = 1;
    /// Whether pixelsPerDay lies at (or past) either end, within rounding.
    [[nodiscard]] bool atCoarsest(double pixelsPerDay) const;
    [[nodiscard]] bool atFinest(double pixelsPerDay) const;
  };

  TimeScale() = default;
  /// A scale over span at pixelsPerDay, kept within [0.01, 50000] pixels per day.
  TimeScale(DaySpan span, double pixelsPerDay);

  /// The scale at which span fills width pixels, kept within [kMinFit, kMaxFit].
  [[nodiscard]] static double fitFor(DaySpan span, double width);
  /// The zoom range of a timeline width pixels wide whose load showed span at loadScale.
  [[nodiscard]] static ZoomRange zoomRange(DaySpan span, double width, double loadScale);
  /// The pixels per day of a zoom value: fit x 2^((zoom - 230) / 100), so that each step of
  /// 50 scales by the same factor. zoomFor() is its inverse.
  [[nodiscard]] static double zoomed(double zoom, double fit);
  [[nodiscard]] static double zoomFor(double pixelsPerDay, double fit);
  /// The scale for a zoom value, kept within range.
  [[nodiscard]] static TimeScale forZoom(int zoom, DaySpan span, double fit, ZoomRange range);
  /// The scale at which span exactly fills width pixels (images and print).
  [[nodiscard]] static TimeScale fitted(DaySpan span, double width);
  /// The period a timeline shows: the horizon [horizonStart, horizonEnd] when it is set (the
  /// end not before the start, and after day 0) and holds at least one bar; otherwise the
  /// bars' span from the Monday of the earliest start to a week past the latest end; without
  /// bars the set horizon, or else nine weeks around today.
  [[nodiscard]] static Period periodFor(std::int32_t horizonStart, std::int32_t horizonEnd,
                                        const ScheduleModel& model, std::int32_t today);

  [[nodiscard]] DaySpan span() const { return mSpan; }
  [[nodiscard]] double pixelsPerDay() const { return mPixelsPerDay; }
  /// Width of the whole span in pixels, bounded so that scroll ranges stay within int.
  [[nodiscard]] double contentWidth() const;
  /// The axis that puts the span's first day at x = left (for example minus a scroll offset).
  [[nodiscard]] TimeAxis axis(double left) const;
  /// The distance of a moment from the start of the span, in pixels.
  [[nodiscard]] double offsetOf(double dayPos) const;

  /// Which boundaries the timeline marks with a line: every Day, every Week (Mondays, with
  /// month starts), or only the starts of each Month, Quarter or Year.
  [[nodiscard]] Unit dayLines() const;
  /// Whether weekends are wide enough to be shaded.
  [[nodiscard]] bool shadesWeekends() const { return mPixelsPerDay >= 2; }
  /// The ruler's tiers when a two-digit label ("30") is labelWidth pixels wide: days over
  /// hours at the largest scales, months over days or weeks, years over months or quarters,
  /// and years alone at the smallest scales.
  [[nodiscard]] RulerTiers rulerTiers(int labelWidth) const;
  /// How many hours apart the hour labels stand so that labels labelWidth wide never touch.
  [[nodiscard]] int hourStep(int labelWidth) const;
  /// How many years apart the year labels stand so that labels labelWidth wide never touch.
  [[nodiscard]] int yearStep(int labelWidth) const;

  friend bool operator==(const TimeScale&, const TimeScale&) = default;

 private:
  DaySpan mSpan;
  double mPixelsPerDay = 24;
};

}  // namespace varnex::grid
