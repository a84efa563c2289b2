#pragma once

#include "platform/date_time.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
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
/// - day, month and year in the locale's order, one or two digits (ASCII or the locale's own) for
///   day and month, joined by the locale's date separator, '/', '-', '.' or blanks, the same
///   between both pairs ("1/6/2025", "06.01.25"); a dot may end a date that uses dots or ends
///   with its day ("2025. 01. 06.");
/// - ISO 8601 dates under every locale ("2025-01-06"), always in the Gregorian calendar;
/// - the month as a name or abbreviation in the locale's language or in English, any letter
///   case, in the locale's order or as "January 6, 2025" or "6 January 2025" ("6. Jan. 2025");
/// - an optional weekday name before or after the date, which must be the date's weekday;
/// - an optional time of day after a blank: "8:30", "08:30:15", "8:30 PM" (hours 1 to 12 with
///   a day half, 0 to 23 without; ':' or the locale's own separator), or after an ISO date
///   also "T18:00:00".
/// Years have four digits, or two: 00..29 are 2000..2029 and 50..99 are 1950..1999; 30..49 are
/// not read, as 1930 and 2030 are both written "30" (C programs write 6 January 2030 "01/06/30"
/// under the C locale). Anything else, and any impossible date or time (31 February, month 13,
/// 24:00), is not read.
///
/// Where the order comes from:
/// - A reader built from a QLocale takes it from the QLocale's short date pattern (month first
///   under the C locale), and everything else from the QLocale too.
/// - A reader for a C library locale (ForCLocale, and ForSystem on systems with the GNU C
///   library) takes it from the order in which that locale's own short date format writes the
///   day, month and year (nl_langinfo D_FMT, as in `date +%x`; D_T_FMT, as in `date +%c`, when
///   D_FMT has no numeric day and month), so that a date reads as the machine writes it: under
///   "C" and "POSIX" month first. Its names, digits and time separator come from the QLocale of
///   the same language (English only when Qt does not know the language), with the C library's
///   own month, weekday and day half names, and its own digits (%Od), added.
/// - The order is unknown when the C library writes the month only as a name and Qt's pattern for
///   the locale does not agree with the C library's order of the fields, or when the C library
///   does not have the locale (its programs then write month first) and Qt's pattern for it is
///   not month first. Under an unknown order a numeric date is read only when a single day fits
///   it in every order ("31/12/1999", "2024/01/13"); "06/01/2024" could be 6 January or
///   1 June and is not read.
/// - A C library locale whose clock writes 12 hours without words for the day halves (hy_AM,
///   id_ID, ms_MY) does not read a time with hours 1 to 12 and no day half.
///
/// Eras: where the C library locale writes the year of an era in its short date (th_TH and lo_LA
/// write the Buddhist era, %Ey: 6 January 2024 is "06/01/2567"), every year but that of an ISO
/// date is a year of that era and is read as the Gregorian year it stands for (2567 is 2024).
/// Two-digit years are then not read, nor are years that would fall before 1900: those are most
/// likely Gregorian years typed by hand ("06/01/2024" would be 1481), and a date that may be
/// either is refused rather than moved. The era's name ("พ.ศ.") is not read. A locale that
/// writes the year of an era whose distance to the Gregorian year is not one and the same number
/// of years reads no year but those of ISO dates.
class DateTextReader {
 public:
  /// Everything from `locale`: the order of its short date pattern, its names and digits.
  explicit DateTextReader(const QLocale& locale);

  /// Dates as the C library writes them under the LC_TIME locale of that name ("th_TH.UTF-8",
  /// "de_DE", "C"; "" for the one the environment chooses). Without the GNU C library, the same
  /// as DateTextReader(QLocale(name)).
  [[nodiscard]] static DateTextReader ForCLocale(const char* name);
  /// Dates as the machine's regional settings write them: with the GNU C library, ForCLocale of
  /// the LC_TIME locale the environment chooses (LC_ALL, then LC_TIME, then LANG, else "C");
  /// elsewhere DateTextReader(QLocale::system()).
  [[nodiscard]] static DateTextReader ForSystem();
  /// Whether ForSystem() would build this reader again: false when the reader was built
  /// otherwise or the regional settings have changed since. Allocates nothing.
  [[nodiscard]] bool IsCurrentSystem() const;

  [[nodiscard]] const QLocale& Locale() const noexcept { return mLocale; }
  /// The date and time of day the text names, or nothing if it names none.
  [[nodiscard]] std::optional<Date> Read(QStringView text) const;

 private:
  enum class Order { MonthDayYear, DayMonthYear, YearMonthDay, YearDayMonth, Unknown };
  // How numeric and named years other than ISO ones are read.
  enum class Years { Gregorian, Era, None };

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
  [[nodiscard]] bool ReadTime(detail::DateCursor& in, bool iso, int& secondOfDay) const;
  /// Year, month and day of three fields read in `order`, or nothing if they name no day.
  [[nodiscard]] std::optional<std::array<int, 3>> ReadDay(const detail::DateField* fields,
                                                          Order order, bool iso) const;

  QLocale mLocale;
  QByteArray mSystemName;  // the LC_TIME name ForSystem() built this reader for
  bool mForSystem = false;
  Order mOrder = Order::MonthDayYear;
  Years mYears = Years::Gregorian;
  int mEraOffset = 0;             // the era's year minus the Gregorian year
  bool mHalvesNeeded = false;     // hours 1 to 12 need a day half
  char16_t mAltZeroDigit = u'0';  // the C library's own digits (ALT_DIGITS), if consecutive
  QChar mDateSeparator;
  QChar mTimeSeparator;
  char16_t mZeroDigit = u'0';
  Words mMonths;
  Words mWeekdays;
  Words mDayHalves;
};

}  // namespace varnex::platform
