// The words assistive technology speaks of the view: its name and scale, the ruler, the table's
// cells and captions, and the bars.
#include "grid/schedule_view_accessible_p.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace varnex::grid::detail {

namespace {

QString unitWords(TimeScale::Unit unit) {
  switch (unit) {
    case TimeScale::Unit::Hour:
      return QStringLiteral("Hours");
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

// The ruler's tiers as the renderer picks them.
TimeScale::RulerTiers tiersShown(const ViewPrivate& d) {
  return d.scale.rulerTiers(QFontMetrics(d.headerFont).horizontalAdvance(QStringLiteral("30")));
}

// The days the timeline's body shows now, within the span.
QString periodInView(ViewPrivate& d) {
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

}  // namespace

QString scaleWords(ViewPrivate& d) {
  const TimeScale::RulerTiers tiers = tiersShown(d);
  const TimeScale::Unit unit = tiers.lower != TimeScale::Unit::None ? tiers.lower : tiers.upper;
  return QStringLiteral("%1, %2").arg(unitWords(unit), periodInView(d));
}

QString rulerWords(ViewPrivate& d) {
  const TimeScale::RulerTiers tiers = tiersShown(d);
  const QString units = tiers.lower == TimeScale::Unit::None
                            ? unitWords(tiers.upper)
                            : QStringLiteral("%1 over %2")
                                  .arg(unitWords(tiers.upper), unitWords(tiers.lower).toLower());
  return QStringLiteral("Time ruler: %1, %2").arg(units, periodInView(d));
}

QString gridName(ViewPrivate& d) {
  d.ensureLayout();
  return QStringLiteral("%1: %2, %3")
      .arg(d.q->accessibleName(), d.model->countText(d.model->lineCount()),
           periodWords(d.q->locale(), d.scale.span().first, d.scale.span().last()));
}

QString cellText(const ViewPrivate& d, int line, int column) {
  const int columns = d.model->columnCount();
  if (column < columns)
    return d.model->cellText(line, column + 1);
  const Bar* bar = d.model->bar(line, 1);
  if (!bar)
    return {};
  return momentText(d.q->locale(), column == columns ? bar->start : bar->end);
}

QString captionText(const ViewPrivate& d, int column) {
  const int columns = d.model->columnCount();
  if (column < columns)
    return d.model->columnCaption(column + 1);
  return column == columns ? QStringLiteral("Start") : QStringLiteral("End");
}

QString barWords(const ViewPrivate& d, const Bar& bar) {
  QString words = QStringLiteral("%1 state, %2 to %3")
                      .arg(d.model->colourName(bar.colour), momentText(d.q->locale(), bar.start),
                           momentText(d.q->locale(), bar.end));
  if (bar.hasText && !bar.text.isEmpty())
    words += QStringLiteral(", marked %1").arg(bar.text);
  return words;
}

}  // namespace varnex::grid::detail
