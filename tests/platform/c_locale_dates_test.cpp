// Dates as the C library writes them (`date +%x`, `date +%c`) under its own locales: each is
// read as the day it names, or refused, and never as another day.
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/date_text.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <langinfo.h>
#include <locale.h>
#include <wchar.h>
#endif

namespace varnex::platform {
namespace {

#if defined(__GLIBC__)

struct Day {
  int year;
  int month;
  int day;
};

// The days of the table: a day and month that could swap, two that could not, a leap day.
constexpr std::array<Day, 5> kDays = {
    {{2024, 1, 6}, {2024, 11, 12}, {1999, 12, 31}, {2024, 2, 29}, {2030, 3, 3}}};
constexpr int kHour = 20;
constexpr int kMinute = 30;
constexpr int kSecond = 5;

std::tm TmOf(const Day& d, bool timed) {
  const QDate date(d.year, d.month, d.day);
  std::tm tm{};
  tm.tm_year = d.year - 1900;
  tm.tm_mon = d.month - 1;
  tm.tm_mday = d.day;
  tm.tm_wday = date.dayOfWeek() % 7;
  tm.tm_yday = date.dayOfYear() - 1;
  if (timed) {
    tm.tm_hour = kHour;
    tm.tm_min = kMinute;
    tm.tm_sec = kSecond;
  }
  tm.tm_zone = "UTC";
  return tm;
}

// What the C library writes for `format` under `locale`, as `date` does: strftime_l, decoded
// from UTF-8, or its wide twin for locales of other code sets.
QString Written(const char* format, const Day& day, bool timed, locale_t locale) {
  const std::tm tm = TmOf(day, timed);
  if (std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0) {
    std::array<char, 256> buffer{};
    const std::size_t size = strftime_l(buffer.data(), buffer.size(), format, &tm, locale);
    return QString::fromUtf8(buffer.data(), static_cast<qsizetype>(size));
  }
  std::wstring wide(format, format + std::strlen(format));
  std::array<wchar_t, 256> buffer{};
  const std::size_t size = wcsftime_l(buffer.data(), buffer.size(), wide.c_str(), &tm, locale);
  return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(size));
}

enum class Outcome { Right, Refused, AnotherDay, AnotherTime };

struct Tally {
  int right = 0;
  int refused = 0;
  int anotherDay = 0;
  int anotherTime = 0;
  std::vector<std::string> wrong;  // the first few wrong reads, for the failure message
};

Outcome ReadBack(const DateTextReader& reader, const QString& text, const Day& day, bool timed) {
  const std::optional<Date> read = reader.Read(text);
  if (!read) return Outcome::Refused;
  const Date midnight = Date::FromParts(day.year, day.month, day.day);
  if (read->DaySerial() != midnight.DaySerial()) return Outcome::AnotherDay;
  // Some locales write the time without its seconds.
  const int minute = timed ? kHour * 3600 + kMinute * 60 : 0;
  const bool right = *read == midnight.AddSeconds(minute) ||
                     (timed && *read == midnight.AddSeconds(minute + kSecond));
  return right ? Outcome::Right : Outcome::AnotherTime;
}

// Writes every day as %x and %c under the named locale and reads it back.
void Check(const char* name, locale_t locale, const std::vector<Day>& days, Tally& tally) {
  const DateTextReader reader = DateTextReader::ForCLocale(name);
  for (const Day& day : days) {
    for (const bool timed : {false, true}) {
      const QString text = Written(timed ? "%c" : "%x", day, timed, locale);
      switch (ReadBack(reader, text, day, timed)) {
        case Outcome::Right: ++tally.right; break;
        case Outcome::Refused: ++tally.refused; break;
        case Outcome::AnotherDay:
        case Outcome::AnotherTime: {
          const std::optional<Date> read = reader.Read(text);
          const bool sameDay =
              read->DaySerial() == Date::FromParts(day.year, day.month, day.day).DaySerial();
          ++(sameDay ? tally.anotherTime : tally.anotherDay);
          if (tally.wrong.size() < 20) {
            tally.wrong.push_back(std::string(name) + " \"" + text.toStdString() + "\" -> " +
                                  read->ToIsoText().toStdString());
          }
          break;
        }
      }
    }
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + '\n';
  return all;
}

// One row per locale; `readsShortDates` when every %x text must be read, not only not misread.
struct Row {
  const char* name;
  bool readsShortDates;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

class CLocaleDates : public testing::TestWithParam<Row> {};

TEST_P(CLocaleDates, ReadsTheRightDayOrRefusesNeverAnotherDay) {
  const Row& row = GetParam();
  const locale_t locale = newlocale(LC_ALL_MASK, row.name, static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) {
    GTEST_SKIP() << row.name << " is not installed (the locales-all package installs it)";
  }
  Tally tally;
  Check(row.name, locale, {kDays.begin(), kDays.end()}, tally);
  const DateTextReader reader = DateTextReader::ForCLocale(row.name);
  for (const Day& day : kDays) {
    const QString text = Written("%x", day, false, locale);
    const Outcome outcome = ReadBack(reader, text, day, false);
    EXPECT_NE(outcome, Outcome::AnotherDay) << row.name << " \"" << text.toStdString() << '"';
    // A two-digit year of the 2030s could as well be of the 1930s; it may be refused.
    if (row.readsShortDates && (day.year < 2030 || outcome != Outcome::Refused)) {
      EXPECT_EQ(outcome, Outcome::Right) << row.name << " \"" << text.toStdString() << '"';
    }
  }
  freelocale(locale);
  EXPECT_EQ(tally.anotherDay + tally.anotherTime, 0) << Joined(tally.wrong);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CLocaleDates,
    testing::Values(
        // Unknown to Qt: the C library's order alone.
        Row{"agr_PE.UTF-8", true}, Row{"bem_ZM.UTF-8", true}, Row{"iu_CA.UTF-8", true},
        // The C library's order is not Qt's.
        Row{"es_PA.UTF-8", true}, Row{"es_PR.UTF-8", true}, Row{"zu_ZA.UTF-8", true},
        Row{"ka_GE.UTF-8", true}, Row{"hy_AM.UTF-8", true}, Row{"sd_IN.UTF-8", true},
        Row{"ce_RU.UTF-8", true},
        // Buddhist-era years.
        Row{"th_TH.UTF-8", true}, Row{"lo_LA.UTF-8", true},
        // Ordinary ones, names and digits of their own, year first, and the C locales.
        Row{"en_US.UTF-8", true}, Row{"en_GB.UTF-8", true}, Row{"de_DE.UTF-8", true},
        Row{"fr_FR.UTF-8", true}, Row{"hu_HU.UTF-8", true}, Row{"fa_IR.UTF-8", true},
        Row{"ja_JP.UTF-8", false}, Row{"zh_CN.UTF-8", false}, Row{"ar_SA.UTF-8", false},
        Row{"ko_KR.UTF-8", false}, Row{"my_MM.UTF-8", false}, Row{"C", true}, Row{"POSIX", true},
        Row{"C.UTF-8", true}),
    [](const testing::TestParamInfo<Row>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// Every locale the C library has, over more days: none is read as another day.
TEST(CLocaleDates, ReadsNoDayOfAnyInstalledLocaleAsAnotherDay) {
  std::vector<std::string> names;
  if (FILE* list = popen("locale -a 2>/dev/null", "r")) {
    std::array<char, 256> line{};
    while (std::fgets(line.data(), static_cast<int>(line.size()), list) != nullptr) {
      std::string name = line.data();
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      if (!name.empty()) names.push_back(name);
    }
    pclose(list);
  }
  if (names.size() < 10) GTEST_SKIP() << "`locale -a` lists " << names.size() << " locales";

  std::vector<Day> days(kDays.begin(), kDays.end());
  for (int month = 1; month <= 12; ++month) {
    for (const int day : {1, 2, 12, 13, 28}) days.push_back({2025, month, day});
  }
  Tally five;
  Tally more;
  for (const std::string& name : names) {
    const locale_t locale = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) continue;
    Check(name.c_str(), locale, {kDays.begin(), kDays.end()}, five);
    Check(name.c_str(), locale, days, more);
    freelocale(locale);
  }
  const auto report = [&names](const char* what, const Tally& t) {
    std::cout << names.size() << " locales, " << what << ": " << t.right << " right, " << t.refused
              << " refused, " << t.anotherDay << " another day, " << t.anotherTime
              << " another time of day\n";
  };
  report("5 days as %x and %c", five);
  report(std::to_string(days.size()).append(" days as %x and %c").c_str(), more);
  EXPECT_EQ(more.anotherDay, 0) << Joined(more.wrong);
  EXPECT_EQ(more.anotherTime, 0) << Joined(more.wrong);
}

// Ambiguous dates under orders that cannot be known, era years, and the environment's locale.
TEST(CLocaleDates, RefusesWhatCouldBeAnotherDay) {
  const auto reads = [](const DateTextReader& reader, const char16_t* text) {
    const std::optional<Date> date = reader.Read(QString::fromUtf16(text));
    return date ? date->ToIsoText().toStdString() : std::string("refused");
  };
  // Neither the C library nor Qt has it: C programs and Qt both write month first.
  const DateTextReader unknown = DateTextReader::ForCLocale("xx_YY.UTF-8");
  EXPECT_EQ(reads(unknown, u"01/06/24"), "2024-01-06T00:00:00");
  // Not installed, and Qt writes day first where C programs write month first.
  const DateTextReader uninstalled = DateTextReader::ForCLocale("de_XX.UTF-8");
  EXPECT_EQ(reads(uninstalled, u"06.01.2024"), "refused");
  EXPECT_EQ(reads(uninstalled, u"13.01.2024"), "2024-01-13T00:00:00");
  EXPECT_EQ(reads(uninstalled, u"2024/01/13"), "2024-01-13T00:00:00");
  EXPECT_EQ(reads(uninstalled, u"01.01.2024"), "2024-01-01T00:00:00");
  EXPECT_EQ(reads(uninstalled, u"6. Januar 2024"), "2024-01-06T00:00:00");
  EXPECT_EQ(reads(uninstalled, u"2024-01-06"), "2024-01-06T00:00:00");

  const locale_t thai = newlocale(LC_TIME_MASK, "th_TH.UTF-8", static_cast<locale_t>(nullptr));
  if (thai == static_cast<locale_t>(nullptr)) GTEST_SKIP() << "th_TH.UTF-8 is not installed";
  freelocale(thai);
  const DateTextReader th = DateTextReader::ForCLocale("th_TH.UTF-8");
  EXPECT_EQ(reads(th, u"06/01/2567"), "2024-01-06T00:00:00");
  EXPECT_EQ(reads(th, u"6 ม.ค. 2567"), "2024-01-06T00:00:00");
  EXPECT_EQ(reads(th, u"06/01/2443"), "1900-01-06T00:00:00");
  EXPECT_EQ(reads(th, u"06/01/2024"), "refused");  // a Gregorian year, or 1481?
  EXPECT_EQ(reads(th, u"06/01/67"), "refused");
  EXPECT_EQ(reads(th, u"January 6, 2024"), "refused");
  EXPECT_EQ(reads(th, u"2024-01-06"), "2024-01-06T00:00:00");
  EXPECT_EQ(reads(th, u"2024-01-06T08:30:00"), "2024-01-06T08:30:00");
}

TEST(CLocaleDates, FollowsTheEnvironmentsLocale) {
  const locale_t german = newlocale(LC_TIME_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
  if (german == static_cast<locale_t>(nullptr)) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  freelocale(german);
  const char* saved = std::getenv("LC_ALL");
  const std::string before = saved != nullptr ? saved : "";
  setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_EQ(ParseDate(u"01/06/24"), Date::FromParts(2024, 1, 6));
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  EXPECT_EQ(ParseDate(u"01.06.24"), Date::FromParts(2024, 6, 1));
  unsetenv("LC_ALL");
  setenv("LC_TIME", "en_US.UTF-8", 1);
  EXPECT_EQ(ParseDate(u"01/06/24"), Date::FromParts(2024, 1, 6));
  unsetenv("LC_TIME");
  if (saved != nullptr) setenv("LC_ALL", before.c_str(), 1);
}

#else

TEST(CLocaleDates, NeedTheGnuCLibrary) {
  GTEST_SKIP() << "the C library's own locales are read with the GNU C library only";
}

#endif

}  // namespace
}  // namespace varnex::platform
