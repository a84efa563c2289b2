// The list pane as assistive technology reads it: a table of every line, the model's columns
// and then the start and end of the line's bar, with cells made only when a reader asks.
#include "grid/schedule_view_accessible_p.h"

#include <QAccessible>

#include <algorithm>
#include <climits>
#include <utility>

namespace varnex::grid::detail {

namespace {

// The table's columns after the model's: the start and the end of a line's first bar.
constexpr int kTimeColumns = 2;

int columnCount(const ViewPrivate& d) {
  return d.model ? d.model->columnCount() + kTimeColumns : 0;
}

// A cell of the table; line 0 holds the column headers. Its text is read from the model each
// time, so a cell stays right however the lines change.
class AccessibleCell final : public AccessibleLeaf, public QAccessibleTableCellInterface {
 public:
  AccessibleCell(QWidget* table, ViewPrivate* owner, int lineNumber, int columnIndex)
      : AccessibleLeaf(table, owner), line(lineNumber), column(columnIndex) {}

  bool isValid() const override {
    return body && line <= d->model->lineCount() && column < columnCount(*d);
  }
  QString text(QAccessible::Text t) const override {
    if (!isValid())
      return {};
    if (t == QAccessible::Name)
      return line == 0 ? captionText(*d, column) : cellText(*d, line, column);
    if (t == QAccessible::Description && line > 0) {
      // The current line also says where it stands in the kind being walked.
      const QString position = line == d->currentLine ? d->positionText() : QString();
      return position.isEmpty() ? d->model->lineText(line)
                                : d->model->lineText(line) + QStringLiteral(". ") + position;
    }
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
    s.focused = s.selected && column == 0 && focusOf(*d) == AccessibleFocus::Cell;
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
    const AccessibleTable* owner = body && line > 0 ? tableOf(*d) : nullptr;
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

}  // namespace

AccessibleTable* tableOf(const ViewPrivate& d) {
  return dynamic_cast<AccessibleTable*>(QAccessible::queryAccessibleInterface(d.listBody));
}

AccessibleTable::AccessibleTable(QWidget* body, ViewPrivate* owner)
    : AccessiblePart(body, QAccessible::Table, owner, AccessibleFocus::Table) {}

AccessibleTable::~AccessibleTable() {
  forgetCells(-1, -1);
}

void* AccessibleTable::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface)
    return static_cast<QAccessibleTableInterface*>(this);
  return AccessiblePart::interface_cast(type);
}

int AccessibleTable::childCount() const {
  return int(std::min<qint64>(qint64(rowCount() + 1) * columnCount(), INT_MAX));
}

QAccessibleInterface* AccessibleTable::child(int index) const {
  const int columns = columnCount();
  if (index < 0 || columns == 0)
    return nullptr;
  return index < columns ? cell(0, index) : cellAt(index / columns - 1, index % columns);
}

int AccessibleTable::indexOfChild(const QAccessibleInterface* child) const {
  QAccessibleTableCellInterface* c =
      child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
  if (!c || c->table() != this)
    return -1;
  return childIndex(c->rowIndex() + 1, c->columnIndex());
}

QAccessibleInterface* AccessibleTable::childAt(int x, int y) const {
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

QAccessibleInterface* AccessibleTable::focusChild() const {
  return isValid() && focusOf(*d) == AccessibleFocus::Cell ? cellAt(d->currentLine - 1, 0)
                                                           : nullptr;
}

QAccessibleInterface* AccessibleTable::cellAt(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
    return nullptr;
  return cell(row + 1, column);
}

int AccessibleTable::selectedCellCount() const {
  return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> AccessibleTable::selectedCells() const {
  QList<QAccessibleInterface*> selected;
  for (const int row : selectedRows()) {
    for (int column = 0; column < columnCount(); ++column)
      selected << cellAt(row, column);
  }
  return selected;
}

QString AccessibleTable::columnDescription(int column) const {
  return column >= 0 && column < columnCount() ? captionText(*d, column) : QString();
}

QString AccessibleTable::rowDescription(int row) const {
  return isValid() ? d->model->lineText(row + 1) : QString();
}

int AccessibleTable::selectedRowCount() const {
  return int(selectedRows().size());
}

int AccessibleTable::columnCount() const {
  return isValid() ? detail::columnCount(*d) : 0;
}

int AccessibleTable::rowCount() const {
  return isValid() ? d->model->lineCount() : 0;
}

QList<int> AccessibleTable::selectedRows() const {
  if (isValid() && d->currentLine > 0 && d->currentLine <= d->model->lineCount())
    return {d->currentLine - 1};
  return {};
}

bool AccessibleTable::isRowSelected(int row) const {
  return selectedRows().contains(row);
}

bool AccessibleTable::selectRow(int row) {
  if (row < 0 || row >= rowCount())
    return false;
  (void)d->pick(row + 1);
  return true;
}

void AccessibleTable::modelChange(QAccessibleTableModelChangeEvent*) {
  forgetCells(rowCount(), columnCount());
}

QAccessibleInterface* AccessibleTable::cell(int line, int column) const {
  const quint64 key = keyOf(line, column);
  if (const auto it = cells.constFind(key); it != cells.constEnd())
    return QAccessible::accessibleInterface(*it);
  auto* made = new AccessibleCell(widget(), d, line, column);
  cells.insert(key, QAccessible::registerAccessibleInterface(made));
  return made;
}

int AccessibleTable::childIndex(int line, int column) const {
  return line * columnCount() + column;
}

bool AccessibleTable::noteSize() {
  const std::pair<int, int> now{rowCount(), columnCount()};
  const bool changed = now != notedSize;
  notedSize = now;
  return changed;
}

void AccessibleTable::forgetCells(int lines, int columns) {
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

}  // namespace varnex::grid::detail
