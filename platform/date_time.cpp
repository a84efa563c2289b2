#include "platform/date_time.h"

#include "calendar/day_number.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace varnex::platform {
namespace {

// Julian day of the zero date, 30 December 1899.
constexpr std::int64_t kZeroJulianDay = calendar::kJulianDayOfDayZero + calendar::kDayOfZeroDate;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

Date Date::FromParts(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t days = QDate(year, month, day).toJulianDay() - kZeroJulianDay;
  return Date{days * kSecondsPerDay + hour * 3600 + minute * 60 + second};
}

std::int64_t Date::DaySerial() const {
  return FloorDiv(seconds, kSecondsPerDay);
}

std::int32_t Date::SecondOfDay() const {
  return static_cast<std::int32_t>(seconds - DaySerial() * kSecondsPerDay);
}

QDateTime Date::ToQDateTime() const {
  const QDate day = QDate::fromJulianDay(DaySerial() + kZeroJulianDay);
  return QDateTime(day, QTime(0, 0).addSecs(SecondOfDay()), Qt::UTC);
}

QString Date::ToIsoText() const {
  const QDateTime dt = ToQDateTime();
  const QDate d = dt.date();
  const QTime t = dt.time();
  return QStringLiteral("%1-%2-%3T%4:%5:%6")
      .arg(d.year(), 4, 10, QLatin1Char('0'))
      .arg(d.month(), 2, 10, QLatin1Char('0'))
      .arg(d.day(), 2, 10, QLatin1Char('0'))
      .arg(t.hour(), 2, 10, QLatin1Char('0'))
      .arg(t.minute(), 2, 10, QLatin1Char('0'))
      .arg(t.second(), 2, 10, QLatin1Char('0'));
}

}  // namespace varnex::platform
