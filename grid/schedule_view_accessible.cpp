// What assistive technology hears of the schedule view. The view reads as a group named for its
// lines and period; its parts are the title strip, the list as a table of every line (the
// model's columns, then the start and end of the line's bar), the time ruler, and the timeline,
// which holds the current line's bars. Cells are made when a reader first asks for them, so
// 32,766 lines cost nothing until read. While the view has the keyboard exactly one object reads
// as focused: the timeline right after a zoom step, else the current line's first cell, else
// the table.
#include "grid/schedule_view_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDateTime>
#include <QFontMetrics>
#include <QHash>
#include <QPointer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace varnex::grid {

namespace {

// The table's columns after the model's: the start and the end of a line's first bar.
constexpr int kTimeColumns = 2;

QString unitWords(TimeScale::Unit unit) {
  switch (unit) {
    case TimeScale::Unit::Day:
      return QStringLiteral("Days");
    case TimeScale::Unit::Week:
      return QStringLiteral("Weeks");
    case TimeScale::Unit::Month:
      return QStringLiteral("Months");
    case TimeScale::Unit::Quarter:
      return QStringLiteral("Quarters");
    case TimeScale::Unit::Year:
      return QStringLiteral("Years");
    case TimeScale::Unit::None:
      break;
  }
  return {};
}

// "6 January to 5 May 2025"; the first date carries its year only when the years differ.
QString periodWords(const QLocale& locale, std::int32_t first, std::int32_t last) {
  const QDate from = dateOfDay(first);
  const QDate to = dateOfDay(std::max(first, last));
  const QString withYear = QStringLiteral("d MMMM yyyy");
  return QStringLiteral("%1 to %2")
      .arg(locale.toString(from, from.year() == to.year() ? QStringLiteral("d MMMM") : withYear),
           locale.toString(to, withYear));
}

QString momentText(const QLocale& locale, TimePoint moment) {
  const QDateTime at =
      QDateTime(dateOfDay(moment.day), QTime(0, 0), Qt::UTC).addSecs(qint64(moment.minute) * 60);
  return locale.toString(at, QLocale::ShortFormat);
}

QRect globalRect(const QWidget* widget, const QRect& local) {
  return local.translated(widget->mapToGlobal(QPoint(0, 0)));
}

void send(QObject* object, QAccessible::Event type, int child = -1) {
  QAccessibleEvent event(object, type);
  if (child >= 0)
    event.setChild(child);
  QAccessible::updateAccessibility(&event);
}

// Cells and bars are kept by line and column (or bar index).
quint64 keyOf(int line, int column) {
  return (quint64(quint32(line)) << 32) | quint32(column);
}

}  // namespace

// The interfaces read the view's state, so they live with it.
class ScheduleView::Private::Accessibility {
 public:
  enum class Focus { None, Table, Cell, Timeline };

  static int columnCount(const Private& d) {
    return d.model ? d.model->columnCount() + kTimeColumns : 0;
  }

  // The ruler's tiers as the renderer picks them.
  static TimeScale::RulerTiers tiersShown(const Private& d) {
    return d.scale.rulerTiers(QFontMetrics(d.headerFont).horizontalAdvance(QStringLiteral("30")));
  }

  // The days the timeline's body shows now, within the span.
  static QString periodInView(Private& d) {
    d.ensureLayout();
    const DaySpan span = d.scale.span();
    const TimeAxis axis = d.axis();
    const double width = std::max(1, d.timelineBody->width());
    const std::int32_t first =
        std::clamp(std::int32_t(std::floor(axis.dayAt(0))), span.first, span.last());
    const std::int32_t last =
        std::clamp(std::int32_t(std::ceil(axis.dayAt(width))) - 1, first, span.last());
    return periodWords(d.q->locale(), first, last);
  }

  // The scale and the days in view: "Weeks, 6 January to 5 May 2025".
  static QString scaleWords(Private& d) {
    const TimeScale::RulerTiers tiers = tiersShown(d);
    const TimeScale::Unit unit = tiers.lower != TimeScale::Unit::None ? tiers.lower : tiers.upper;
    return QStringLiteral("%1, %2").arg(unitWords(unit), periodInView(d));
  }

