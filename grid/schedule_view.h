#pragma once

#include "grid/schedule_geometry.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QHeaderView;
class QPainter;
class QScrollBar;
class QSplitter;

namespace varnex::grid {

namespace detail {
struct ScheduleViewAccess;
}

/// The schedule grid on screen: a title strip over two panes that scroll together, the list
/// of lines with the model's columns and the timeline with a two-tier ruler and one row of
/// bars per line. It draws a ScheduleModel as its ScheduleSettings say and turns gestures into
/// signals: a click or keyboard move emits linePicked, the resting pointer emits hovered (and
/// shows the settings' toolTipText()), a double click on a bar emits barActivated; typing jumps
/// to the line whose first column starts with the typed text. The first column stays in place
/// while the list scrolls sideways. The settings' zoom and horizon set the time scale
/// (TimeScale), which places everything on the time axis; at zoom 230 the period shown fits
/// the timeline's width.
///
/// Painting touches only the visible lines and days, so 32,766 lines scroll as fast as ten.
/// The paint functions draw any range of lines onto any QPainter, for images and paged output.
class ScheduleView : public QWidget {
  Q_OBJECT
 public:
  enum class Pane { List, Timeline };

  /// How the paint functions lay the grid out in their target rectangle.
  struct PaintOptions {
    /// Width of the list part in the painter's units; the columns keep their proportions.
    /// -1: the columns' current widths. 0: no list part, only the timeline.
    int listWidth = -1;
    /// The width of each column in the painter's units (see fittedColumnWidths()); when given
    /// for every column, the list part is as wide as they are and listWidth plays no part.
    QList<int> columnWidths;
    /// The days shown, [firstDay, lastDay], fitted to the rest of the target's width.
    /// lastDay < firstDay: the period the view shows, widened to whole weeks.
    std::int32_t firstDay = 0;
    std::int32_t lastDay = -1;
    /// Draw the picked line and the focused bar as the screen does.
    bool highlights = false;
  };

  /// A view with a model of its own (see model()).
  explicit ScheduleView(QWidget* parent = nullptr);
  /// A view on a model owned elsewhere; the model must outlive the view or be replaced first.
  explicit ScheduleView(ScheduleModel* model, QWidget* parent = nullptr);
  ~ScheduleView() override;

  [[nodiscard]] ScheduleModel* model() const;
  /// Shows another model; nullptr gives the view a fresh model of its own. A model that is
  /// destroyed while shown is replaced the same way.
  void setModel(ScheduleModel* model);
  [[nodiscard]] ScheduleSettings* settings() const;
  /// Shows the lines as other settings say; nullptr gives the view settings of its own. Settings
  /// that are destroyed while in use are replaced the same way.
  void setSettings(ScheduleSettings* settings);

  /// The highlighted line (1-based), 0 for none. Setting it emits currentLineChanged() but
  /// not linePicked(): only the planner picks.
  [[nodiscard]] int currentLine() const;
  void setCurrentLine(int line);
  /// What the title strip shows: where the planner stands in the chosen kind (first, so that
  /// a narrow strip elides the rest), the number of lines in the model's words and the span of
  /// the timeline, with why it is not the horizon when it is not, and what changed since the
  /// last load.
  [[nodiscard]] QString shownTitle() const;

  /// The markers on a line for its bar ends hidden past the timeline's edges (view
  /// coordinates); a press on one picks the line and, inside the period, scrolls to the end.
  [[nodiscard]] std::vector<EdgeMarker> edgeMarkers(int line) const;

  /// Walking the lines of a kind (ScheduleModel::kinds()), as the context menu, F3 and
  /// Shift+F3 do: chooseKind() moves to the next line of the kind below the current one (a
  /// pick, wrapping at the end), -1 chooses none; the scroll bar then marks each of its lines.
  [[nodiscard]] int chosenKind() const;
  void chooseKind(int kind);
  /// The next (+1) or previous (-1) line of the chosen kind, wrapping; with none chosen, of
  /// the first text kind of the current line (F3 follows its action).
  void goToKind(int direction);
  /// "<<: orders to reschedule in, 17 of 27", with what the last step said; empty otherwise.
  [[nodiscard]] QString positionText() const;
  /// The day number the today line marks (through its middle, when the settings' today line
  /// width is positive); the current date unless set.
  [[nodiscard]] std::int32_t today() const;
  void setToday(std::int32_t day);

  /// Brings the bar into view and highlights it until the next pick; nothing for a bar that
  /// does not exist.
  void focusBar(int line, int barIndex);
  /// Scrolls vertically so the line is in view (centred when it was not).
  void scrollToLine(int line);
  /// Scrolls the timeline so the moment is at its left edge (as far as the range allows).
  void scrollToTime(TimePoint time);

