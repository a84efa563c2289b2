#pragma once

#include "grid/schedule_model.h"

#include <QDate>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace varnex::grid {

/// Where the lines sit vertically. Every part of the grid that places a line (both panes, the
/// highlight, hit testing, printing) asks this one mapping, so the panes cannot drift apart.
struct RowGeometry {
  int top = 0;        ///< y of the top of line 1 (negative once scrolled)
  int rowHeight = 20; ///< uniform height of every line

  /// y of the top of a line (1-based).
  [[nodiscard]] int lineTop(int line) const { return top + (line - 1) * rowHeight; }
  /// The line whose band holds y, or 0 when y lies above line 1 or below lineCount.
  [[nodiscard]] int lineAt(int y, int lineCount) const {
    if (y < top || rowHeight <= 0)
      return 0;
    const int line = (y - top) / rowHeight + 1;
    return line <= lineCount ? line : 0;
  }
  /// The first and last line that touch the band [y0, y1), clamped to 1..lineCount; last <
  /// first when none does.
  [[nodiscard]] std::pair<int, int> linesIn(int y0, int y1, int lineCount) const {
    if (rowHeight <= 0 || y1 <= y0)
      return {1, 0};
    const int first = std::max(1, int(std::floor(double(y0 - top) / rowHeight)) + 1);
    const int last = std::min(lineCount, int(std::floor(double(y1 - 1 - top) / rowHeight)) + 1);
    return {first, last};
  }
};

/// Where a moment sits horizontally: x = (days since originDay) * pixelsPerDay + x0. The ruler,
/// the day lines, the bars and the today line all place themselves through x(), so they stay
/// aligned at every zoom and scroll position.
struct TimeAxis {
  std::int32_t originDay = 0; ///< the day whose midnight sits at x0
  double pixelsPerDay = 24;
  double x0 = 0;

  [[nodiscard]] static double dayPosition(TimePoint t) { return t.day + t.minute / 1440.0; }
  [[nodiscard]] double x(double dayPos) const { return (dayPos - originDay) * pixelsPerDay + x0; }
  [[nodiscard]] double x(TimePoint t) const { return x(dayPosition(t)); }
  /// The day position (day number plus fraction) at x.
  [[nodiscard]] double dayAt(double xPos) const {
    return originDay + (xPos - x0) / pixelsPerDay;
  }
};

/// Pixels per day for a zoom value: proportional, with 230 giving 24 logical pixels per day.
/// Kept within [0.01, 50000] so extreme zoom values still give scrollable widths.
[[nodiscard]] inline double pixelsPerDayForZoom(int zoom) {
  return std::clamp(zoom * (24.0 / 230.0), 0.01, 50000.0);
}

/// Day numbers count whole days from 1 January 1900 (day 0).
inline constexpr qint64 kJulianDayOfDayZero = 2415021;
[[nodiscard]] inline QDate dateOfDay(std::int32_t day) {
  return QDate::fromJulianDay(kJulianDayOfDayZero + day);
}
[[nodiscard]] inline std::int32_t dayOfDate(QDate date) {
  return std::int32_t(date.toJulianDay() - kJulianDayOfDayZero);
}

}  // namespace varnex::grid
