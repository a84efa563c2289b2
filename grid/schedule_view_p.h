#pragma once

#include "grid/schedule_renderer.h"
#include "grid/schedule_view.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPointer>
#include <QSplitter>

#include <memory>

class QMenu;
class QScrollBar;

namespace varnex::grid {

// The view's state and its parts. The parts (schedule_view_parts.cpp) are plain widgets that
// paint through the shared renderer and hand every gesture to this class, which owns all
// geometry (schedule_view_private.cpp). The parts point back to this state, so they are its
// last members and go first.
class ScheduleView::Private {
 public:
  class Body;
  class ListBody;
  class TimelineBody;
  class Ruler;
  class TitleStrip;
  class Header;
  class CaptionModel;
  class PaneWidget;
  class ScrollBar;

  explicit Private(ScheduleView* view);

  // What assistive technology hears (schedule_view_accessible.cpp).
  /// Registers the factory that describes the view and its parts, once the parts exist.
  void installAccessibility();
  /// The current line (or the table) as focused, when the view takes the keyboard.
  void announceFocus();
  /// The current line as focused and selected after it moved from `previous`.
  void announceCurrentLine(int previous);
  /// The new scale and the days in view, after a zoom step.
  void announceScale();
  /// The lines and the period, when a load or a new horizon changed them.
  void announceLines();

  void build();
  void attach(ScheduleModel* newModel);
  void attachSettings(ScheduleSettings* newSettings);
  /// Gives the header the model's columns and their initial widths when their number changed
  /// (or always, when `force`), so that a reload keeps the widths the user set.
  void syncColumns(bool force);
  void updateMetrics();
  void scheduleRelayout();
  void ensureLayout();
  void relayout();
  /// The period the model's horizon, bars and today call for.
  [[nodiscard]] TimeScale::Period periodShown() const;
  void updateSpan();
  /// The scale for the model's zoom on the period, fitted to the timeline's width, and which
  /// zoom steps would still change it.
  void updateScale();
  /// After the timeline's width changed while the planner had zoomed: sets the zoom value that
  /// shows the kept scale at the new width, or the nearest end of the zoom range.
  void keepZoomedScale(double pixelsPerDay);
  /// Whether a zoom step that way (+1 finer, -1 coarser) changes the scale shown.
  [[nodiscard]] bool zoomChanges(int direction) const;
  /// The words that say why the view does not zoom further that way, or none.
  [[nodiscard]] QString zoomEndWords(int direction) const;
  /// Width of the timeline's body as the panes lay it out.
  [[nodiscard]] int timelineWidth() const;
  /// Width of a column (0-based) and of all columns; the first column stays in place.
  [[nodiscard]] int columnWidth(int column) const;
  [[nodiscard]] int frozenWidth() const;
  [[nodiscard]] int listLength() const;
  void layoutPanes();
  void updateRanges();
  void updateBodies();

  [[nodiscard]] RowGeometry rows() const;
  [[nodiscard]] TimeAxis axis() const;
  [[nodiscard]] detail::PaintContext screenContext() const;
  /// The font in pixels at the screen's size, so that a painter's scale alone sizes output.
  [[nodiscard]] static QFont inPixels(QFont font);
  [[nodiscard]] detail::PaintContext exportContext(const QRect& target, const PaintOptions& options,
                                                   int firstLine, int* listWidth) const;
  [[nodiscard]] int visibleRowCount() const;

  // The gestures' signals reach an owner who may show a box, during which the view may be
  // deleted: these return false when the view is gone, and callers then touch nothing of it.
  [[nodiscard]] bool pick(int line);
  void moveCurrent(int key);
  /// Moves to the next line whose first column starts with the text typed so far.
  bool typeAhead(const QString& text);
  /// Ctrl + wheel: one zoom request per notch, anchored at the pointer.
  void zoomWheel(QWheelEvent* event, bool overTimeline);
  void ensureLineVisible(int line, bool centre);
  /// A press at pos on a line's edge marker (timeline body coordinates) picks the line and,
  /// where the hidden end lies in the period, scrolls to it; false when pos is on no marker.
  bool clickEdgeMarker(int line, const QPoint& pos);
  void onZoomChanged();
  void onFocusRequested(int line, int barIndex);
  void hoverAt(int line);
  void showToolTip(QWidget* body, const QPoint& pos, const QPoint& globalPos);
  void wheel(QWheelEvent* event, QScrollBar* horizontal);