  static QString rulerWords(Private& d) {
    const TimeScale::RulerTiers tiers = tiersShown(d);
    const QString units = tiers.lower == TimeScale::Unit::None
                              ? unitWords(tiers.upper)
                              : QStringLiteral("%1 over %2")
                                    .arg(unitWords(tiers.upper), unitWords(tiers.lower).toLower());
    return QStringLiteral("Time ruler: %1, %2").arg(units, periodInView(d));
  }

  // "Schedule grid: 300 orders, 6 January to 27 April 2025": the lines and the period shown.
  static QString gridName(Private& d) {
    d.ensureLayout();
    return QStringLiteral("%1: %2, %3")
        .arg(d.q->accessibleName(), d.model->countText(d.model->lineCount()),
             periodWords(d.q->locale(), d.scale.span().first, d.scale.span().last()));
  }

  static QString cellText(const Private& d, int line, int column) {
    const int columns = d.model->columnCount();
    if (column < columns)
      return d.model->cellText(line, column + 1);
    const Bar* bar = d.model->bar(line, 1);
    if (!bar)
      return {};
    return momentText(d.q->locale(), column == columns ? bar->start : bar->end);
  }

  static QString captionText(const Private& d, int column) {
    const int columns = d.model->columnCount();
    if (column < columns)
      return d.model->columnCaption(column + 1);
    return column == columns ? QStringLiteral("Start") : QStringLiteral("End");
  }

  static QString barWords(const Private& d, const Bar& bar) {
    QString words = QStringLiteral("%1 state, %2 to %3")
                        .arg(d.model->colourName(bar.colour), momentText(d.q->locale(), bar.start),
                             momentText(d.q->locale(), bar.end));
    if (bar.hasText && !bar.text.isEmpty())
      words += QStringLiteral(", marked %1").arg(bar.text);
    return words;
  }

  class Table;
  class Timeline;
  static Table* tableOf(const Private& d);
  static Timeline* timelineOf(const Private& d);

  static Focus focusOf(const Private& d) {
    if (!d.q->hasFocus())
      return Focus::None;
    if (const Timeline* timeline = timelineOf(d); timeline && timeline->holdsFocus)
      return Focus::Timeline;
    return d.currentLine > 0 ? Focus::Cell : Focus::Table;
  }

  // A part of the view: it sits directly in the view whatever widgets hold it, and reads as
  // focused only where focusOf() says.
  class Part : public QAccessibleWidget {
   public:
    /// `focus`: the focus that makes this part read as focused; None for a part that never is.
    Part(QWidget* widget, QAccessible::Role role, Private* owner, Focus focus = Focus::None)
        : QAccessibleWidget(widget, role), d(owner), mine(focus) {}

    QAccessibleInterface* parent() const override {
      return isValid() ? QAccessible::queryAccessibleInterface(d->q) : nullptr;
    }
    QAccessible::State state() const override {
      QAccessible::State s = QAccessibleWidget::state();
      s.focused = mine != Focus::None && isValid() && focusOf(*d) == mine;
      return s;
    }

   protected:
    Private* const d;

   private:
    const Focus mine;
  };

  // What cells and bars share: made on demand inside a part of the view, without children of
  // their own and without a widget.
  class Leaf : public QAccessibleInterface {
   public:
    Leaf(QWidget* part, Private* owner) : body(part), d(owner) {}
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
    Private* const d;
  };

  // A cell of the table; line 0 holds the column headers. Its text is read from the model each
  // time, so a cell stays right however the lines change.
  class Cell final : public Leaf, public QAccessibleTableCellInterface {
   public:
    Cell(QWidget* table, Private* owner, int lineNumber, int columnIndex)
        : Leaf(table, owner), line(lineNumber), column(columnIndex) {}

