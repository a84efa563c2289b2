#include "grid/schedule_model.h"

#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <type_traits>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace varnex::grid {

namespace {

struct ColumnDef {
  const char16_t* caption;
  int width;
  int style;
};

constexpr std::array<ColumnDef, ScheduleModel::kColumnCount> kColumns{{
    {u"Order", 155, 2},
    {u"ItemCode", 80, 2},
    {u"Variant", 100, 2},
    {u"Item Desc", 200, 2},
    {u"Order Qty", 100, 2},
    {u"Order Category", 200, 3},
    {u"Supplier", 200, 3},
    {u"new_qty", 100, 1},
    {u"new_date", 100, 2},
    {u"Action Message", 200, 2},
}};

// Field boundaries kept per line: the start of each of the ten fields plus the end of the last.
constexpr int kBoundsPerLine = ScheduleModel::kColumnCount + 1;

bool earlier(const TimePoint& a, const TimePoint& b) {
  return a.day != b.day ? a.day < b.day : a.minute < b.minute;
}

// A growable array of plain values for the model's bulk storage. It keeps its block when
// cleared, so a reload writes into memory already in place. On Linux, once it outgrows a
// huge page, it reserves address space well ahead and asks for huge pages: the pages are only
// backed where written and the block never moves again, so a load of 32,766 lines faults in a
// handful of pages instead of thousands.
template <typename T>
class BulkArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  BulkArray() = default;
  BulkArray(const BulkArray&) = delete;
  BulkArray& operator=(const BulkArray&) = delete;
  ~BulkArray() { release(); }

  [[nodiscard]] std::size_t size() const { return count; }
  [[nodiscard]] const T* data() const { return block; }
  [[nodiscard]] const T& operator[](std::size_t i) const { return block[i]; }
  void clear() { count = 0; }
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
  static constexpr std::size_t kHugePage = std::size_t(2) << 20;
  static constexpr std::size_t kReserve = std::size_t(64) << 20;

  void grow(std::size_t needed) {
    const std::size_t wanted = std::max({needed, capacity * 2, std::size_t(4096) / sizeof(T)});
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (wanted * sizeof(T) >= kHugePage) {
      const std::size_t bytes =
          (std::max(wanted * sizeof(T) * 4, kReserve) + kHugePage - 1) / kHugePage * kHugePage;
      if (T* region = reserveRegion(bytes)) {
        if (count > 0)
          std::memcpy(region, block, count * sizeof(T));
        release();
        block = region;
        mapped = true;
        capacity = bytes / sizeof(T);
        return;
      }
    }
#endif
    if (!mapped) {
      T* grown = static_cast<T*>(std::realloc(block, wanted * sizeof(T)));
      Q_CHECK_PTR(grown);
      block = grown;
      capacity = wanted;
      return;
    }
    T* fresh = static_cast<T*>(std::malloc(wanted * sizeof(T)));
    Q_CHECK_PTR(fresh);
    std::memcpy(fresh, block, count * sizeof(T));
    release();
    block = fresh;
    capacity = wanted;
  }

#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Address space for bytes, aligned to a huge page; nullptr when the system refuses.
  static T* reserveRegion(std::size_t bytes) {
    void* raw = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED)
      return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
      munmap(raw, aligned - start);
    const std::uintptr_t tail = start + bytes + kHugePage - (aligned + bytes);
    if (tail > 0)
      munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<T*>(aligned);
  }
#endif

  void release() {
#if defined(__linux__)
    if (mapped) {
      munmap(block, capacity * sizeof(T));
      block = nullptr;
      mapped = false;
      return;
    }
#endif
    std::free(block);
    block = nullptr;
  }

  T* block = nullptr;
  std::size_t count = 0;
  std::size_t capacity = 0;
  bool mapped = false;
};

}  // namespace

class ScheduleModel::Private {
 public:
  // All cell text of all lines, fields back to back without their separators.
  BulkArray<char16_t> text;
  // kBoundsPerLine offsets into text per line.
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

  int zoom = 230;
  std::int32_t horizonStart = 0;
  std::int32_t horizonEnd = 0;
  int titleAlign = 0;
  int titleBorder = 0;
  std::uint32_t titleColour = 0;
  FontSpec titleFont{QStringLiteral("Arial"), 12.0, false};
  QString rulerPattern = QStringLiteral("M ,Y");
  QString weekdayNames = QStringLiteral("Sun;Mon;Tue;Wed;Thu;Fri;Sat;");
  int todayLineWidth = 0;
  std::map<int, QVariant> settings;
  QString toolTipText;