  // Walking the lines of a kind (schedule_view_kinds.cpp).
  /// Chooses kinds()[kind] (-1: none) and moves to its next line below the current one.
  void chooseKind(int kind);
  /// F3 (+1) and Shift+F3 (-1): the next or previous line of the chosen kind, wrapping; with
  /// none chosen, the kind of the current line's text (the first text kind it matches).
  void walkKind(int direction);
  /// Where the planner stands in the chosen kind ("<<: late, 17 of 27"), and what the last
  /// step said; empty with no kind chosen and nothing said.
  [[nodiscard]] QString positionText() const;
  /// The kinds with their counts, the chosen one checked, as a menu at globalPos.
  void showKindMenu(const QPoint& globalPos);
  /// After a load: the chosen kind is found again by its label, or dropped.
  void onKindsChanged();
  /// The title strip and assistive technology hear of a new position.
  void announcePosition();
  ScheduleView* const q;
  // What the view shows: its own model and settings until it is given others.
  std::unique_ptr<ScheduleModel> ownModel;
  std::unique_ptr<ScheduleSettings> ownSettings;
  QPointer<ScheduleModel> model;
  QPointer<ScheduleSettings> settings;
  // The context of every connection to the model and to the settings: replaced with them, and
  // gone before the view's own model and settings, so that nothing answers while they go.
  std::unique_ptr<QObject> modelListener;
  std::unique_ptr<QObject> settingsListener;

  detail::GridColours colours;
  QFont markFont;
  QFont headerFont;
  int rowHeight = 22;
  int headerHeight = 40;
  int titleHeight = 28;
  TimeScale scale;
  TimeScale::Period period;
  /// The scale at zoom 230 (the load's), and the range a planner zooms within, at the
  /// timeline's width.
  double fit = 1;
  TimeScale::ZoomRange zoomRange;
  /// Which zoom steps change the scale, as last told to the owner (zoomLimitsChanged()).
  bool canZoomIn = true;
  bool canZoomOut = true;
  /// Set while the view itself changes the zoom value to keep a scale.
  bool keepingScale = false;
  /// Where the next scale change keeps the moment under it (timeline x), -1 for the centre.
  double zoomAnchor = -1;
  int wheelZoomDelta = 0;
  QString typed;
  qint64 typedAt = 0;
  int chosenKind = -1;
  QString chosenLabel;
  QString walkNote;  ///< said with the position after a step that wrapped or went nowhere
  QPointer<QMenu> kindMenu;

  int currentLine = 0;
  int focusLine = 0;
  int focusBar = 0;
  int hoverLine = 0;
  std::int32_t today = 0;

  bool layoutDirty = true;
  bool relayoutPosted = false;
  bool splitterSized = false;
  bool laying = false;
  bool laidOut = false;  ///< the timeline has had a width, so a new one is a resize

  // The parts, owned here and declared last so that they go before the state they point to;
  // the captions outlive the headers that show them.
  std::unique_ptr<CaptionModel> captions;
  std::unique_ptr<QWidget> title;
  std::unique_ptr<QSplitter> splitter;
  // Within the splitter, which owns them.
  QWidget* listPane = nullptr;
  QWidget* timelinePane = nullptr;
  Header* header = nullptr;        ///< the captions that scroll: every column but the first
  Header* frozenHeader = nullptr;  ///< the first column's caption, which stays in place
  Body* listBody = nullptr;
  QWidget* ruler = nullptr;
  Body* timelineBody = nullptr;
  QScrollBar* vScroll = nullptr;
  QScrollBar* listHScroll = nullptr;
  QScrollBar* timeHScroll = nullptr;
};

// What both pane bodies share: picking, hovering, tooltips and wheel scrolling.
class ScheduleView::Private::Body : public QWidget {
 public:
  Body(Private* owner, Pane pane, QWidget* parent);
  Private* owner() const { return d; }
  Pane pane() const { return which; }

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  /// Paints the lines that the exposed part of the body shows with `paintRows`.
  template <typename PaintRows>
  void paintExposedLines(QPaintEvent* event, QPainter& p, PaintRows paintRows);

  Private* const d;
  const Pane which;
};

// The column captions as a model of their own, so the header never sees the lines.
class ScheduleView::Private::CaptionModel : public QAbstractTableModel {
 public:
  explicit CaptionModel(Private* owner) : d(owner) {}
  int rowCount(const QModelIndex&) const override { return 0; }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() || !d->model ? 0 : d->model->columnCount();
  }
  /// Tells the header that the columns changed.
  void refresh() {
    beginResetModel();
    endResetModel();
  }
  QVariant data(const QModelIndex&, int) const override { return {}; }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  Private* const d;
};

// Resizable captions drawn by the shared painter.
class ScheduleView::Private::Header : public QHeaderView {
 public:
  Header(Private* owner, QWidget* parent);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Private* const d;
};

}  // namespace varnex::grid