    bool isValid() const override {
      return body && line <= d->model->lineCount() && column < columnCount(*d);
    }
    QString text(QAccessible::Text t) const override {
      if (!isValid())
        return {};
      if (t == QAccessible::Name)
        return line == 0 ? captionText(*d, column) : cellText(*d, line, column);
      if (t == QAccessible::Description && line > 0)
        return d->model->lineText(line);
      return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
      if (!isValid())
        return {};
      d->ensureLayout();
      if (column >= d->model->columnCount()) {
        // The start and end lie on the line's bar, their headers on the ruler.
        return line == 0 ? globalRect(d->ruler, d->ruler->rect())
                         : globalRect(d->q, d->q->barRect(line, 1));
      }
      const detail::PaintContext ctx = d->screenContext();
      const auto index = std::size_t(column);
      const detail::ColumnSpan span =
          index < ctx.columns.size() ? ctx.columns[index] : detail::ColumnSpan{};
      const int top = line == 0 ? -d->headerHeight : d->rows().lineTop(line);
      const int height = line == 0 ? d->headerHeight : d->rowHeight;
      return globalRect(body, QRect(span.x, top, span.width, height));
    }
    QAccessible::Role role() const override {
      return line == 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
      QAccessible::State s;
      if (!isValid()) {
        s.invalid = true;
        return s;
      }
      s.selectable = s.focusable = line > 0;
      s.selected = isSelected();
      s.focused = s.selected && column == 0 && focusOf(*d) == Focus::Cell;
      s.offscreen = line > 0 && !globalRect(body, body->rect()).intersects(rect());
      return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
      return type == QAccessible::TableCellInterface
                 ? static_cast<QAccessibleTableCellInterface*>(this)
                 : nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return line > 0 && line == d->currentLine; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
      const Table* owner = body && line > 0 ? tableOf(*d) : nullptr;
      return owner ? QList<QAccessibleInterface*>{owner->cell(0, column)}
                   : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column; }
    int rowIndex() const override { return line - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

   private:
    const int line;
    const int column;
  };

  // The list pane as a table: a header row of captions, then one row per line.
  class Table final : public Part, public QAccessibleTableInterface {
   public:
    Table(QWidget* body, Private* owner) : Part(body, QAccessible::Table, owner, Focus::Table) {}
    ~Table() override { forgetCells(-1, -1); }

