#pragma once

#include "grid/schedule_geometry.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPointF>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;
class QPalette;
class QRect;

namespace varnex::grid::detail {

/// Space between a cell's text and its edges.
inline constexpr int kCellPadding = 6;

/// The grid's colours, derived from a palette so a dark theme stays readable.
struct GridColours {
  QColor base;
  QColor alternate;
  QColor text;
  QColor gridLine;
  QColor strongLine;
  QColor headerBackground;
  QColor headerText;
  QColor headerLine;
  QColor weekend;
  QColor outside;
  QColor pick;
  QColor pickInactive;
  QColor pickBorder;
  QColor pickBorderInactive;
  QColor focusRing;
  QColor today;

  static GridColours fromPalette(const QPalette& palette);
};

struct ColumnSpan {
  int x = 0;
  int width = 0;
};

/// Everything one paint pass needs. The screen's panes and the export functions (images, print)
/// fill it from the same view state and draw through the same functions below, so they draw
/// alike; only the geometry differs.
struct PaintContext {
  const ScheduleModel* model = nullptr;
  const ScheduleSettings* settings = nullptr;
  QFont font;
  QFont markFont;
  QFont headerFont;
  QLocale locale;
  GridColours colours;
  RowGeometry rows;
  TimeScale scale;                  ///< the days shown and the pixels per day
  TimeAxis axis;                    ///< scale's axis, placed in the painter's coordinates
  std::vector<ColumnSpan> columns;  ///< one per model column, in the painter's coordinates
  /// Width of the first column when it stays in place while the others scroll under it: the
  /// others are clipped to its right. 0: every column where its span says.
  int frozenWidth = 0;
  int currentLine = 0;
  bool focused = false;
  /// Captions too wide for their column go on two lines instead of being elided.
  bool wrapCaptions = false;
  int focusLine = 0;
  int focusBar = 0;
  std::int32_t today = 0;
  int todayWidth = 0;
};

/// Fill colour of a bar colour value 0x00BBGGRR.
[[nodiscard]] QColor barFill(std::uint32_t colour);
/// Black or white, whichever reads better on the fill.
[[nodiscard]] QColor markColourOn(const QColor& fill);
/// The month tier label: in pattern, M is the month name, Y the year; other characters stay.
[[nodiscard]] QString monthLabel(const QString& pattern, QDate month, const QLocale& locale,
                                 QLocale::FormatType format);
/// The rectangle a bar occupies in the context's coordinates (before any outline).
[[nodiscard]] QRect barRect(const PaintContext& ctx, int line, const Bar& bar);

/// The list pane's lines [firstLine, lastLine] within area (the pane's rectangle).
void paintListRows(QPainter& p, const PaintContext& ctx, const QRect& area, int firstLine,
                   int lastLine);
/// The timeline's lines [firstLine, lastLine] within area: day grid, bars, marks, today line.
void paintTimelineRows(QPainter& p, const PaintContext& ctx, const QRect& area, int firstLine,
                       int lastLine);
/// The markers of a line in area: one at the left for the earliest bar that begins before the
/// part of the timeline in area, one at the right for the latest that ends after it.
[[nodiscard]] std::vector<EdgeMarker> edgeMarkers(const PaintContext& ctx, const QRect& area,
                                                  int line);
/// The same, measured with fm (the context's font), for a paint pass over many lines.
[[nodiscard]] std::vector<EdgeMarker> edgeMarkers(const PaintContext& ctx, const QRect& area,
                                                  int line, const QFontMetrics& fm);
/// The mark of a line's change since the last load, size pixels across at centre: a dot for a
/// new line, a triangle the way a moved one went, a diamond for a changed one.
void paintChangeMark(QPainter& p, QPointF centre, double size, LineChange change, int movedDays);
/// The two-tier ruler (months over days) across area.
void paintRuler(QPainter& p, const PaintContext& ctx, const QRect& area);
/// One column caption in cell; all captions in area.
void paintCaption(QPainter& p, const PaintContext& ctx, const QRect& cell, int column);
void paintCaptions(QPainter& p, const PaintContext& ctx, const QRect& area);
/// The title strip, styled by the settings' title alignment, border, colour and font.
void paintTitle(QPainter& p, const ScheduleSettings& settings, const QRect& area,
                const QString& text, const GridColours& colours);
/// The settings' title font as a QFont.
[[nodiscard]] QFont titleFont(const ScheduleSettings& settings);

}  // namespace varnex::grid::detail
