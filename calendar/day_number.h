#pragma once

#include <QDate>

namespace varnex::calendar {

/// Day numbers count whole calendar days from 1 January 1900, which is day 0; the days before
/// it count negative (31 December 1899 is day -1). The control converts its dates to day numbers
/// for the grid, and the grid turns them back into dates for its ruler, weekend shading and
/// title, both through the functions below.

/// The Julian day of day 0, 1 January 1900.
inline constexpr qint64 kJulianDayOfDayZero = 2415021;

/// The day number of the automation zero date, 30 December 1899: automation dates count their
/// days from it, and a date that was never set holds it.
inline constexpr qint64 kDayOfZeroDate = -2;

/// The day number of a valid date (proleptic Gregorian calendar).
[[nodiscard]] constexpr qint64 dayNumberOf(QDate date) {
  return date.toJulianDay() - kJulianDayOfDayZero;
}

/// The date of a day number.
[[nodiscard]] constexpr QDate dateOfDayNumber(qint64 day) {
  return QDate::fromJulianDay(day + kJulianDayOfDayZero);
}

}  // namespace varnex::calendar
