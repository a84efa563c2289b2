#include "grid/schedule_model.h"

#include <QHash>
#include <QLocale>
#include <QMetaObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

namespace varnex::grid {

QString LineDescriber::lineDescription(const ScheduleModel&, int) const {
  return {};
}

QList<LineKind> LineDescriber::kinds() const {
  return {};
}

int LineDescriber::keyColumn() const {
  return 1;
}

namespace {

bool earlier(const TimePoint& a, const TimePoint& b) {
  return a.day != b.day ? a.day < b.day : a.minute < b.minute;
}

// A growable array of plain values for the model's bulk storage, filled without zeroing first.
// It keeps its block when cleared, so that a reload writes into memory already in place.
template <typename T>
class BulkArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  BulkArray() = default;
  BulkArray(const BulkArray&) = delete;
  BulkArray& operator=(const BulkArray&) = delete;
  ~BulkArray() { std::free(block); }

  [[nodiscard]] std::size_t size() const { return count; }
  [[nodiscard]] const T* data() const { return block; }
  [[nodiscard]] const T& operator[](std::size_t i) const { return block[i]; }
  void clear() { count = 0; }
  void assign(const BulkArray& other) {
    clear();
    append(other.data(), other.size());
  }
  void push_back(T value) {
    if (count == capacity)
      grow(count + 1);
    block[count++] = value;
  }
  void append(const T* values, std::size_t n) {
    if (n == 0)
      return;
    if (count + n > capacity)
      grow(count + n);
    std::memcpy(block + count, values, n * sizeof(T));
    count += n;
  }

 private:
  void grow(std::size_t needed) {
    const std::size_t wanted = std::max({needed, capacity * 2, std::size_t(4096) / sizeof(T)});
    T* grown = static_cast<T*>(std::realloc(block, wanted * sizeof(T)));
    if (!grown)
      throw std::bad_alloc();
    block = grown;
    capacity = wanted;
  }

  T* block = nullptr;
  std::size_t count = 0;
  std::size_t capacity = 0;
};

// Plain words for a model whose owner gave none.
class PlainDescriber final : public LineDescriber {
 public:
  QString colourName(std::uint32_t colour) const override {
    return QStringLiteral("#%1%2%3")
        .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
  }
  QString lineText(const ScheduleModel& model, int line) const override {
    QStringList cells;
    for (int column = 1; column <= model.columnCount(); ++column)
      cells << model.cellText(line, column);
    return cells.join(QStringLiteral(", "));
  }
  QString countText(int lines) const override {
    return QStringLiteral("%1 lines").arg(QLocale().toString(lines));
  }
};

}  // namespace

class ScheduleModel::Private {
 public:
  QList<ColumnSpec> columns;
  std::shared_ptr<const LineDescriber> describer = std::make_shared<PlainDescriber>();
  // All text of all lines, line after line as given, the fields' separators included.
  BulkArray<char16_t> text;
  // Per line, the start of each field in text, then one past the end of the line's text (where
  // a separator would stand): columns + 1 offsets. A field ends one before the next field's
  // start; one past the line's end starts at that last offset and is empty.
  BulkArray<std::uint32_t> bounds;
  // Bars in the order they were added; a line's bars form a chain through barNext.
  std::vector<Bar> bars;
  std::vector<std::int32_t> barNext;
  std::vector<std::int32_t> lineFirstBar;
  std::vector<std::int32_t> lineLastBar;
  std::vector<std::int32_t> lineBarCount;
  TimePoint earliest;
  TimePoint latest;
  // Numbered bar settings: a chain per bar through barSettingFirst and BarSetting::next, so a
  // load of many bars costs no allocation per bar.
  struct BarSetting {
    int id;
    std::int32_t next;
    QVariant value;
  };
  std::vector<BarSetting> barSettings;
  std::vector<std::int32_t> barSettingFirst;

  // Lines whose bars changed since views last heard of it (0-based rows); last < first: none.
  int changedFirst = 0;
  int changedLast = -1;

  // Counts every change of lines, cells and bars, so that what follows from them knows when
  // it is out of date.
  std::uint64_t revision = 0;
  // The lines of each kind, counted at kindsRevision for kindsCompared.
  mutable std::vector<std::vector<int>> kindLines;
  mutable std::uint64_t kindsRevision = ~std::uint64_t(0);
  mutable std::uint64_t kindsCompared = 0;

