#pragma once

#include <QString>

#include <cstdint>

namespace varnex::grid {

/// How a line differs from the line with its key in the last completed load.
enum class LineChange : std::uint8_t {
  None,     ///< the same, or there is nothing to compare with
  New,      ///< no line of the last load had its key
  Moved,    ///< its first bar starts on another day
  Changed,  ///< another cell, its bar's colour or its bar's end differ
};

/// What a completed load changed against the last completed one.
struct ChangeCounts {
  int added = 0;
  int moved = 0;
  int changed = 0;
  int gone = 0;  ///< keys of the last load that no line has now
  [[nodiscard]] bool any() const { return added + moved + changed + gone > 0; }
  friend bool operator==(const ChangeCounts&, const ChangeCounts&) = default;
};

/// A kind of line that a planner can count and walk: the lines whose first bar has a colour,
/// whose cell in a column holds exactly a text, or that changed in one way since the last
/// load. The grid's owner names them; the grid only tests lines against them.
struct LineKind {
  enum class Test : std::uint8_t { BarColour, CellText, Change };
  QString words;  ///< "Suggested", "orders to reschedule in"
  QString mark;   ///< the legend's mark for the kind ("<<"), or empty
  Test test = Test::BarColour;
  std::uint32_t colour = 0;  ///< BarColour: 0x00BBGGRR
  int column = 0;            ///< CellText: 1-based
  QString text;              ///< CellText: the whole cell
  LineChange change = LineChange::None;

  /// The kind as menus and the title strip show it: "<<: orders to reschedule in".
  [[nodiscard]] QString label() const {
    return mark.isEmpty() ? words : mark + QStringLiteral(": ") + words;
  }
  friend bool operator==(const LineKind&, const LineKind&) = default;
};

}  // namespace varnex::grid