    void* interface_cast(QAccessible::InterfaceType type) override {
      if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
      return Part::interface_cast(type);
    }
    int childCount() const override {
      return int(std::min<qint64>(qint64(rowCount() + 1) * columnCount(), INT_MAX));
    }
    QAccessibleInterface* child(int index) const override {
      const int columns = columnCount();
      if (index < 0 || columns == 0)
        return nullptr;
      return index < columns ? cell(0, index) : cellAt(index / columns - 1, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
      QAccessibleTableCellInterface* c =
          child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
      if (!c || c->table() != this)
        return -1;
      return childIndex(c->rowIndex() + 1, c->columnIndex());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
      if (!isValid())
        return nullptr;
      const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
      const int line = d->rows().lineAt(local.y(), d->model->lineCount());
      if (line == 0 || !widget()->rect().contains(local))
        return nullptr;
      const detail::PaintContext ctx = d->screenContext();
      for (std::size_t column = 0; column < ctx.columns.size(); ++column) {
        const detail::ColumnSpan span = ctx.columns[column];
        if (local.x() >= span.x && local.x() < span.x + span.width)
          return cellAt(line - 1, int(column));
      }
      return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
      return isValid() && focusOf(*d) == Focus::Cell ? cellAt(d->currentLine - 1, 0) : nullptr;
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
      if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
      return cell(row + 1, column);
    }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    QList<QAccessibleInterface*> selectedCells() const override {
      QList<QAccessibleInterface*> selected;
      for (const int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column)
          selected << cellAt(row, column);
      }
      return selected;
    }
    QString columnDescription(int column) const override {
      return column >= 0 && column < columnCount() ? captionText(*d, column) : QString();
    }
    QString rowDescription(int row) const override {
      return isValid() ? d->model->lineText(row + 1) : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override { return isValid() ? Accessibility::columnCount(*d) : 0; }
    int rowCount() const override { return isValid() ? d->model->lineCount() : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
      if (isValid() && d->currentLine > 0 && d->currentLine <= d->model->lineCount())
        return {d->currentLine - 1};
      return {};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    // Selecting a row picks its line, as a click does; the grid always keeps its pick.
    bool selectRow(int row) override {
      if (row < 0 || row >= rowCount())
        return false;
      d->pick(row + 1);
      return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {
      forgetCells(rowCount(), columnCount());
    }

    /// The cell on line (0 for the headers) and column, made on first use.
    QAccessibleInterface* cell(int line, int column) const {
      const quint64 key = keyOf(line, column);
      if (const auto it = cells.constFind(key); it != cells.constEnd())
        return QAccessible::accessibleInterface(*it);
      auto* made = new Cell(widget(), d, line, column);
      cells.insert(key, QAccessible::registerAccessibleInterface(made));
      return made;
    }
    /// Where a cell of line (0 for the headers) and column stands among the children.
    int childIndex(int line, int column) const { return line * columnCount() + column; }

    /// Notes the table's size; true when it changed since the last note.
    bool noteSize() {
      const std::pair<int, int> now{rowCount(), columnCount()};
      const bool changed = now != notedSize;
      notedSize = now;
      return changed;
    }

   private:
    // Drops the cells beyond lines and columns, or all of them for -1.
    void forgetCells(int lines, int columns) {
      for (auto it = cells.begin(); it != cells.end();) {
        const int line = int(it.key() >> 32);
        const int column = int(it.key() & 0xFFFFFFFFu);
        if (lines < 0 || line > lines || column >= columns) {
          QAccessible::deleteAccessibleInterface(it.value());
          it = cells.erase(it);
        } else {
          ++it;
        }
      }
    }

    mutable QHash<quint64, QAccessible::Id> cells;
    std::pair<int, int> notedSize{-1, -1};
  };

  // One bar of a line in the timeline.
  class BarItem final : public Leaf {
   public:
    BarItem(QWidget* timeline, Private* owner, int lineNumber, int barIndex)
        : Leaf(timeline, owner), line(lineNumber), index(barIndex) {}

    bool isValid() const override { return body && d->model->bar(line, index); }
    QString text(QAccessible::Text t) const override {
      if (!isValid() || t != QAccessible::Name)
        return {};
      return barWords(*d, *d->model->bar(line, index));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
      return isValid() ? globalRect(d->q, d->q->barRect(line, index)) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Graphic; }
    QAccessible::State state() const override {
      QAccessible::State s;
      s.invalid = !isValid();
      s.offscreen = !s.invalid && !globalRect(body, body->rect()).intersects(rect());
      return s;
    }

   private:
    const int line;
    const int index;
  };

  // The timeline: described by its scale and the days in view, holding the current line's bars.
  class Timeline final : public Part {
   public:
    Timeline(QWidget* body, Private* owner)
        : Part(body, QAccessible::Chart, owner, Focus::Timeline) {}
    ~Timeline() override {
      for (const QAccessible::Id id : std::as_const(bars))
        QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
      if (t == QAccessible::Description && isValid())
        return scaleWords(*d);
      return Part::text(t);
    }
    int childCount() const override {
      return isValid() && d->currentLine > 0 ? d->model->barCount(d->currentLine) : 0;
    }
    QAccessibleInterface* child(int i) const override {
      if (i < 0 || i >= childCount())
        return nullptr;
      const quint64 key = keyOf(d->currentLine, i + 1);
      if (const auto it = bars.constFind(key); it != bars.constEnd())
        return QAccessible::accessibleInterface(*it);
      auto* made = new BarItem(widget(), d, d->currentLine, i + 1);
      bars.insert(key, QAccessible::registerAccessibleInterface(made));
      return made;
    }
    int indexOfChild(const QAccessibleInterface* item) const override {
      for (int i = 0; i < childCount(); ++i) {
        if (child(i) == item)
          return i;
      }
      return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
      if (!isValid())
        return nullptr;
      int line = 0;
      const int index = d->q->barAt(d->q->mapFromGlobal(QPoint(x, y)), &line);
      return index > 0 && line == d->currentLine ? child(index - 1) : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    /// Reads as focused from a zoom step until the current line moves or the view is entered.
    bool holdsFocus = false;

   private:
    mutable QHash<quint64, QAccessible::Id> bars;
  };

  // The title strip and the ruler: what they show, as text.
  class Text final : public Part {
   public:
    enum class Kind { Title, Ruler };
    Text(QWidget* strip, Private* owner, Kind which)
        : Part(strip, QAccessible::StaticText, owner), kind(which) {}

    QString text(QAccessible::Text t) const override {
      if (t != QAccessible::Name || !isValid())
        return Part::text(t);
      return kind == Kind::Title ? d->q->shownTitle() : rulerWords(*d);
    }
    QAccessible::State state() const override {
      QAccessible::State s = Part::state();
      s.focusable = false;
      return s;
    }

   private:
    const Kind kind;
  };

  // The view: a group named for its lines and period and described by its scale.
  class View final : public QAccessibleWidget {
   public:
    View(ScheduleView* view, Private* owner)
        : QAccessibleWidget(view, QAccessible::Grouping), d(owner), listBody(owner->listBody) {}

    // The parts go before the view's state does; without them the view tells nothing more.
    bool isValid() const override { return QAccessibleWidget::isValid() && listBody; }
    QString text(QAccessible::Text t) const override {
      if (isValid() && t == QAccessible::Name)
        return gridName(*d);
      if (isValid() && t == QAccessible::Description)
        return scaleWords(*d);
      return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
      QAccessible::State s = QAccessibleWidget::state();
      s.focused = false;
      return s;
    }
    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface* child(int index) const override {
      const QList<QWidget*> all = parts();
      return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index])
                                              : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
      const QList<QWidget*> all = parts();
      const QObject* object = child ? child->object() : nullptr;
      const auto it = std::find(all.cbegin(), all.cend(), object);
      return object && it != all.cend() ? int(it - all.cbegin()) : -1;
    }
    QAccessibleInterface* focusChild() const override {
      if (!isValid())
        return nullptr;
      switch (focusOf(*d)) {
        case Focus::Table:
          return QAccessible::queryAccessibleInterface(d->listBody);
        case Focus::Timeline:
          return QAccessible::queryAccessibleInterface(d->timelineBody);
        case Focus::Cell: {
          const Table* table = tableOf(*d);
          return table ? table->focusChild() : nullptr;
        }
        case Focus::None:
          break;
      }
      return nullptr;
    }

    /// The name readers last heard of, to tell them only when it changes.
    QString notedName;

   private:
    // On-screen order: the title over the table and, to its right, the ruler over the timeline.
    QList<QWidget*> parts() const {
      if (!isValid())
        return {};
      return {d->title.get(), d->listBody, d->ruler, d->timelineBody};
    }

    Private* const d;
    QPointer<QWidget> listBody;
  };

  static Private* ownerOf(const ScheduleView* view) {
    auto* body = dynamic_cast<Body*>(view->listBody());
    return body ? body->owner() : nullptr;
  }

  // Parts are recognised by what they are once the view is built; what is asked for earlier
  // gets the toolkit's plain interface, which installAccessibility() replaces.
  static QAccessibleInterface* create(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
      return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* view = qobject_cast<ScheduleView*>(widget)) {
      Private* d = ownerOf(view);
      return d ? new View(view, d) : nullptr;
    }
    if (auto* body = dynamic_cast<Body*>(widget)) {
      if (body->pane() == Pane::List)
        return new Table(body, body->owner());
      return new Timeline(body, body->owner());
    }
    for (QWidget* holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
      if (auto* view = qobject_cast<ScheduleView*>(holder)) {
        Private* d = ownerOf(view);
        if (d && widget == d->title.get())
          return new Text(widget, d, Text::Kind::Title);
        if (d && widget == d->ruler)
          return new Text(widget, d, Text::Kind::Ruler);
        return nullptr;
      }
    }
    return nullptr;
  }