  // Geometry, in this widget's coordinates; every part of the view places itself through
  // rowGeometry() and timeAxis().
  [[nodiscard]] int rowHeight() const;
  /// Height of the column captions and of the two-tier ruler beside them.
  [[nodiscard]] int headerHeight() const;
  [[nodiscard]] int titleHeight() const;
  [[nodiscard]] double pixelsPerDay() const;
  /// Whether one more zoom step that way (+1 finer, -1 coarser) would change the scale: the
  /// finest scale shows one day across the timeline, or five steps above the scale of the load
  /// (zoom 230) if that is finer; the coarsest the whole period in a sixteenth of the timeline,
  /// or five steps below the load's if that is coarser. The settings keep any zoom value.
  [[nodiscard]] bool canZoom(int direction) const;
  /// Why the view does not zoom further that way ("The largest scale: one day across the
  /// timeline"), or an empty text while it does.
  [[nodiscard]] QString zoomEndText(int direction) const;
  /// Vertical placement of lines in the bodies of both panes (body coordinates).
  [[nodiscard]] RowGeometry rowGeometry() const;
  /// Horizontal placement of time in the timeline body and the ruler (their coordinates).
  [[nodiscard]] TimeAxis timeAxis() const;
  /// The first and last day of the timeline's span (the horizon, or the bars' span when the
  /// horizon is empty or inverted).
  [[nodiscard]] std::int32_t firstDay() const;
  [[nodiscard]] std::int32_t lastDay() const;
  /// A line's band in a pane, in this widget's coordinates (may lie outside the visible part);
  /// an empty rect for a line that does not exist.
  [[nodiscard]] QRect lineRect(int line, Pane pane) const;
  /// A bar's rectangle in this widget's coordinates; an empty rect for a bar that does not exist.
  [[nodiscard]] QRect barRect(int line, int barIndex) const;
  /// The line under a point of this widget, or 0.
  [[nodiscard]] int lineAt(const QPoint& pos) const;
  /// The bar index on line under a point of this widget, or 0.
  [[nodiscard]] int barAt(const QPoint& pos, int* line = nullptr) const;
  /// The line and bar the last focusBar() highlighted, 0 when none.
  [[nodiscard]] int focusedBarLine() const;
  [[nodiscard]] int focusedBarIndex() const;

  // Parts, for hosts that style or test them.
  [[nodiscard]] QWidget* listPane() const;
  [[nodiscard]] QWidget* timelinePane() const;
  [[nodiscard]] QWidget* listBody() const;
  [[nodiscard]] QWidget* timelineBody() const;
  [[nodiscard]] QHeaderView* header() const;
  [[nodiscard]] QSplitter* splitter() const;
  [[nodiscard]] QScrollBar* verticalScrollBar() const;
  [[nodiscard]] QScrollBar* listScrollBar() const;
  [[nodiscard]] QScrollBar* timelineScrollBar() const;

  // Painting onto any device, for images, print previews and paged documents. Coordinates are
  // in the painter's units, laid out at this view's row height and fonts (96 dpi pixel sizes),
  // so scaling the painter scales everything alike.
  /// The title strip in target, showing `text` when given and shownTitle() otherwise.
  void paintTitle(QPainter* painter, const QRect& target, const QString& text = {}) const;
  /// The column captions and the ruler in target (normally headerHeight() tall).
  void paintHeader(QPainter* painter, const QRect& target, const PaintOptions& options) const;
  /// Lines firstLine..lastLine from the top of target down, clipped to target.
  void paintLines(QPainter* painter, const QRect& target, int firstLine, int lastLine,
                  const PaintOptions& options) const;
  /// Column widths for paged output that give every column its longest text, or where the
  /// texts of all need more than width, a fair share: columns that need less than an equal
  /// share keep their need, the others share the rest equally. The sum may be less than width.
  [[nodiscard]] QList<int> fittedColumnWidths(int width) const;

  QSize sizeHint() const override;

 Q_SIGNALS:
  void currentLineChanged(int line);
  /// The planner picked a line, with the mouse or the keyboard (the current line is set first).
  void linePicked(int line);
  /// The pointer rests on a line (value 1, after which the view shows the settings' tooltip
  /// text) or left the lines (line and value 0).
  void hovered(int line, int value);
  /// The planner activated a bar (a double click); flag is -1.
  void barActivated(int line, int barIndex, int flag);
  /// The planner asked for a larger (+1) or smaller (-1) scale, once per wheel notch with Ctrl
  /// held. The view leaves the zoom to its owner, who answers by setting the model's zoom; a
  /// change that follows at once stays anchored at the pointer. Past an end of the zoom range
  /// (see canZoom()) the view asks for nothing.
  void zoomRequested(int direction);
  /// canZoom() changed for either direction: after a zoom step, a load or a resize.
  void zoomLimitsChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  /// Lets the accessible interfaces (schedule_view_accessible_p.h) name Private.
  friend struct detail::ScheduleViewAccess;
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::grid
