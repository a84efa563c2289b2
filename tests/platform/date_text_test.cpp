#include "platform/date_text.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <gtest/gtest.h>

#include <optional>

namespace varnex::platform {
namespace {

// A text and the date it must give, or nothing when it must fail with 13 "Type mismatch".
struct Case {
  const char16_t* text;
  std::optional<Date> date;
};

constexpr std::nullopt_t kFails = std::nullopt;

Date On(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Date::FromParts(year, month, day, hour, minute, second);
}

const Date kJan6 = On(2025, 1, 6);

// Reads every text with ParseDate under the named locale and compares the outcome as text,
// so that a wrong day shows as two readable dates.
void ExpectReads(const char* localeName, std::initializer_list<Case> cases) {
  const QLocale locale(QString::fromLatin1(localeName));
  for (const Case& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    std::string outcome;
    try {
      outcome = ParseDate(text, locale).ToIsoText().toStdString();
    } catch (const AutomationError& e) {
      outcome = e.ReportText().toStdString();
    }
    const std::string expected =
        c.date ? c.date->ToIsoText().toStdString() : std::string("13 Type mismatch");
    EXPECT_EQ(outcome, expected) << localeName << " \"" << text.toStdString() << '"';
  }
}

// clang-format off
TEST(ParseDate, ReadsUnitedStatesDatesMonthFirst) {
  ExpectReads("en_US", {
      {u"1/6/2025", kJan6}, {u"01/06/2025", kJan6}, {u"01/06/25", kJan6}, {u"1-6-2025", kJan6},
      {u"1.6.2025", kJan6}, {u"1 6 2025", kJan6}, {u"  1/6/2025\t", kJan6},
      {u"12/31/99", On(1999, 12, 31)},
      // The two-digit year window and its edges: 30..49 could be of either century.
      {u"1/6/00", On(2000, 1, 6)}, {u"1/6/29", On(2029, 1, 6)}, {u"1/6/30", kFails},
      {u"1/6/49", kFails}, {u"1/6/50", On(1950, 1, 6)},
      // Month names, either order, any case, with a weekday that must agree.
      {u"January 6, 2025", kJan6}, {u"JAN 6 2025", kJan6}, {u"6 january 2025", kJan6},
      {u"6-Jan-25", kJan6}, {u"Sept 1, 2025", On(2025, 9, 1)},
      {u"Monday, January 6, 2025", kJan6}, {u"Mon 1/6/2025", kJan6},
      {u"Tuesday, January 6, 2025", kFails},
      // Times of day, 12-hour and 24-hour.
      {u"1/6/2025 8:30 AM", On(2025, 1, 6, 8, 30)}, {u"1/6/2025 8:30pm", On(2025, 1, 6, 20, 30)},
      {u"1/6/2025 8:30 p.m.", On(2025, 1, 6, 20, 30)}, {u"1/6/2025 12:00 AM", kJan6},
      {u"1/6/2025 12:05:09 PM", On(2025, 1, 6, 12, 5, 9)},
      {u"January 6, 2025, 23:59:59", On(2025, 1, 6, 23, 59, 59)},
      {u"1/6/2025 13:00 PM", kFails}, {u"1/6/2025 0:30 AM", kFails}, {u"1/6/2025 24:00", kFails},
      {u"1/6/2025 8:60", kFails}, {u"1/6/2025 8:30:60", kFails}, {u"1/6/2025 8:3", kFails},
      {u"1/6/2025 8:30 XM", kFails}, {u"1/6/2025T08:30", kFails},
      // Impossible dates never roll over.
      {u"2/29/2024", On(2024, 2, 29)}, {u"2/29/2025", kFails}, {u"2/31/2025", kFails},
      {u"13/1/2025", kFails}, {u"0/6/2025", kFails}, {u"1/0/2025", kFails}, {u"1/32/2025", kFails},
      // Wrong shapes.
      {u"1/6/025", kFails}, {u"1/6/5", kFails}, {u"001/6/2025", kFails}, {u"1/6-2025", kFails},
      {u"1,6,2025", kFails}, {u"2025/01/06", kFails}, {u"1/6", kFails}, {u"January 2025", kFails},
      {u"Jan Feb 2025", kFails}, {u"1/6/2025/1", kFails}, {u"1/6/2025,", kFails},
      {u"6th January 2025", kFails}});
}

TEST(ParseDate, ReadsGermanDatesDayFirst) {
  ExpectReads("de_DE", {
      {u"06.01.2025", kJan6}, {u"6.1.2025", kJan6}, {u"06.01.25", kJan6}, {u"06/01/2025", kJan6},
      {u"06.01.2025 08:00", On(2025, 1, 6, 8)}, {u"01.06.2025", On(2025, 6, 1)},
      {u"06.01.29", On(2029, 1, 6)}, {u"06.01.30", kFails}, {u"06.01.50", On(1950, 1, 6)},
      {u"6. Januar 2025", kJan6}, {u"6. Jan. 2025", kJan6}, {u"6.JAN.2025", kJan6},
      {u"Montag, 6. Januar 2025", kJan6}, {u"Mo., 06.01.2025", kJan6},
      {u"6. märz 2025", On(2025, 3, 6)}, {u"6. MÄRZ 2025", On(2025, 3, 6)},
      {u"6 January 2025", kJan6}, {u"January 6, 2025", kJan6},
      {u"Dienstag, 6. Januar 2025", kFails}, {u"31.02.2025", kFails}, {u"00.01.2025", kFails},
      {u"06.13.2025", kFails}, {u"06.01.2025 24:00", kFails}, {u"6. Janvier 2025", kFails}});
}

TEST(ParseDate, ReadsBritishDatesDayFirst) {
  ExpectReads("en_GB", {
      {u"06/01/2025", kJan6}, {u"6/1/25", kJan6}, {u"6 January 2025", kJan6},
      {u"Monday, 6 January 2025", kJan6}, {u"January 6, 2025", kJan6},
      {u"1/6/2025", On(2025, 6, 1)}, {u"31/12/99", On(1999, 12, 31)},
      {u"6/1/2025 8:30 pm", On(2025, 1, 6, 20, 30)}, {u"29/2/2023", kFails},
      {u"12/31/99", kFails}});
}

TEST(ParseDate, ReadsYearFirstDates) {
  ExpectReads("sv_SE", {
      {u"2025-01-06", kJan6}, {u"2025-1-6", kJan6}, {u"2025/01/06", kJan6}, {u"25-01-06", kJan6},
      {u"29-01-06", On(2029, 1, 6)}, {u"30-01-06", kFails}, {u"99-01-06", On(1999, 1, 6)},
      {u"2025-01-06 08:30", On(2025, 1, 6, 8, 30)}, {u"2025-01-06 8:30 em", On(2025, 1, 6, 20, 30)},
      {u"6 januari 2025", kJan6}, {u"2025 jan 6", kJan6}, {u"måndag 6 januari 2025", kJan6},
      {u"06/01/2025", kFails}, {u"2025-02-29", kFails}});
  ExpectReads("ja_JP", {
      {u"2025/01/06", kJan6}, {u"2025/1/6 8:30", On(2025, 1, 6, 8, 30)}, {u"25/1/6", kJan6},
      {u"6 January 2025", kJan6}, {u"1/6/2025", kFails}});
}

TEST(ParseDate, ReadsCLocaleDatesMonthFirst) {
  ExpectReads("C", {
      {u"1/6/2025", kJan6}, {u"01/06/25", kJan6}, {u"6 Jan 2025", kJan6},
      {u"Jan 6, 2025 8:30 PM", On(2025, 1, 6, 20, 30)}, {u"13/1/2025", kFails}, {u"", kFails},
      {u"   ", kFails}, {u"tomorrow", kFails}, {u"45290", kFails}, {u"8:30", kFails}});
}

TEST(ParseDate, ReadsIsoDatesUnderEveryLocale) {
  for (const char* locale : {"C", "en_US", "de_DE", "en_GB", "sv_SE", "ja_JP"}) {
    ExpectReads(locale, {
        {u"2024-01-01", On(2024, 1, 1)}, {u"2024-01-01T18:00:00", On(2024, 1, 1, 18)},
        {u"2024-01-01 18:00", On(2024, 1, 1, 18)}, {u" 2024-02-29 ", On(2024, 2, 29)},
        {u"1899-12-30", Date{}}, {u"9999-12-31T23:59:59", On(9999, 12, 31, 23, 59, 59)},
        {u"2023-02-29", kFails}, {u"2024-13-01", kFails}, {u"2024-01-01X10:00", kFails},
        {u"2024-01-01T25:00", kFails}, {u"2024-01-01T", kFails}, {u"0000-01-01", kFails}});
  }
}

TEST(ParseDate, ReadsOtherLocalesOwnDigitsMarksAndClock) {
  // Arabic digits with direction marks, a dotted clock, a year-first date ending in its mark,
  // and a month name with a blank inside.
  ExpectReads("ar_EG", {{u"\u0666\u200F/\u0661\u200F/\u0662\u0660\u0662\u0665", kJan6}});
  ExpectReads("fi_FI", {{u"6.1.2025 8.30", On(2025, 1, 6, 8, 30)}, {u"6. tammikuuta 2025", kJan6}});
  ExpectReads("hu_HU", {{u"2025. 01. 06.", kJan6}, {u"2025. január 6., hétfő", kJan6}});
  ExpectReads("vi_VN", {{u"6 tháng 1, 2025", kJan6}, {u"06/01/2025", kJan6}});
}
// clang-format on

TEST(ParseDate, ReadsBackEveryDayTheLocaleWrites) {
  // Each day of a leap year, as the locale writes it alone and with a time.
  for (const char* name : {"C", "en_US", "de_DE", "en_GB", "sv_SE", "ja_JP", "fr_FR", "ar_EG"}) {
    const QLocale locale(QString::fromLatin1(name));
    const DateTextReader reader(locale);
    QString firstMismatch;
    for (QDate day(2024, 1, 1); day.year() == 2024 && firstMismatch.isEmpty();
         day = day.addDays(1)) {
      const Date midnight = On(day.year(), day.month(), day.day());
      const QString alone = locale.toString(day, QLocale::ShortFormat);
      const QString timed = locale.toString(QDateTime(day, QTime(20, 30)), QLocale::ShortFormat);
      if (reader.Read(alone) != midnight) {
        firstMismatch = alone;
      } else if (reader.Read(timed) != midnight.AddSeconds(20 * 3600 + 30 * 60)) {
        firstMismatch = timed;
      }
    }
    EXPECT_EQ(firstMismatch.toStdString(), "") << name;
  }
}

}  // namespace
}  // namespace varnex::platform
