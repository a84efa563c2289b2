#include "grid/schedule_settings.h"

#include <map>

namespace varnex::grid {

class ScheduleSettings::Private {
 public:
  int zoom = 230;
  std::int32_t horizonStart = 0;
  std::int32_t horizonEnd = 0;
  TitleAlignment titleAlign = TitleAlignment::Left;
  TitleBorder titleBorder = TitleBorder::BottomLine;
  std::uint32_t titleColour = 0;
  FontSpec titleFont{QStringLiteral("Arial"), 12.0, false};
  QString rulerPattern = QStringLiteral("M ,Y");
  QString weekdayNames = QStringLiteral("Sun;Mon;Tue;Wed;Thu;Fri;Sat;");
  int todayLineWidth = 0;
  std::map<int, QVariant> settings;
  QString toolTipText;
};

namespace {

// Stores value in field; true when it changed.
template <typename T>
bool assign(T& field, const T& value) {
  if (field == value)
    return false;
  field = value;
  return true;
}

}  // namespace

ScheduleSettings::ScheduleSettings(QObject* parent)
    : QObject(parent), d(std::make_unique<Private>()) {}

ScheduleSettings::~ScheduleSettings() = default;

int ScheduleSettings::zoom() const {
  return d->zoom;
}

void ScheduleSettings::setZoom(int zoom) {
  if (assign(d->zoom, zoom))
    Q_EMIT zoomChanged(zoom);
}

std::int32_t ScheduleSettings::horizonStart() const {
  return d->horizonStart;
}

std::int32_t ScheduleSettings::horizonEnd() const {
  return d->horizonEnd;
}

void ScheduleSettings::setHorizonStart(std::int32_t day) {
  if (assign(d->horizonStart, day))
    Q_EMIT horizonChanged();
}

void ScheduleSettings::setHorizonEnd(std::int32_t day) {
  if (assign(d->horizonEnd, day))
    Q_EMIT horizonChanged();
}

TitleAlignment ScheduleSettings::titleAlign() const {
  return d->titleAlign;
}

void ScheduleSettings::setTitleAlign(TitleAlignment align) {
  if (assign(d->titleAlign, align))
    Q_EMIT appearanceChanged();
}

TitleBorder ScheduleSettings::titleBorder() const {
  return d->titleBorder;
}

void ScheduleSettings::setTitleBorder(TitleBorder border) {
  if (assign(d->titleBorder, border))
    Q_EMIT appearanceChanged();
}

std::uint32_t ScheduleSettings::titleColour() const {
  return d->titleColour;
}

void ScheduleSettings::setTitleColour(std::uint32_t colour) {
  if (assign(d->titleColour, colour))
    Q_EMIT appearanceChanged();
}

FontSpec ScheduleSettings::titleFont() const {
  return d->titleFont;
}

void ScheduleSettings::setTitleFont(const FontSpec& font) {
  if (assign(d->titleFont, font))
    Q_EMIT appearanceChanged();
}

QString ScheduleSettings::rulerPattern() const {
  return d->rulerPattern;
}

void ScheduleSettings::setRulerPattern(const QString& pattern) {
  if (assign(d->rulerPattern, pattern))
    Q_EMIT appearanceChanged();
}

QString ScheduleSettings::weekdayNames() const {
  return d->weekdayNames;
}

void ScheduleSettings::setWeekdayNames(const QString& names) {
  if (assign(d->weekdayNames, names))
    Q_EMIT appearanceChanged();
}

int ScheduleSettings::todayLineWidth() const {
  return d->todayLineWidth;
}

void ScheduleSettings::setTodayLineWidth(int width) {
  if (assign(d->todayLineWidth, width))
    Q_EMIT appearanceChanged();
}

void ScheduleSettings::setSetting(int id, const QVariant& value) {
  // The same value in another type (a 16-bit 1 for a 32-bit 1) is a change: it reads back so.
  const auto [it, inserted] = d->settings.try_emplace(id, value);
  if (!inserted) {
    if (it->second.typeId() == value.typeId() && it->second == value)
      return;
    it->second = value;
  }
  Q_EMIT appearanceChanged();
}

QVariant ScheduleSettings::setting(int id) const {
  const auto it = d->settings.find(id);
  return it == d->settings.end() ? QVariant() : it->second;
}

QString ScheduleSettings::toolTipText() const {
  return d->toolTipText;
}

void ScheduleSettings::setToolTipText(const QString& text) {
  if (assign(d->toolTipText, text))
    Q_EMIT toolTipTextChanged(text);
}

void ScheduleSettings::copyFrom(const ScheduleSettings& other) {
  if (&other == this)
    return;
  *d = *other.d;
  Q_EMIT zoomChanged(d->zoom);
  Q_EMIT horizonChanged();
  Q_EMIT appearanceChanged();
  Q_EMIT toolTipTextChanged(d->toolTipText);
}

}  // namespace varnex::grid
