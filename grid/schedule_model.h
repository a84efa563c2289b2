#pragma once

#include "grid/line_kinds.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace varnex::grid {

/// A point on the time axis: a day number (whole days from 1 January 1900, negative before)
/// and a minute of the day.
struct TimePoint {
  std::int32_t day = 0;
  std::int32_t minute = 0;
  friend bool operator==(const TimePoint&, const TimePoint&) = default;
};

/// How the views align and elide the cells of a column.
enum class ColumnStyle {
  RightAligned = 1,      ///< right-aligned, elided at the start (quantities)
  LeftAligned = 2,       ///< left-aligned, elided at the end
  LeftElidedMiddle = 3,  ///< left-aligned, elided in the middle (long names keep both ends)
};

/// One column of the list: its caption, its initial width in logical pixels (96 dpi) and how
/// its cells are aligned and elided.
struct ColumnSpec {
  QString caption;
  int width = 100;
  ColumnStyle style = ColumnStyle::LeftAligned;
  friend bool operator==(const ColumnSpec&, const ColumnSpec&) = default;
};

/// One time bar of a line.
struct Bar {
  int index = 0;  ///< the bar index that addBar() returned, 1-based within its row
  TimePoint start;
  TimePoint end;
  std::uint32_t colour = 0x00FFFFFF;  ///< 0x00BBGGRR
  QString text;                       ///< the mark drawn on the bar
  bool hasText = false;  ///< false until setBarText(); the mark is then not drawn at all
};

class ScheduleModel;

/// The words a grid's owner gives for its lines, so that the grid can tell its title and
/// assistive technology what the lines stand for without knowing it itself.
class LineDescriber {
 public:
  virtual ~LineDescriber() = default;
  /// What a bar colour (0x00BBGGRR) stands for, in words.
  [[nodiscard]] virtual QString colourName(std::uint32_t colour) const = 0;
  /// The text read out for an existing line (1-based).
  [[nodiscard]] virtual QString lineText(const ScheduleModel& model, int line) const = 0;
  /// More about an existing line, read after its text; none unless overridden.
  [[nodiscard]] virtual QString lineDescription(const ScheduleModel& model, int line) const;
  /// A number of lines in words, for the title strip ("300 lines").
  [[nodiscard]] virtual QString countText(int lines) const = 0;
  /// The kinds of line a planner walks (by bar colour or by a cell's text); none unless
  /// overridden.
  [[nodiscard]] virtual QList<LineKind> kinds() const;
  /// The column whose text says which line of one load is which of the next (1-based).
  [[nodiscard]] virtual int keyColumn() const;
};

