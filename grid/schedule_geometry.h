#pragma once

#include "grid/time_scale.h"

#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

namespace varnex::grid {

/// A marker at an edge of the timeline for a bar end hidden beyond it, on the bar's line.
struct EdgeMarker {
  QRect rect;            ///< in the coordinates of whoever asked
  TimePoint time;        ///< the hidden end: the start at the left edge, the end at the right
  bool left = true;      ///< at the left edge (the bar begins before the part in view)
  bool outside = false;  ///< the hidden end lies outside the period the timeline spans
  QString text;          ///< "12 Dec 2024", "before the period: 12 Dec 2024"; empty if no room
};

/// Where the lines sit vertically. Every part of the grid that places a line (both panes, the
/// highlight, hit testing, printing) asks this one mapping, so the panes cannot drift apart.
struct RowGeometry {
  int top = 0;         ///< y of the top of line 1 (negative once scrolled)
  int rowHeight = 20;  ///< uniform height of every line

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

}  // namespace varnex::grid