  // Sends the focus event for whatever reads as focused now.
  static void sendFocus(const Private& d, const Table& table) {
    switch (focusOf(d)) {
      case Focus::Cell:
        send(d.listBody, QAccessible::Focus, table.childIndex(d.currentLine, 0));
        break;
      case Focus::Table:
        send(d.listBody, QAccessible::Focus);
        break;
      case Focus::Timeline:
        send(d.timelineBody, QAccessible::Focus);
        break;
      case Focus::None:
        break;
    }
  }

  static bool isOwn(QAccessibleInterface* iface) {
    return dynamic_cast<View*>(iface) || dynamic_cast<Part*>(iface);
  }
};

ScheduleView::Private::Accessibility::Table* ScheduleView::Private::Accessibility::tableOf(
    const Private& d) {
  return dynamic_cast<Table*>(QAccessible::queryAccessibleInterface(d.listBody));
}

ScheduleView::Private::Accessibility::Timeline* ScheduleView::Private::Accessibility::timelineOf(
    const Private& d) {
  return dynamic_cast<Timeline*>(QAccessible::queryAccessibleInterface(d.timelineBody));
}

void ScheduleView::Private::installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(Accessibility::create);
    return true;
  }();
  Q_UNUSED(installed);
  // Interfaces asked for while the view was being built are the toolkit's plain ones; they go,
  // so that the next reader gets the view's own.
  for (QObject* part :
       std::initializer_list<QObject*>{q, title.get(), listBody, ruler, timelineBody}) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(part);
    if (iface && !Accessibility::isOwn(iface))
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
  }
}

