#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace varnex::grid {

/// A point on the time axis: a day number (whole days from 1 January 1900, negative before)
/// and a minute of the day.
struct TimePoint {
  std::int32_t day = 0;
  std::int32_t minute = 0;
  friend bool operator==(const TimePoint&, const TimePoint&) = default;
};

/// A font as the grid stores it (QtCore only; the views turn it into a QFont).
struct FontSpec {
  QString family = QStringLiteral("Arial");
  double pointSize = 8.25;
  bool bold = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

/// One time bar of a line.
struct Bar {
  int index = 0;        ///< the bar index that addBar() returned, 1-based within its row
  TimePoint start;
  TimePoint end;
  std::uint32_t colour = 0x00FFFFFF;  ///< 0x00BBGGRR
  QString text;         ///< the mark drawn on the bar
  bool hasText = false; ///< false until setBarText(); the mark is then not drawn at all
};

/// The schedule grid's data: a list of lines with ten text columns, one or more time bars per
/// line on a time axis, and the view settings. Lines are numbered from 1 in the order they were
/// appended. The one source of truth for the list pane, the timeline pane and the ruler.
///
/// As a QAbstractTableModel it exposes the ten columns (rows 0-based, as Qt wants); the rest of
/// the API uses the grid's own 1-based line numbers. Bad arguments never throw: they give false,
/// -1 or an empty value, as Qt's views do.
class ScheduleModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kColumnCount = 10;

  /// Roles beyond Qt's own. BarsRole gives a line's bars as a QVariantList of QVariantMaps
  /// (index, startDay, startMinute, endDay, endMinute, colour, text, hasText); the column roles
  /// answer headerData() with a column's stored width value and style code.
  enum Role { BarsRole = Qt::UserRole + 1, ColumnWidthRole, ColumnStyleRole };

  /// What a column's style code means for the views: 1 right-aligned (quantities),
  /// 2 left-aligned and elided at the end, 3 left-aligned and elided in the middle (long names
  /// keep their beginning and their end). Any other code reads as 2.
  enum ColumnStyle { RightAligned = 1, LeftAligned = 2, LeftElidedMiddle = 3 };

  explicit ScheduleModel(QObject* parent = nullptr);
  ~ScheduleModel() override;

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Columns (1-based): captions, stored width values and style codes, fixed from creation on.
  QString columnCaption(int column) const;
  int columnWidth(int column) const;
  int columnStyle(int column) const;
  /// How a column's cells are aligned and elided, from its style code; the width value is in
  /// logical pixels (96 dpi), which the views use as the initial column width.
  Qt::Alignment columnAlignment(int column) const;
  Qt::TextElideMode columnElideMode(int column) const;

  // Lines
  int lineCount() const;
  /// Appends a line from ";"-separated text: the fields fill columns 1 to 10 in order; missing
  /// fields are empty, a surplus stays in column 10. Returns the new line's number.
  int appendLine(QStringView rowText);
  /// The text of a cell; a null QString when the line or column does not exist.
  QString cellText(int line, int column) const;
  /// The same text without a copy, for painting; valid until the lines next change. Empty for a
  /// line or column that does not exist.
  QStringView cellView(int line, int column) const;
  /// Removes every line and bar.
  void clearLines();

  // Bars
  /// Adds a bar over [start, end] to a line; returns its bar index (1-based within the line),
  /// or -1 when the line does not exist.
  int addBar(int line, TimePoint start, TimePoint end);
  int barCount(int line) const;
  /// The bar with that index on that line, or nullptr.
  const Bar* bar(int line, int barIndex) const;
  bool setBarColour(int line, int barIndex, std::uint32_t colour);
  bool setBarText(int line, int barIndex, const QString& text);
  /// Per-bar settings known by number only (for example 216, 230, 276): kept and readable.
  bool setBarSetting(int line, int barIndex, int id, const QVariant& value);
  QVariant barSetting(int line, int barIndex, int id) const;
  /// Number of bars on all lines, and the earliest start and latest end among them (a default
  /// TimePoint when there are none); the views fall back to this span when the horizon is empty.
  int totalBarCount() const;
  TimePoint earliestBarStart() const;
  TimePoint latestBarEnd() const;

  // Schedule-wide settings
  int zoom() const;
  /// Sets the time scale; refuses (returns false, keeps the scale) a value below 1.
  bool setZoom(int zoom);
  std::int32_t horizonStart() const;
  std::int32_t horizonEnd() const;
  void setHorizonStart(std::int32_t day);
  void setHorizonEnd(std::int32_t day);
  /// Title strip: alignment (0 left, 1 right, 2 centre), border style, colour 0x00BBGGRR, font.
  int titleAlign() const;
  void setTitleAlign(int align);
  int titleBorder() const;
  void setTitleBorder(int border);
  std::uint32_t titleColour() const;
  void setTitleColour(std::uint32_t colour);
  FontSpec titleFont() const;
  void setTitleFont(const FontSpec& font);
  /// Ruler: the month/year pattern ("M ,Y") and the ";"-separated weekday names from Sunday.
  QString rulerPattern() const;
  void setRulerPattern(const QString& pattern);
  QString weekdayNames() const;
  void setWeekdayNames(const QString& names);
  int todayLineWidth() const;
  void setTodayLineWidth(int width);
  /// Settings known by number only: kept as given and readable.
  void setSetting(int id, const QVariant& value);
  QVariant setting(int id) const;
  bool hasSetting(int id) const;

  // Events: raise them to whoever listens (the control through its adapter). The widget calls
  // these from real gestures; tests and the scripted host call them directly.
  void raiseLinePicked(int line);
  void raiseHover(int line, int value);
  void raiseBarActivated(int line, int barIndex, int flag);
  /// Operation 165: brings the bar into view and highlights it.
  void focusBar(int line, int barIndex);

  /// The tooltip text that the container set for the grid.
  QString toolTipText() const;
  void setToolTipText(const QString& text);

 Q_SIGNALS:
  void linePicked(int line);
  void hovered(int line, int value);
  void barActivated(int line, int barIndex, int flag);
  void barFocusRequested(int line, int barIndex);
  void barsChanged(int line);
  void zoomChanged(int zoom);
  void horizonChanged();
  void settingsChanged();
  void toolTipTextChanged(const QString& text);

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::grid