/// The schedule grid's data: a list of lines with text columns and one or more time bars per
/// line on a time axis. Lines are numbered from 1 in the order they were appended. How views
/// show them (time scale, title, ruler texts) is the ScheduleSettings' part.
///
/// As a QAbstractTableModel it exposes the columns (rows 0-based, as Qt wants); the rest of the
/// API uses the grid's own 1-based line and column numbers. Bad arguments never throw: they give
/// false, -1 or an empty value, as Qt's views do. Bar changes reach views as one dataChanged()
/// on BarsRole per turn of the event loop, however many bars a load added or changed.
class ScheduleModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  /// Roles beyond Qt's own. BarsRole gives a line's bars as a QVariantList of QVariantMaps
  /// (index, startDay, startMinute, endDay, endMinute, colour, text, hasText); the column roles
  /// answer headerData() with a column's width and ColumnStyle (as an int). Qt's
  /// AccessibleTextRole gives the describer's text of a line.
  enum Role { BarsRole = Qt::UserRole + 1, ColumnWidthRole, ColumnStyleRole };

  explicit ScheduleModel(QObject* parent = nullptr);
  ~ScheduleModel() override;

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Columns (1-based). A model starts without any; its owner sets them once, before lines.
  /// Sets the columns. With as many columns as before the lines stay; otherwise they go (a
  /// reset), since their text is split by column.
  void setColumns(const QList<ColumnSpec>& columns);
  QString columnCaption(int column) const;
  /// The initial width in logical pixels, or -1 for a column that does not exist.
  int columnWidth(int column) const;
  ColumnStyle columnStyle(int column) const;
  Qt::Alignment columnAlignment(int column) const;
  Qt::TextElideMode columnElideMode(int column) const;

  // Words for the lines, from the grid's owner; without a describer the grid uses plain ones.
  /// Sets the describer (shared, so that views may keep it while they read).
  void setDescriber(std::shared_ptr<const LineDescriber> describer);
  QString colourName(std::uint32_t colour) const;
  /// The text read out for a line; a null QString for a line that does not exist.
  QString lineText(int line) const;
  /// More about a line, read after its text (Qt's AccessibleDescriptionRole).
  QString lineDescription(int line) const;
  QString countText(int lines) const;

  // Kinds of lines, and what changed since the last completed load.
  /// The describer's kinds, then, once a load was compared with an earlier one, the lines new,
  /// moved and changed since then.
  QList<LineKind> kinds() const;
  /// The lines of kinds()[kind], in ascending order; none for a kind that does not exist.
  /// Counted for all kinds at once, and again only after the lines change.
  const std::vector<int>& linesOf(int kind) const;
  /// Tells the model that a load has completed: its lines are compared by the key column with
  /// those of the last completed load (a repeated key matches in order of appearance). A first
  /// load has nothing to compare with.
  void loadCompleted();
  /// How a line differs from the last completed load; None once the lines changed otherwise
  /// than by a completed load (a load that failed part-way).
  LineChange lineChange(int line) const;
  /// For a moved line, the days its first bar's start moved (negative: earlier).
  int movedDays(int line) const;
  /// The counts of the last comparison, while lineChange() holds.
  ChangeCounts changeCounts() const;

  // Lines
  int lineCount() const;
  /// Appends a line from ";"-separated text: the fields fill the columns in order; missing
  /// fields are empty, a surplus stays in the last column. Returns the new line's number.
  int appendLine(QStringView rowText);
  /// The text of a cell; a null QString when the line or column does not exist.
  QString cellText(int line, int column) const;
  /// The same text without a copy, for painting; valid until the lines next change. Empty for a
  /// line or column that does not exist.
  QStringView cellView(int line, int column) const;
  /// Removes every line and bar.
  void clearLines();
  /// Becomes a copy of another model: its columns, describer, lines and bars (a reset).
  void copyFrom(const ScheduleModel& other);

  // Bars
  /// Adds a bar over [start, end] to a line; returns its bar index (1-based within the line),
  /// or -1 when the line does not exist.
  int addBar(int line, TimePoint start, TimePoint end);
  int barCount(int line) const;
  /// The bar with that index on that line, or nullptr.
  const Bar* bar(int line, int barIndex) const;
  bool setBarColour(int line, int barIndex, std::uint32_t colour);
  bool setBarText(int line, int barIndex, const QString& text);
  /// Per-bar settings that the grid keeps by number without giving them a meaning.
  bool setBarSetting(int line, int barIndex, int id, QVariant value);
  QVariant barSetting(int line, int barIndex, int id) const;
  /// Number of bars on all lines, and the earliest start and latest end among them (a default
  /// TimePoint when there are none); the views fall back to this span when the horizon is empty.
  int totalBarCount() const;
  /// Whether any bar reaches into the days [firstDay, lastDay].
  bool anyBarWithin(std::int32_t firstDay, std::int32_t lastDay) const;
  TimePoint earliestBarStart() const;
  TimePoint latestBarEnd() const;

 Q_SIGNALS:
  /// loadCompleted() compared the lines: their changes and the kinds may differ.
  void loadCompared();

 private:
  void barsChangedOn(int line);
  bool compared() const;
  void sendBarChanges();

  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::grid