  // The last completed load, kept for the next one to compare with: the keys back to back,
  // and per line where its key lies, a hash of its other cells and its first bar.
  struct LoadLine {
    std::uint32_t keyBegin = 0;
    std::uint32_t keyEnd = 0;
    std::size_t rest = 0;
    bool hasBar = false;
    TimePoint start;
    TimePoint end;
    std::uint32_t colour = 0;
  };
  std::vector<char16_t> lastKeys;
  std::vector<LoadLine> lastLines;
  bool haveLast = false;
  // The comparison of the lines at comparedRevision with the load before them.
  std::vector<LineChange> changes;
  std::vector<std::int32_t> movedDays;
  ChangeCounts counts;
  std::uint64_t comparedRevision = ~std::uint64_t(0);
  std::uint64_t comparisons = 0;  ///< how many comparisons were made, for the kinds' cache

  int columnCount() const { return int(columns.size()); }
  std::size_t boundsPerLine() const { return std::size_t(columns.size()) + 1; }
  // The length of the field whose start is bounds[at].
  qsizetype fieldLength(std::size_t at) const {
    return bounds[at + 1] > bounds[at] ? qsizetype(bounds[at + 1] - bounds[at] - 1) : 0;
  }
  int lineCount() const { return int(lineFirstBar.size()); }
  bool hasLine(int line) const { return line >= 1 && line <= lineCount(); }

  void clearLines() {
    text.clear();
    bounds.clear();
    bars.clear();
    barNext.clear();
    lineFirstBar.clear();
    lineLastBar.clear();
    lineBarCount.clear();
    barSettings.clear();
    barSettingFirst.clear();
    earliest = {};
    latest = {};
    changedFirst = 0;
    changedLast = -1;
    ++revision;
  }

  void copyFrom(const Private& other) {
    columns = other.columns;
    describer = other.describer;
    text.assign(other.text);
    bounds.assign(other.bounds);
    bars = other.bars;
    barNext = other.barNext;
    lineFirstBar = other.lineFirstBar;
    lineLastBar = other.lineLastBar;
    lineBarCount = other.lineBarCount;
    earliest = other.earliest;
    latest = other.latest;
    barSettings = other.barSettings;
    barSettingFirst = other.barSettingFirst;
    changedFirst = 0;
    changedLast = -1;
    ++revision;
  }

  // Index into bars of a line's bar, or -1.
  int barSlot(int line, int barIndex) const {
    if (!hasLine(line) || barIndex < 1 || barIndex > lineBarCount[line - 1])
      return -1;
    int slot = lineFirstBar[line - 1];
    for (int i = 1; i < barIndex; ++i)
      slot = barNext[slot];
    return slot;
  }
};

ScheduleModel::ScheduleModel(QObject* parent)
    : QAbstractTableModel(parent), d(std::make_unique<Private>()) {}

ScheduleModel::~ScheduleModel() = default;

int ScheduleModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : d->lineCount();
}

int ScheduleModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : d->columnCount();
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.model() != this || index.row() >= d->lineCount() ||
      index.column() >= d->columnCount())
    return {};
  const int line = index.row() + 1;
  const int column = index.column() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cellText(line, column);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(int(columnAlignment(column)));
    case Qt::AccessibleTextRole:
      return lineText(line);
    case Qt::AccessibleDescriptionRole:
      return lineDescription(line);
    case BarsRole: {
      QVariantList list;
      for (int i = 1; i <= barCount(line); ++i) {
        const Bar* b = bar(line, i);
        list.append(QVariantMap{{QStringLiteral("index"), b->index},
                                {QStringLiteral("startDay"), b->start.day},
                                {QStringLiteral("startMinute"), b->start.minute},
                                {QStringLiteral("endDay"), b->end.day},
                                {QStringLiteral("endMinute"), b->end.minute},
                                {QStringLiteral("colour"), b->colour},
                                {QStringLiteral("text"), b->text},
                                {QStringLiteral("hasText"), b->hasText}});
      }
      return list;
    }
    default:
      return {};
  }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    if (role == Qt::DisplayRole && section >= 0 && section < d->lineCount())
      return section + 1;
    return {};
  }
  if (section < 0 || section >= d->columnCount())
    return {};
  switch (role) {
    case Qt::DisplayRole:
      return columnCaption(section + 1);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(int(columnAlignment(section + 1) | Qt::AlignVCenter));
    case ColumnWidthRole:
      return columnWidth(section + 1);
    case ColumnStyleRole:
      return int(columnStyle(section + 1));
    default:
      return {};
  }
}

