#pragma once

#include <QString>

#include <compare>
#include <cstdint>

class QDateTime;

namespace varnex::platform {

/// An automation date: a calendar date with a time of day, counted in whole seconds from the
/// zero date, 30 December 1899 00:00:00. A default Date is the zero date, the value of a
/// date that was never set.
struct Date {
  std::int64_t seconds = 0;

  /// Midnight of the given calendar day plus the time of day; no range check.
  [[nodiscard]] static Date FromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                      int second = 0);

  /// Whole days from the zero date to this date's day (time of day ignored; floor for
  /// dates before the zero date).
  [[nodiscard]] std::int64_t DaySerial() const;
  /// Seconds since midnight of this date's day, 0 to 86399.
  [[nodiscard]] std::int32_t SecondOfDay() const;
  [[nodiscard]] Date AddSeconds(std::int64_t delta) const { return Date{seconds + delta}; }
  [[nodiscard]] QDateTime ToQDateTime() const;
  /// "YYYY-MM-DDThh:mm:ss".
  [[nodiscard]] QString ToIsoText() const;

  friend auto operator<=>(const Date&, const Date&) = default;
};

inline constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace varnex::platform
