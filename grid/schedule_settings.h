#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace varnex::grid {

/// A font as the grid stores it (QtCore only; the views turn it into a QFont).
struct FontSpec {
  QString family = QStringLiteral("Arial");
  double pointSize = 8.25;
  bool bold = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

/// Where the title strip puts its text. Other values are kept as given and read as Left.
enum class TitleAlignment : int { Left = 0, Right = 1, Centre = 2 };
/// How the title strip is framed. Other values are kept as given and read as Single.
enum class TitleBorder : int { BottomLine = 0, Single = 1, Raised = 2, Sunken = 3 };

/// What a schedule's owner sets for the way its views show the lines: the time scale (zoom and
/// horizon), the title strip, the ruler's texts, the today line, settings known by number only,
/// and the tooltip text that the container gives the grid. It holds no lines: those are the
/// ScheduleModel's. Views read these values and follow the change signals; any number of views
/// may share one object. Each setter notifies only when the value changed.
class ScheduleSettings : public QObject {
  Q_OBJECT
 public:
  explicit ScheduleSettings(QObject* parent = nullptr);
  ~ScheduleSettings() override;

  /// The time scale: 230 shows the period fitted to the view, each 100 more doubles the scale
  /// and each 100 less halves it. Any value is kept as given; views clamp the scale.
  [[nodiscard]] int zoom() const;
  void setZoom(int zoom);
  /// The horizon, first and last day as day numbers; an unset horizon is 0 to 0.
  [[nodiscard]] std::int32_t horizonStart() const;
  [[nodiscard]] std::int32_t horizonEnd() const;
  void setHorizonStart(std::int32_t day);
  void setHorizonEnd(std::int32_t day);

  /// Title strip: alignment, border style, colour 0x00BBGGRR, font.
  [[nodiscard]] TitleAlignment titleAlign() const;
  void setTitleAlign(TitleAlignment align);
  [[nodiscard]] TitleBorder titleBorder() const;
  void setTitleBorder(TitleBorder border);
  [[nodiscard]] std::uint32_t titleColour() const;
  void setTitleColour(std::uint32_t colour);
  [[nodiscard]] FontSpec titleFont() const;
  void setTitleFont(const FontSpec& font);
  /// Ruler: the month/year pattern ("M ,Y") and the ";"-separated weekday names from Sunday.
  [[nodiscard]] QString rulerPattern() const;
  void setRulerPattern(const QString& pattern);
  [[nodiscard]] QString weekdayNames() const;
  void setWeekdayNames(const QString& names);
  /// Width of the today line in pixels; 0 draws a hairline.
  [[nodiscard]] int todayLineWidth() const;
  void setTodayLineWidth(int width);
  /// Settings known by number only: kept as given (type included) and readable.
  void setSetting(int id, const QVariant& value);
  [[nodiscard]] QVariant setting(int id) const;

  /// The tooltip text that the container set for the grid.
  [[nodiscard]] QString toolTipText() const;
  void setToolTipText(const QString& text);

  /// Takes every value of other settings, and tells of each kind of change.
  void copyFrom(const ScheduleSettings& other);

 Q_SIGNALS:
  void zoomChanged(int zoom);
  void horizonChanged();
  /// The title strip, the ruler's texts, the today line or a numbered setting changed.
  void appearanceChanged();
  void toolTipTextChanged(const QString& text);

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::grid