  int lineCount() const { return int(lineFirstBar.size()); }
  bool hasLine(int line) const { return line >= 1 && line <= lineCount(); }

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
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.model() != this || index.row() >= d->lineCount() ||
      index.column() >= kColumnCount)
    return {};
  const int line = index.row() + 1;
  const int column = index.column() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cellText(line, column);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(int(columnAlignment(column)));
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
  if (section < 0 || section >= kColumnCount)
    return {};
  switch (role) {
    case Qt::DisplayRole:
      return columnCaption(section + 1);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(int(columnAlignment(section + 1) | Qt::AlignVCenter));
    case ColumnWidthRole:
      return columnWidth(section + 1);
    case ColumnStyleRole:
      return columnStyle(section + 1);
    default:
      return {};
  }
}

QString ScheduleModel::columnCaption(int column) const {
  if (column < 1 || column > kColumnCount)
    return {};
  return QString::fromUtf16(kColumns[column - 1].caption);
}

int ScheduleModel::columnWidth(int column) const {
  return column < 1 || column > kColumnCount ? -1 : kColumns[column - 1].width;
}

int ScheduleModel::columnStyle(int column) const {
  return column < 1 || column > kColumnCount ? -1 : kColumns[column - 1].style;
}

Qt::Alignment ScheduleModel::columnAlignment(int column) const {
  const Qt::Alignment horizontal =
      columnStyle(column) == RightAligned ? Qt::AlignRight : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

Qt::TextElideMode ScheduleModel::columnElideMode(int column) const {
  switch (columnStyle(column)) {
    case RightAligned:
      return Qt::ElideLeft;
    case LeftElidedMiddle:
      return Qt::ElideMiddle;
    default:
      return Qt::ElideRight;
  }
}

int ScheduleModel::lineCount() const {
  return d->lineCount();
}

int ScheduleModel::appendLine(QStringView rowText) {
  const int row = d->lineCount();
  beginInsertRows({}, row, row);
  qsizetype from = 0;
  for (int field = 0; field < kColumnCount; ++field) {
    d->bounds.push_back(std::uint32_t(d->text.size()));
    if (from > rowText.size())
      continue;
    qsizetype to = field + 1 < kColumnCount ? rowText.indexOf(u';', from) : -1;
    if (to < 0)
      to = rowText.size();
    d->text.append(rowText.utf16() + from, std::size_t(to - from));
    from = to + 1;
  }
  d->bounds.push_back(std::uint32_t(d->text.size()));
  d->lineFirstBar.push_back(-1);
  d->lineLastBar.push_back(-1);
  d->lineBarCount.push_back(0);
  endInsertRows();
  return row + 1;
}

QStringView ScheduleModel::cellView(int line, int column) const {
  if (!d->hasLine(line) || column < 1 || column > kColumnCount)
    return {};
  const std::size_t at = std::size_t(line - 1) * kBoundsPerLine + std::size_t(column - 1);
  const std::uint32_t begin = d->bounds[at];
  return QStringView(d->text.data() + begin, qsizetype(d->bounds[at + 1] - begin));
}

QString ScheduleModel::cellText(int line, int column) const {
  if (!d->hasLine(line) || column < 1 || column > kColumnCount)
    return {};
  const QStringView view = cellView(line, column);
  return view.isEmpty() ? QStringLiteral("") : view.toString();
}

void ScheduleModel::clearLines() {
  beginResetModel();
  d->text.clear();
  d->bounds.clear();
  d->bars.clear();
  d->barNext.clear();
  d->lineFirstBar.clear();
  d->lineLastBar.clear();
  d->lineBarCount.clear();
  d->barSettings.clear();
  d->barSettingFirst.clear();
  d->earliest = {};
  d->latest = {};
  endResetModel();
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
  Q_EMIT barsChanged(line);
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
  Q_EMIT barsChanged(line);
  return true;
}

bool ScheduleModel::setBarText(int line, int barIndex, const QString& text) {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return false;
  d->bars[slot].text = text;
  d->bars[slot].hasText = true;
  Q_EMIT barsChanged(line);
  return true;
}

bool ScheduleModel::setBarSetting(int line, int barIndex, int id, const QVariant& value) {
  const int slot = d->barSlot(line, barIndex);
  if (slot < 0)
    return false;
  std::int32_t* link = &d->barSettingFirst[slot];
  while (*link >= 0) {
    Private::BarSetting& setting = d->barSettings[*link];
    if (setting.id == id) {
      setting.value = value;
      return true;
    }
    link = &setting.next;
  }
  *link = std::int32_t(d->barSettings.size());
  d->barSettings.push_back({id, -1, value});
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

TimePoint ScheduleModel::earliestBarStart() const {
  return d->earliest;
}

TimePoint ScheduleModel::latestBarEnd() const {
  return d->latest;
}

int ScheduleModel::zoom() const {
  return d->zoom;
}

bool ScheduleModel::setZoom(int zoom) {
  if (zoom < 1)
    return false;
  if (zoom != d->zoom) {
    d->zoom = zoom;
    Q_EMIT zoomChanged(zoom);
  }
  return true;
}

std::int32_t ScheduleModel::horizonStart() const {
  return d->horizonStart;
}

std::int32_t ScheduleModel::horizonEnd() const {
  return d->horizonEnd;
}

void ScheduleModel::setHorizonStart(std::int32_t day) {
  if (day == d->horizonStart)
    return;
  d->horizonStart = day;
  Q_EMIT horizonChanged();
}

void ScheduleModel::setHorizonEnd(std::int32_t day) {
  if (day == d->horizonEnd)
    return;
  d->horizonEnd = day;
  Q_EMIT horizonChanged();
}

int ScheduleModel::titleAlign() const {
  return d->titleAlign;
}

void ScheduleModel::setTitleAlign(int align) {
  d->titleAlign = align;
  Q_EMIT settingsChanged();
}

int ScheduleModel::titleBorder() const {
  return d->titleBorder;
}

void ScheduleModel::setTitleBorder(int border) {
  d->titleBorder = border;
  Q_EMIT settingsChanged();
}

std::uint32_t ScheduleModel::titleColour() const {
  return d->titleColour;
}

void ScheduleModel::setTitleColour(std::uint32_t colour) {
  d->titleColour = colour;
  Q_EMIT settingsChanged();
}

FontSpec ScheduleModel::titleFont() const {
  return d->titleFont;
}

void ScheduleModel::setTitleFont(const FontSpec& font) {
  d->titleFont = font;
  Q_EMIT settingsChanged();
}

QString ScheduleModel::rulerPattern() const {
  return d->rulerPattern;
}

void ScheduleModel::setRulerPattern(const QString& pattern) {
  d->rulerPattern = pattern;
  Q_EMIT settingsChanged();
}

QString ScheduleModel::weekdayNames() const {
  return d->weekdayNames;
}

void ScheduleModel::setWeekdayNames(const QString& names) {
  d->weekdayNames = names;
  Q_EMIT settingsChanged();
}

int ScheduleModel::todayLineWidth() const {
  return d->todayLineWidth;
}

void ScheduleModel::setTodayLineWidth(int width) {
  d->todayLineWidth = width;
  Q_EMIT settingsChanged();
}

void ScheduleModel::setSetting(int id, const QVariant& value) {
  // A load puts the same setting once per bar; only a real change is worth a relayout.
  const auto [it, inserted] = d->settings.try_emplace(id, value);
  if (!inserted) {
    if (it->second.typeId() == value.typeId() && it->second == value)
      return;
    it->second = value;
  }
  Q_EMIT settingsChanged();
}

QVariant ScheduleModel::setting(int id) const {
  const auto it = d->settings.find(id);
  return it == d->settings.end() ? QVariant() : it->second;
}

bool ScheduleModel::hasSetting(int id) const {
  return d->settings.count(id) != 0;
}

void ScheduleModel::raiseLinePicked(int line) {
  Q_EMIT linePicked(line);
}

void ScheduleModel::raiseHover(int line, int value) {
  Q_EMIT hovered(line, value);
}

void ScheduleModel::raiseBarActivated(int line, int barIndex, int flag) {
  Q_EMIT barActivated(line, barIndex, flag);
}

void ScheduleModel::focusBar(int line, int barIndex) {
  if (d->barSlot(line, barIndex) < 0)
    return;
  Q_EMIT barFocusRequested(line, barIndex);
}

QString ScheduleModel::toolTipText() const {
  return d->toolTipText;
}

void ScheduleModel::setToolTipText(const QString& text) {
  if (text == d->toolTipText)
    return;
  d->toolTipText = text;
  Q_EMIT toolTipTextChanged(text);
}

}  // namespace varnex::grid
