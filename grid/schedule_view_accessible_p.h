#pragma once

// What the view's accessible interfaces share: the parts of the view, the table of lines and the
// timeline, and the words they speak. schedule_view_accessible.cpp tells how they fit together.
#include "grid/schedule_view_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QString>

#include <utility>

namespace varnex::grid::detail {

// The view befriends this so that the interfaces, which live outside it, can name its state.
struct ScheduleViewAccess {
  using Private = ScheduleView::Private;
};
/// The view's state, which every interface reads.
using ViewPrivate = ScheduleViewAccess::Private;

/// What reads as focused while the view has the keyboard.
enum class AccessibleFocus { None, Table, Cell, Timeline };

class AccessibleTable;
class AccessibleTimeline;

/// The timeline right after a zoom step, else the current line's first cell, else the table.
[[nodiscard]] AccessibleFocus focusOf(const ViewPrivate& d);
/// The list pane's interface; nullptr while the toolkit's plain one stands for it.
[[nodiscard]] AccessibleTable* tableOf(const ViewPrivate& d);
/// The timeline's interface; nullptr while the toolkit's plain one stands for it.
[[nodiscard]] AccessibleTimeline* timelineOf(const ViewPrivate& d);

/// `local`, in the widget's coordinates, on the screen.
inline QRect globalRect(const QWidget* widget, const QRect& local) {
  return local.translated(widget->mapToGlobal(QPoint(0, 0)));
}

/// Cells and bars are kept by line and column (or bar index).
inline quint64 keyOf(int line, int column) {
  return (quint64(quint32(line)) << 32) | quint32(column);
}

// What readers hear (schedule_view_spoken.cpp).
/// "Schedule grid: 300 orders, 6 January to 27 April 2025": the lines and the period shown.
[[nodiscard]] QString gridName(ViewPrivate& d);
/// The scale and the days in view: "Weeks, 6 January to 5 May 2025".
[[nodiscard]] QString scaleWords(ViewPrivate& d);
/// The ruler's tiers and the days in view: "Time ruler: Months over weeks, 6 January to ...".
[[nodiscard]] QString rulerWords(ViewPrivate& d);
/// A table cell of line (from 1): the model's column, or the start or end of the first bar.
[[nodiscard]] QString cellText(const ViewPrivate& d, int line, int column);
/// The caption over a table column: the model's, or "Start" and "End".
[[nodiscard]] QString captionText(const ViewPrivate& d, int column);
/// "<colour> state, <start> to <end>", then ", marked <text>" when the bar shows a mark.
[[nodiscard]] QString barWords(const ViewPrivate& d, const Bar& bar);

// A part of the view: it sits directly in the view whatever widgets hold it, and reads as
// focused only where focusOf() says.
class AccessiblePart : public QAccessibleWidget {
 public:
  /// `focus`: the focus that makes this part read as focused; None for a part that never is.
  AccessiblePart(QWidget* widget, QAccessible::Role role, ViewPrivate* owner,
                 AccessibleFocus focus = AccessibleFocus::None)
      : QAccessibleWidget(widget, role), d(owner), mine(focus) {}

  QAccessibleInterface* parent() const override {
    return isValid() ? QAccessible::queryAccessibleInterface(d->q) : nullptr;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focused = mine != AccessibleFocus::None && isValid() && focusOf(*d) == mine;
    return s;
  }

 protected:
  ViewPrivate* const d;

 private:
  const AccessibleFocus mine;
};

// What cells and bars share: made on demand inside a part of the view, without children of
// their own and without a widget.
class AccessibleLeaf : public QAccessibleInterface {
 public:
  AccessibleLeaf(QWidget* part, ViewPrivate* owner) : body(part), d(owner) {}
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return body ? QAccessible::queryAccessibleInterface(body) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

 protected:
  QPointer<QWidget> body;
  ViewPrivate* const d;
};

// The list pane as a table: a header row of captions, then one row per line
// (schedule_view_accessible_table.cpp).
class AccessibleTable final : public AccessiblePart, public QAccessibleTableInterface {
 public:
  AccessibleTable(QWidget* body, ViewPrivate* owner);
  ~AccessibleTable() override;

  void* interface_cast(QAccessible::InterfaceType type) override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override;
  int columnCount() const override;
  int rowCount() const override;
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  /// Selecting a row picks its line, as a click does; the grid always keeps its pick.
  bool selectRow(int row) override;
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override;

  /// The cell on line (0 for the headers) and column, made on first use.
  QAccessibleInterface* cell(int line, int column) const;
  /// Where a cell of line (0 for the headers) and column stands among the children.
  int childIndex(int line, int column) const;

  /// Notes the table's size; true when it changed since the last note.
  bool noteSize();

 private:
  /// Drops the cells beyond lines and columns, or all of them for -1.
  void forgetCells(int lines, int columns);

  mutable QHash<quint64, QAccessible::Id> cells;
  std::pair<int, int> notedSize{-1, -1};
};

// The timeline: described by its scale and the days in view, holding the current line's bars
// (schedule_view_accessible_timeline.cpp).
class AccessibleTimeline final : public AccessiblePart {
 public:
  AccessibleTimeline(QWidget* body, ViewPrivate* owner);
  ~AccessibleTimeline() override;

  QString text(QAccessible::Text t) const override;
  int childCount() const override;
  QAccessibleInterface* child(int i) const override;
  int indexOfChild(const QAccessibleInterface* item) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override { return nullptr; }

  /// Reads as focused from a zoom step until the current line moves or the view is entered.
  bool holdsFocus = false;

 private:
  mutable QHash<quint64, QAccessible::Id> bars;
};

}  // namespace varnex::grid::detail