void ScheduleModel::setColumns(const QList<ColumnSpec>& columns) {
  if (columns.size() == d->columns.size()) {
    d->columns = columns;
    if (!columns.isEmpty())
      Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(columns.size()) - 1);
    return;
  }
  beginResetModel();
  d->columns = columns;
  d->clearLines();
  endResetModel();
}

QString ScheduleModel::columnCaption(int column) const {
  if (column < 1 || column > d->columnCount())
    return {};
  return d->columns[column - 1].caption;
}

int ScheduleModel::columnWidth(int column) const {
  return column < 1 || column > d->columnCount() ? -1 : d->columns[column - 1].width;
}

ColumnStyle ScheduleModel::columnStyle(int column) const {
  return column < 1 || column > d->columnCount() ? ColumnStyle::LeftAligned
                                                 : d->columns[column - 1].style;
}

Qt::Alignment ScheduleModel::columnAlignment(int column) const {
  const Qt::Alignment horizontal =
      columnStyle(column) == ColumnStyle::RightAligned ? Qt::AlignRight : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

Qt::TextElideMode ScheduleModel::columnElideMode(int column) const {
  switch (columnStyle(column)) {
    case ColumnStyle::RightAligned:
      return Qt::ElideLeft;
    case ColumnStyle::LeftElidedMiddle:
      return Qt::ElideMiddle;
    default:
      return Qt::ElideRight;
  }
}

void ScheduleModel::setDescriber(std::shared_ptr<const LineDescriber> describer) {
  d->describer = describer ? std::move(describer) : std::make_shared<PlainDescriber>();
  if (d->lineCount() > 0)
    Q_EMIT dataChanged(index(0, 0), index(d->lineCount() - 1, 0), {Qt::AccessibleTextRole});
}

QString ScheduleModel::colourName(std::uint32_t colour) const {
  return d->describer->colourName(colour & 0x00FFFFFFu);
}

QString ScheduleModel::lineText(int line) const {
  return d->hasLine(line) ? d->describer->lineText(*this, line) : QString();
}

QString ScheduleModel::lineDescription(int line) const {
  if (!d->hasLine(line))
    return {};
  const QString own = d->describer->lineDescription(*this, line);
  QString change;
  switch (lineChange(line)) {
    case LineChange::New:
      change = QStringLiteral("new since the last load");
      break;
    case LineChange::Moved: {
      const int days = movedDays(line);
      change = QStringLiteral("moved %1 %2 %3 since the last load")
                   .arg(std::abs(days))
                   .arg(std::abs(days) == 1 ? QStringLiteral("day") : QStringLiteral("days"),
                        days < 0 ? QStringLiteral("earlier") : QStringLiteral("later"));
      break;
    }
    case LineChange::Changed:
      change = QStringLiteral("changed since the last load");
      break;
    case LineChange::None:
      return own;
  }
  return own.isEmpty() ? change : own + QStringLiteral(", ") + change;
}

QString ScheduleModel::countText(int lines) const {
  return d->describer->countText(lines);
}

int ScheduleModel::lineCount() const {
  return d->lineCount();
}

int ScheduleModel::appendLine(QStringView rowText) {
  const int row = d->lineCount();
  beginInsertRows({}, row, row);
  const int columns = d->columnCount();
  // The line's text is kept whole, its fields split at each ";"; the last takes the rest, and
  // a text with fewer leaves the fields past its end empty.
  const char16_t* const text = rowText.utf16();
  const qsizetype size = rowText.size();
  const std::uint32_t base = std::uint32_t(d->text.size());
  d->text.append(text, std::size_t(size));
  qsizetype from = 0;
  for (int field = 0; field < columns; ++field) {
    d->bounds.push_back(base + std::uint32_t(std::min(from, size + 1)));
    if (from > size)
      continue;
    from = (field + 1 < columns ? std::find(text + from, text + size, u';') - text : size) + 1;
  }
  d->bounds.push_back(base + std::uint32_t(size + 1));
  d->lineFirstBar.push_back(-1);
  d->lineLastBar.push_back(-1);
  d->lineBarCount.push_back(0);
  ++d->revision;
  endInsertRows();
  return row + 1;
}

QStringView ScheduleModel::cellView(int line, int column) const {
  if (!d->hasLine(line) || column < 1 || column > d->columnCount())
    return {};
  const std::size_t at = std::size_t(line - 1) * d->boundsPerLine() + std::size_t(column - 1);
  const std::uint32_t begin = d->bounds[at];
  return QStringView(d->text.data() + begin, d->fieldLength(at));
}

QString ScheduleModel::cellText(int line, int column) const {
  if (!d->hasLine(line) || column < 1 || column > d->columnCount())
    return {};
  const QStringView view = cellView(line, column);
  return view.isEmpty() ? QStringLiteral("") : view.toString();
}

void ScheduleModel::copyFrom(const ScheduleModel& other) {
  if (&other == this)
    return;
  beginResetModel();
  d->copyFrom(*other.d);
  endResetModel();
}

void ScheduleModel::clearLines() {
  beginResetModel();
  d->clearLines();
  endResetModel();
}

void ScheduleModel::barsChangedOn(int line) {
  ++d->revision;
  const int row = line - 1;
  if (d->changedLast >= d->changedFirst) {
    d->changedFirst = std::min(d->changedFirst, row);
    d->changedLast = std::max(d->changedLast, row);
    return;
  }
  d->changedFirst = d->changedLast = row;
  // One notice for everything a load changes: sent once control returns to the event loop.
  QMetaObject::invokeMethod(this, &ScheduleModel::sendBarChanges, Qt::QueuedConnection);
}

void ScheduleModel::sendBarChanges() {
  const int first = d->changedFirst;
  const int last = std::min(d->changedLast, d->lineCount() - 1);
  d->changedFirst = 0;
  d->changedLast = -1;
  if (last >= first && d->columnCount() > 0)
    Q_EMIT dataChanged(index(first, 0), index(last, d->columnCount() - 1), {BarsRole});
}

int ScheduleModel::addBar(int line, TimePoint start, TimePoint end) {
  if (!d->hasLine(line))
    return -1;
  const int slot = int(d->bars.size());
  // Most lines carry one bar: room for one per line spares the reallocations of a load.
  if (d->bars.capacity() < std::size_t(d->lineCount()))
    d->bars.reserve(std::max(std::size_t(d->lineCount()), d->bars.size() * 2));
  const int index = ++d->lineBarCount[line - 1];
  Bar b;
  b.index = index;
  b.start = start;
  b.end = end;
  d->bars.push_back(std::move(b));
  d->barNext.push_back(-1);
  d->barSettingFirst.push_back(-1);
  if (d->lineLastBar[line - 1] < 0)
    d->lineFirstBar[line - 1] = slot;
  else
    d->barNext[d->lineLastBar[line - 1]] = slot;
  d->lineLastBar[line - 1] = slot;
  const TimePoint low = std::min(start, end, earlier);
  const TimePoint high = std::max(start, end, earlier);
  if (slot == 0) {
    d->earliest = low;
    d->latest = high;
  } else {
    d->earliest = std::min(d->earliest, low, earlier);
    d->latest = std::max(d->latest, high, earlier);
  }
  barsChangedOn(line);
  return index;
}

int ScheduleModel::barCount(int line) const {
  return d->hasLine(line) ? d->lineBarCount[line - 1] : 0;
}

const Bar* ScheduleModel::bar(int line, int barIndex) const {
  const int slot = d->barSlot(line, barIndex);
  return slot < 0 ? nullptr : &d->bars[slot];
}

bool ScheduleModel::setBarColour(int line, int barIndex, std::uint32_t colour) {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return false;
  d->bars[slot].colour = colour & 0x00FFFFFFu;
  barsChangedOn(line);
  return true;
}

bool ScheduleModel::setBarText(int line, int barIndex, const QString& text) {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return false;
  d->bars[slot].text = text;
  d->bars[slot].hasText = true;
  barsChangedOn(line);
  return true;
}

bool ScheduleModel::setBarSetting(int line, int barIndex, int id, QVariant value) {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return false;
  std::int32_t* link = &d->barSettingFirst[slot];
  while (*link >= 0) {
    Private::BarSetting& setting = d->barSettings[*link];
    if (setting.id == id) {
      setting.value = std::move(value);
      return true;
    }
    link = &setting.next;
  }
  *link = std::int32_t(d->barSettings.size());
  d->barSettings.push_back({id, -1, std::move(value)});
  return true;
}

QVariant ScheduleModel::barSetting(int line, int barIndex, int id) const {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return {};
  for (std::int32_t at = d->barSettingFirst[slot]; at >= 0; at = d->barSettings[at].next) {
    if (d->barSettings[at].id == id)
      return d->barSettings[at].value;
  }
  return {};
}

int ScheduleModel::totalBarCount() const {
  return int(d->bars.size());
}

bool ScheduleModel::anyBarWithin(std::int32_t firstDay, std::int32_t lastDay) const {
  if (d->bars.empty() || d->latest.day < firstDay || d->earliest.day > lastDay)
    return false;
  return std::any_of(d->bars.begin(), d->bars.end(), [&](const Bar& bar) {
    const auto [low, high] = std::minmax(bar.start.day, bar.end.day);
    return low <= lastDay && high >= firstDay;
  });
}

TimePoint ScheduleModel::earliestBarStart() const {
  return d->earliest;
}

TimePoint ScheduleModel::latestBarEnd() const {
  return d->latest;
}

// Kinds and changes

namespace {

// The kinds of change, in the order the menus list them.
constexpr std::array<std::pair<LineChange, const char16_t*>, 3> kChangeKinds = {{
    {LineChange::New, u"new since the last load"},
    {LineChange::Moved, u"moved since the last load"},
    {LineChange::Changed, u"changed since the last load"},
}};

}  // namespace

bool ScheduleModel::compared() const {
  return d->comparedRevision == d->revision;
}

QList<LineKind> ScheduleModel::kinds() const {
  QList<LineKind> kinds = d->describer->kinds();
  if (compared()) {
    for (const auto& [change, words] : kChangeKinds) {
      LineKind kind;
      kind.words = QString::fromUtf16(words);
      kind.test = LineKind::Test::Change;
      kind.change = change;
      kinds.append(kind);
    }
  }
  return kinds;
}

const std::vector<int>& ScheduleModel::linesOf(int kind) const {
  static const std::vector<int> none;
  if (d->kindsRevision != d->revision || d->kindsCompared != d->comparisons) {
    const QList<LineKind> all = kinds();
    d->kindLines.assign(std::size_t(all.size()), {});
    const int lines = d->lineCount();
    for (int line = 1; line <= lines; ++line) {
      const Bar* first = bar(line, 1);
      const LineChange change = lineChange(line);
      for (qsizetype k = 0; k < all.size(); ++k) {
        const LineKind& test = all[k];
        bool match = false;
        switch (test.test) {
          case LineKind::Test::BarColour:
            match = first && first->colour == test.colour;
            break;
          case LineKind::Test::CellText:
            match = cellView(line, test.column) == test.text;
            break;
          case LineKind::Test::Change:
            match = change == test.change;
            break;
        }
        if (match)
          d->kindLines[std::size_t(k)].push_back(line);
      }
    }
    d->kindsRevision = d->revision;
    d->kindsCompared = d->comparisons;
  }
  return kind >= 0 && std::size_t(kind) < d->kindLines.size() ? d->kindLines[std::size_t(kind)]
                                                              : none;
}

void ScheduleModel::loadCompleted() {
  const int key = std::clamp(d->describer->keyColumn(), 1, std::max(1, d->columnCount()));
  const int lines = d->lineCount();
  const std::size_t perLine = d->boundsPerLine();
  std::vector<char16_t> keys;
  keys.reserve(std::size_t(lines) * 10);
  std::vector<Private::LoadLine> now{std::size_t(lines)};
  for (int line = 1; line <= lines && d->columnCount() > 0; ++line) {
    Private::LoadLine& entry = now[std::size_t(line - 1)];
    // The line's text: the key's field, and before and after it the others', which are hashed
    // as two runs together with where each field starts.
    const std::size_t lineBounds = std::size_t(line - 1) * perLine;
    const std::uint32_t* bounds = d->bounds.data() + lineBounds;
    const char16_t* text = d->text.data();
    const std::uint32_t lineEnd = bounds[perLine - 1] - 1;
    const std::uint32_t keyBegin = std::min(bounds[key - 1], lineEnd);
    const std::uint32_t keyEnd =
        keyBegin + std::uint32_t(d->fieldLength(lineBounds + std::size_t(key - 1)));
    entry.keyBegin = std::uint32_t(keys.size());
    keys.insert(keys.end(), text + keyBegin, text + keyEnd);
    entry.keyEnd = std::uint32_t(keys.size());
    std::size_t seed = qHashBits(text + bounds[0], (keyBegin - bounds[0]) * sizeof(char16_t));
    seed = qHashBits(text + keyEnd, (lineEnd - keyEnd) * sizeof(char16_t), seed);
    for (std::size_t field = 1; field < perLine; ++field)
      seed = seed * 31 + (bounds[field] - bounds[0]);
    entry.rest = seed;
    if (const Bar* first = bar(line, 1)) {
      entry.hasBar = true;
      entry.start = first->start;
      entry.end = first->end;
      entry.colour = first->colour;
    }
  }

  d->changes.clear();
  d->movedDays.clear();
  d->counts = {};
  d->comparedRevision = ~std::uint64_t(0);
  if (d->haveLast) {
    const auto keyOf = [](const std::vector<char16_t>& text, const Private::LoadLine& l) {
      return QStringView(text.data() + l.keyBegin, qsizetype(l.keyEnd - l.keyBegin));
    };
    // A reload mostly keeps its orders where they were: lines whose keys are, place by place,
    // those of the last load match one to one; past the first difference, the last load's
    // remaining lines are found by key (1 + the index of the first not yet matched, 0 for
    // none), each key's further lines in order through `next`. A key's lines match in order of
    // appearance either way.
    const std::vector<Private::LoadLine>& before = d->lastLines;
    std::size_t same = 0;
    while (same < before.size() && same < now.size() &&
           keyOf(keys, now[same]) == keyOf(d->lastKeys, before[same])) {
      ++same;
    }
    QHash<QStringView, std::int32_t> first;
    first.reserve(qsizetype(before.size() - same));
    std::vector<std::int32_t> next(before.size(), -1);
    for (std::size_t i = before.size(); i-- > same;) {
      std::int32_t& head = first[keyOf(d->lastKeys, before[i])];
      if (head != 0)
        next[i] = head - 1;
      head = std::int32_t(i) + 1;
    }
    d->changes.assign(std::size_t(lines), LineChange::None);
    d->movedDays.assign(std::size_t(lines), 0);
    int matched = 0;
    for (int line = 1; line <= lines; ++line) {
      const Private::LoadLine& entry = now[std::size_t(line - 1)];
      LineChange& change = d->changes[std::size_t(line - 1)];
      std::size_t at = std::size_t(line - 1);
      if (at >= same) {
        const auto found = first.find(keyOf(keys, entry));
        if (found == first.end() || *found == 0) {
          change = LineChange::New;
          ++d->counts.added;
          continue;
        }
        at = std::size_t(*found - 1);
        *found = next[at] + 1;
      }
      const Private::LoadLine& old = before[at];
      ++matched;
      if (entry.hasBar && old.hasBar && entry.start.day != old.start.day) {
        change = LineChange::Moved;
        d->movedDays[std::size_t(line - 1)] = entry.start.day - old.start.day;
        ++d->counts.moved;
      } else if (entry.rest != old.rest || entry.hasBar != old.hasBar ||
                 entry.colour != old.colour || !(entry.end == old.end) ||
                 !(entry.start == old.start)) {
        change = LineChange::Changed;
        ++d->counts.changed;
      }
    }
    d->counts.gone = int(before.size()) - matched;
    d->comparedRevision = d->revision;
  }
  ++d->comparisons;
  d->lastKeys = std::move(keys);
  d->lastLines = std::move(now);
  d->haveLast = true;
  Q_EMIT loadCompared();
}

LineChange ScheduleModel::lineChange(int line) const {
  if (!compared() || !d->hasLine(line) || std::size_t(line) > d->changes.size())
    return LineChange::None;
  return d->changes[std::size_t(line - 1)];
}

int ScheduleModel::movedDays(int line) const {
  return lineChange(line) == LineChange::Moved ? d->movedDays[std::size_t(line - 1)] : 0;
}

ChangeCounts ScheduleModel::changeCounts() const {
  return compared() ? d->counts : ChangeCounts{};
}

}  // namespace varnex::grid