void ScheduleView::Private::announceFocus() {
  if (!QAccessible::isActive())
    return;
  // After the toolkit's own focus event for the view, which readers pass over since the view
  // does not read as focused.
  QMetaObject::invokeMethod(
      q,
      [this] {
        Accessibility::Table* table = Accessibility::tableOf(*this);
        Accessibility::Timeline* timeline = Accessibility::timelineOf(*this);
        if (!table || !timeline)
          return;
        timeline->holdsFocus = false;
        Accessibility::sendFocus(*this, *table);
      },
      Qt::QueuedConnection);
}

void ScheduleView::Private::announceCurrentLine(int previous) {
  Accessibility::Table* table = QAccessible::isActive() ? Accessibility::tableOf(*this) : nullptr;
  Accessibility::Timeline* timeline = table ? Accessibility::timelineOf(*this) : nullptr;
  if (!timeline)
    return;
  timeline->holdsFocus = false;
  if (previous > 0 && previous <= model->lineCount() && previous != currentLine)
    send(listBody, QAccessible::SelectionRemove, table->childIndex(previous, 0));
  if (currentLine == 0)
    return;
  Accessibility::sendFocus(*this, *table);
  send(listBody, QAccessible::Selection, table->childIndex(currentLine, 0));
}

void ScheduleView::Private::announceScale() {
  Accessibility::Timeline* timeline =
      QAccessible::isActive() ? Accessibility::timelineOf(*this) : nullptr;
  if (!timeline)
    return;
  send(timelineBody, QAccessible::DescriptionChanged);
  send(q, QAccessible::DescriptionChanged);
  send(ruler, QAccessible::NameChanged);
  // With the keyboard in the view, the timeline takes the reader's focus so that the new scale
  // is read out; moving the current line gives it back to the table.
  if (q->hasFocus()) {
    timeline->holdsFocus = true;
    send(timelineBody, QAccessible::Focus);
  }
}

void ScheduleView::Private::announceLines() {
  Accessibility::Table* table = QAccessible::isActive() ? Accessibility::tableOf(*this) : nullptr;
  auto* view = table ? dynamic_cast<Accessibility::View*>(QAccessible::queryAccessibleInterface(q))
                     : nullptr;
  if (!view)
    return;
  if (table->noteSize()) {
    QAccessibleTableModelChangeEvent reset(listBody, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
  }
  const QString name = Accessibility::gridName(*this);
  if (name != view->notedName) {
    view->notedName = name;
    send(q, QAccessible::NameChanged);
    send(title.get(), QAccessible::NameChanged);
  }
}

}  // namespace varnex::grid
