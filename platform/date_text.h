#pragma once

#include "platform/date_time.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace varnex::platform {

namespace detail {
class DateCursor;
struct DateField;
struct DateGap;
}  // namespace detail

/// Reads dates as people and programs write them under one locale. Building a reader gathers
/// the locale's patterns and names; reading then allocates nothing.
///
/// Read are, with blanks around the text ignored:
/// - day, month and year in the locale's order (that of its short date pattern; month first
///   under the C locale), one or two digits (ASCII or the locale's own) for day and month,
///   joined by the locale's date separator, '/', '-', '.' or blanks, the same between both
///   pairs ("1/6/2025", "06.01.25"); a dot may end a date that uses dots or ends with its
///   day ("2025. 01. 06.");
/// - ISO 8601 dates under every locale ("2025-01-06");
/// - the month as a name or abbreviation in the locale's language or in English, any letter
///   case, in the locale's order or as "January 6, 2025" or "6 January 2025" ("6. Jan. 2025");
/// - an optional weekday name before or after the date, which must be the date's weekday;
/// - an optional time of day after a blank: "8:30", "08:30:15", "8:30 PM" (hours 1 to 12 with
///   a day half, 0 to 23 without; ':' or the locale's own separator), or after an ISO date
///   also "T18:00:00".
/// Years have four digits, or two: 00..29 are 2000..2029 and 30..99 are 1930..1999. Anything
/// else, and any impossible date or time (31 February, month 13, 24:00), is not read.
class DateTextReader {
 public:
  explicit DateTextReader(const QLocale& locale);

  [[nodiscard]] const QLocale& Locale() const noexcept { return mLocale; }
  /// The date and time of day the text names, or nothing if it names none.
  [[nodiscard]] std::optional<Date> Read(QStringView text) const;

 private:
  enum class Order { MonthDayYear, DayMonthYear, YearMonthDay };

  // Words with the number they stand for: months 1-12, weekdays 1-7 (Monday first), or
  // the day halves 1 (before noon) and 2. The locale's words win over English ones.
  class Words {
   public:
    void Add(QString text, int value, bool english);
    /// The number of the longest word that starts `text` and ends there as a word, with its
    /// length; 0 when there is none or two such words of that length disagree.
    [[nodiscard]] int Match(QStringView text, qsizetype& length) const;

   private:
    struct Word {
      QString text;
      int value;
    };
    std::vector<Word> mLocal;
    std::vector<Word> mEnglish;
  };

  [[nodiscard]] int DigitValue(QChar c) const;
  [[nodiscard]] int ReadDigits(detail::DateCursor& in, int& value) const;
  [[nodiscard]] bool ReadField(detail::DateCursor& in, detail::DateField& field) const;
  [[nodiscard]] bool ReadGap(detail::DateCursor& in, detail::DateGap& gap) const;
  [[nodiscard]] bool ReadTime(detail::DateCursor& in, int& secondOfDay) const;

  QLocale mLocale;
  Order mOrder = Order::MonthDayYear;
  QChar mDateSeparator;
  QChar mTimeSeparator;
  char16_t mZeroDigit = u'0';
  Words mMonths;
  Words mWeekdays;
  Words mDayHalves;
};

}  // namespace varnex::platform
