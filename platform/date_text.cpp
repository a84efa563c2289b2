#include "platform/date_text.h"

#include <QDate>

#include <array>
#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <langinfo.h>
#include <locale.h>
#include <time.h>
#include <wchar.h>
#define VARNEX_C_LOCALES 1
#else
#define VARNEX_C_LOCALES 0
#endif

namespace varnex::platform {
namespace {

constexpr std::array<const char*, 12> kEnglishMonths = {"January", "February", "March",
                                                        "April",   "May",      "June",
                                                        "July",    "August",   "September",
                                                        "October", "November", "December"};
constexpr std::array<const char*, 7> kEnglishWeekdays = {"Monday",   "Tuesday", "Wednesday",
                                                         "Thursday", "Friday",  "Saturday",
                                                         "Sunday"};

// Blanks, no-break spaces and the direction marks some locales put between date fields.
bool IsBlank(QChar c) {
  switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\u00A0':
    case u'\u200E':
    case u'\u200F':
    case u'\u202F': return true;
    default: return false;
  }
}

bool IsWordPart(QChar c) {
  return c.isLetterOrNumber() || c.isMark();
}

QStringView Trimmed(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.sliced(begin, end - begin);
}

// Abbreviations such as "Jan." are stored without their dot, which is then read as a separator.
QString WithoutTrailingDots(QString text) {
  while (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

// Two-digit years: 00..29 are 2000..2029, 50..99 are 1950..1999. 30..49 are not read (0): the
// C library writes 2030 as "30" as people wrote 1930, and either reading could be another day.
int WindowedYear(int year) {
  if (year < 30) return 2000 + year;
  return year < 50 ? 0 : 1900 + year;
}

// Era years that would fall before this Gregorian year are not read (see the class comment).
constexpr int kFirstEraYear = 1900;

// The Qt locale for a C library locale name such as "sr_RS.UTF-8@latin": its language, script
// and territory, or the C locale when Qt does not know the language.
QLocale QtLocaleFor(const char* name) {
  QString text = QString::fromLatin1(name);
  QString modifier;
  if (const qsizetype at = text.indexOf(QLatin1Char('@')); at >= 0) {
    modifier = text.sliced(at + 1);
    text.truncate(at);
  }
  if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) text.truncate(dot);
  if (text.isEmpty() || text == QLatin1String("C") || text == QLatin1String("POSIX")) {
    return QLocale::c();
  }
  const QString script = modifier == QLatin1String("latin")      ? QStringLiteral("Latn")
                         : modifier == QLatin1String("cyrillic") ? QStringLiteral("Cyrl")
                                                                 : QString();
  if (!script.isEmpty()) {
    const qsizetype underscore = text.indexOf(QLatin1Char('_'));
    text = underscore < 0
               ? text + QLatin1Char('_') + script
               : text.left(underscore) + QLatin1Char('_') + script + text.sliced(underscore);
  }
  const QLocale locale(text);
  return locale.language() == QLocale::C ? QLocale::c() : locale;
}

// The LC_TIME locale name the environment chooses, as the C library does: LC_ALL, then LC_TIME,
// then LANG, the first that is set and not empty, else "C". Points into the environment.
[[maybe_unused]] const char* EnvironmentTimeLocale() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

// What a strftime format writes: the day, month and year in the order first written ('d', 'm'
// for a numeric month, 'M' for a named one, 'y'), the first mark after the first of them, and
// how years and hours are written.
struct FormatFields {
  QString order;
  QChar separator;
  bool eraYear = false;
  bool gregorianYear = false;
  bool twelveHour = false;
};

void ScanFormat(QStringView format, QStringView dateFormat, FormatFields& out, int depth = 0) {
  const auto add = [&out](QChar field) {
    const QChar key = field == QLatin1Char('M') ? QLatin1Char('m') : field;
    for (const QChar seen : out.order) {
      if ((seen == QLatin1Char('M') ? QLatin1Char('m') : seen) == key) return;
    }
    out.order += field;
  };
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (c != QLatin1Char('%')) {
      if (!out.order.isEmpty() && out.separator.isNull() && !IsBlank(c) && !c.isLetter() &&
          c.category() != QChar::Other_Format && c.category() != QChar::Separator_Space) {
        out.separator = c;
      }
      continue;
    }
    ++i;
    while (i < format.size() && (format[i] == QLatin1Char('-') || format[i] == QLatin1Char('_') ||
                                 format[i] == QLatin1Char('0') || format[i] == QLatin1Char('^') ||
                                 format[i] == QLatin1Char('#') || format[i].isDigit())) {
      ++i;
    }
    bool era = false;
    if (i < format.size() && (format[i] == QLatin1Char('E') || format[i] == QLatin1Char('O'))) {
      era = format[i] == QLatin1Char('E');
      ++i;
    }
    if (i >= format.size()) break;
    switch (format[i].unicode()) {
      case u'd':
      case u'e': add(QLatin1Char('d')); break;
      case u'm': add(QLatin1Char('m')); break;
      case u'b':
      case u'B':
      case u'h': add(QLatin1Char('M')); break;
      case u'y':
      case u'Y':
      case u'C':
      case u'G':
      case u'g':
        add(QLatin1Char('y'));
        (era ? out.eraYear : out.gregorianYear) = true;
        break;
      case u'D': ScanFormat(u"%m/%d/%y", dateFormat, out, depth + 1); break;
      case u'F': ScanFormat(u"%Y-%m-%d", dateFormat, out, depth + 1); break;
      case u'x':
        if (depth == 0) ScanFormat(dateFormat, dateFormat, out, depth + 1);
        break;
      case u'I':
      case u'l':
      case u'r': out.twelveHour = true; break;
      default: break;
    }
  }
}

}  // namespace

namespace detail {

class DateCursor {
 public:
  explicit DateCursor(QStringView text) : mText(text) {}

  [[nodiscard]] bool AtEnd() const { return mPos == mText.size(); }
  [[nodiscard]] QChar Peek() const { return AtEnd() ? QChar() : mText[mPos]; }
  [[nodiscard]] QStringView Rest() const { return mText.sliced(mPos); }
  void Advance(qsizetype count) { mPos += count; }
  bool Take(QChar c) {
    if (AtEnd() || mText[mPos] != c) return false;
    ++mPos;
    return true;
  }
  bool SkipBlanks() {
    const qsizetype start = mPos;
    while (!AtEnd() && IsBlank(mText[mPos])) ++mPos;
    return mPos != start;
  }
  // Blanks around at most one comma, as between a date and its time or weekday.
  bool SkipSpacing() {
    bool skipped = SkipBlanks();
    if (Take(QLatin1Char(','))) {
      SkipBlanks();
      skipped = true;
    }
    return skipped;
  }

 private:
  QStringView mText;
  qsizetype mPos = 0;
};

// A date field: a number and how many digits it had, or a month name (no digits).
struct DateField {
  int value = 0;
  int digits = 0;
};

// What stands between two date fields: blanks, one mark, or a mark with blanks around it.
struct DateGap {
  QChar mark;
  bool blanks = false;
};

}  // namespace detail

using detail::DateCursor;
using detail::DateField;
using detail::DateGap;

void DateTextReader::Words::Add(QString text, int value, bool english) {
  if (text.isEmpty() || !text.front().isLetter()) return;
  std::vector<Word>& words = english ? mEnglish : mLocal;
  for (const Word& word : words) {
    if (word.value == value && word.text.compare(text, Qt::CaseInsensitive) == 0) return;
  }
  words.push_back({std::move(text), value});
}

int DateTextReader::Words::Match(QStringView text, qsizetype& length) const {
  for (const std::vector<Word>* words : {&mLocal, &mEnglish}) {
    int value = 0;
    qsizetype best = 0;
    for (const Word& word : *words) {
      const qsizetype size = word.text.size();
      if (size < best || !text.startsWith(word.text, Qt::CaseInsensitive)) continue;
      if (size < text.size() && IsWordPart(text[size])) continue;
      if (size > best) {
        best = size;
        value = word.value;
      } else if (word.value != value) {
        value = 0;
      }
    }
    if (best > 0) {
      length = best;
      return value;
    }
  }
  return 0;
}

DateTextReader::DateTextReader(const QLocale& locale)
    : mLocale(locale), mDateSeparator(QLatin1Char('/')), mTimeSeparator(QLatin1Char(':')) {
  if (locale.language() == QLocale::C) {
    // C programs print dates month first.
    mOrder = Order::MonthDayYear;
  } else {
    // The order of the first day, month and year letters of the short pattern, outside quoted
    // text, and the first mark after the first of them.
    QString letters;
    bool quoted = false;
    bool separatorSeen = false;
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
      if (c == QLatin1Char('\'')) {
        quoted = !quoted;
      } else if (quoted) {
        continue;
      } else if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
        if (!letters.contains(c)) letters += c;
      } else if (!letters.isEmpty() && !separatorSeen && !IsBlank(c) && !c.isLetter() &&
                 c.category() != QChar::Other_Format) {
        mDateSeparator = c;
        separatorSeen = true;
      }
    }
    if (letters == QLatin1String("yMd")) {
      mOrder = Order::YearMonthDay;
    } else if (letters == QLatin1String("Mdy")) {
      mOrder = Order::MonthDayYear;
    } else {
      mOrder = Order::DayMonthYear;
    }
  }

  // The mark after the hours of the short time pattern, as in "H.mm".
  const QString time = locale.timeFormat(QLocale::ShortFormat);
  qsizetype i = 0;
  while (i < time.size() && time[i] != QLatin1Char('h') && time[i] != QLatin1Char('H')) ++i;
  while (i < time.size() && (time[i] == QLatin1Char('h') || time[i] == QLatin1Char('H'))) ++i;
  if (i < time.size() && !time[i].isLetterOrNumber() && !IsBlank(time[i]) &&
      time[i] != QLatin1Char('\'')) {
    mTimeSeparator = time[i];
  }

  const QString zero = locale.zeroDigit();
  if (zero.size() == 1) mZeroDigit = zero.front().unicode();

  for (int month = 1; month <= 12; ++month) {
    for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
      mMonths.Add(WithoutTrailingDots(locale.monthName(month, format)), month, false);
      mMonths.Add(WithoutTrailingDots(locale.standaloneMonthName(month, format)), month, false);
    }
    const QString english =
        QString::fromLatin1(kEnglishMonths[static_cast<std::size_t>(month - 1)]);
    mMonths.Add(english.left(3), month, true);
    mMonths.Add(english, month, true);
  }
  mMonths.Add(QStringLiteral("Sept"), 9, true);

  for (int day = 1; day <= 7; ++day) {
    for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
      mWeekdays.Add(WithoutTrailingDots(locale.dayName(day, format)), day, false);
      mWeekdays.Add(WithoutTrailingDots(locale.standaloneDayName(day, format)), day, false);
    }
    const QString english =
        QString::fromLatin1(kEnglishWeekdays[static_cast<std::size_t>(day - 1)]);
    mWeekdays.Add(english.left(3), day, true);
    mWeekdays.Add(english, day, true);
  }

  // Day halves keep their dots ("a.m.") and are also read without the last one.
  const auto addHalf = [this](const QString& text, int half, bool english) {
    mDayHalves.Add(text, half, english);
    mDayHalves.Add(WithoutTrailingDots(text), half, english);
  };
  addHalf(locale.amText(), 1, false);
  addHalf(locale.pmText(), 2, false);
  addHalf(QStringLiteral("AM"), 1, true);
  addHalf(QStringLiteral("PM"), 2, true);
  addHalf(QStringLiteral("A.M."), 1, true);
  addHalf(QStringLiteral("P.M."), 2, true);
}

#if VARNEX_C_LOCALES
namespace {

// Text of the C library locale, as wide characters so that every code set reads right.
QString CText(nl_item item, locale_t locale) {
  const auto* wide = reinterpret_cast<const wchar_t*>(nl_langinfo_l(item, locale));
  return wide == nullptr ? QString() : QString::fromWCharArray(wide);
}

// What strftime writes for the day under the C library locale.
QString CFormatted(const wchar_t* format, int year, int month, int day, locale_t locale) {
  const QDate date(year, month, day);
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_wday = date.dayOfWeek() % 7;
  tm.tm_yday = date.dayOfYear() - 1;
  std::array<wchar_t, 128> buffer{};
  const std::size_t size = wcsftime_l(buffer.data(), buffer.size(), format, &tm, locale);
  return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(size));
}

// The era's year minus the Gregorian year, when it is one and the same positive number over the
// years a planning board shows and the era writes its years in ASCII digits.
std::optional<int> EraOffset(locale_t locale) {
  std::optional<int> offset;
  for (const int year : {1900, 1970, 2000, 2024, 2100, 2500}) {
    const QString text = CFormatted(L"%Ey", year, 6, 15, locale);
    bool ok = !text.isEmpty();
    for (const QChar c : text) ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!ok) return std::nullopt;
    const int difference = text.toInt() - year;
    if (difference <= 0 || (offset && *offset != difference)) return std::nullopt;
    offset = difference;
  }
  return offset;
}

}  // namespace
#endif

DateTextReader DateTextReader::ForCLocale(const char* name) {
#if VARNEX_C_LOCALES
  if (name == nullptr || *name == '\0') name = EnvironmentTimeLocale();
  DateTextReader reader(QtLocaleFor(name));
  const bool qtKnows = reader.mLocale.language() != QLocale::C;
  const Order qtOrder = reader.mOrder;
  const locale_t c = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
  if (c == static_cast<locale_t>(nullptr)) {
    // Without the locale C programs write dates as under "C", month first; Qt's programs write
    // them in Qt's order. Only when both agree is the order known.
    if (qtOrder != Order::MonthDayYear) reader.mOrder = Order::Unknown;
    return reader;
  }

  const QString dateFormat = CText(_NL_WD_FMT, c);
  FormatFields date;
  FormatFields dateTime;
  ScanFormat(dateFormat, dateFormat, date);
  ScanFormat(CText(_NL_WD_T_FMT, c), dateFormat, dateTime);
  const auto orderOf = [](const FormatFields& fields) -> std::optional<Order> {
    QString letters = fields.order;
    letters.replace(QLatin1Char('M'), QLatin1Char('m'));
    if (letters == QLatin1String("mdy")) return Order::MonthDayYear;
    if (letters == QLatin1String("dmy")) return Order::DayMonthYear;
    if (letters == QLatin1String("ymd")) return Order::YearMonthDay;
    if (letters == QLatin1String("ydm")) return Order::YearDayMonth;
    return std::nullopt;
  };
  const auto numeric = [&orderOf](const FormatFields& fields) {
    return orderOf(fields).has_value() && !fields.order.contains(QLatin1Char('M'));
  };
  reader.mOrder = Order::Unknown;
  if (numeric(date) || numeric(dateTime)) {
    const FormatFields& fields = numeric(date) ? date : dateTime;
    reader.mOrder = *orderOf(fields);
    if (!fields.separator.isNull()) reader.mDateSeparator = fields.separator;
  } else {
    // Only month names: the order of the fields holds for numbers where Qt agrees with it.
    const std::optional<Order> named = orderOf(date) ? orderOf(date) : orderOf(dateTime);
    if (qtKnows && named == qtOrder) reader.mOrder = qtOrder;
  }

  if (date.eraYear || dateTime.eraYear) {
    const std::optional<int> offset = EraOffset(c);
    if (offset && !date.gregorianYear && !dateTime.gregorianYear) {
      reader.mYears = Years::Era;
      reader.mEraOffset = *offset;
    } else {
      reader.mYears = Years::None;
    }
  }

  // The C library's own digits, when they follow each other as the ASCII ones do.
  const QString ten = CFormatted(L"%Od", 2024, 1, 10, c);
  if (ten.size() == 2 && ten[0].unicode() == ten[1].unicode() + 1) {
    reader.mAltZeroDigit = ten[1].unicode();
  }

  for (int month = 1; month <= 12; ++month) {
    const int i = month - 1;
    for (const nl_item item :
         {_NL_WMON_1 + i, _NL_WABMON_1 + i, _NL_WALTMON_1 + i, _NL_WABALTMON_1 + i}) {
      reader.mMonths.Add(WithoutTrailingDots(Trimmed(CText(item, c)).toString()), month, false);
    }
  }
  for (int day = 1; day <= 7; ++day) {
    const int i = day % 7;  // the C library counts from Sunday
    for (const nl_item item : {_NL_WDAY_1 + i, _NL_WABDAY_1 + i}) {
      reader.mWeekdays.Add(WithoutTrailingDots(Trimmed(CText(item, c)).toString()), day, false);
    }
  }
  const QString am = Trimmed(CText(_NL_WAM_STR, c)).toString();
  const QString pm = Trimmed(CText(_NL_WPM_STR, c)).toString();
  for (const auto& [text, half] : {std::pair{am, 1}, std::pair{pm, 2}}) {
    reader.mDayHalves.Add(text, half, false);
    reader.mDayHalves.Add(WithoutTrailingDots(text), half, false);
  }
  reader.mHalvesNeeded = dateTime.twelveHour && (am.isEmpty() || pm.isEmpty());
  freelocale(c);
  return reader;
#else
  return DateTextReader(name == nullptr || *name == '\0' ? QLocale::system() : QtLocaleFor(name));
#endif
}

DateTextReader DateTextReader::ForSystem() {
#if VARNEX_C_LOCALES
  const char* name = EnvironmentTimeLocale();
  DateTextReader reader = ForCLocale(name);
  reader.mSystemName = name;
#else
  DateTextReader reader(QLocale::system());
#endif
  reader.mForSystem = true;
  return reader;
}

bool DateTextReader::IsCurrentSystem() const {
  if (!mForSystem) return false;
#if VARNEX_C_LOCALES
  return mSystemName == EnvironmentTimeLocale();
#else
  return mLocale == QLocale::system();
#endif
}

int DateTextReader::DigitValue(QChar c) const {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= mZeroDigit && u <= mZeroDigit + 9) return u - mZeroDigit;
  if (u >= mAltZeroDigit && u <= mAltZeroDigit + 9) return u - mAltZeroDigit;
  return -1;
}

int DateTextReader::ReadDigits(DateCursor& in, int& value) const {
  int count = 0;
  value = 0;
  for (int digit = DigitValue(in.Peek()); digit >= 0; digit = DigitValue(in.Peek())) {
    if (count < 9) value = value * 10 + digit;
    ++count;
    in.Advance(1);
  }
  return count;
}

bool DateTextReader::ReadField(DateCursor& in, DateField& field) const {
  field.digits = ReadDigits(in, field.value);
  if (field.digits > 0) return field.digits <= 4;
  qsizetype length = 0;
  field.value = mMonths.Match(in.Rest(), length);
  if (field.value == 0) return false;
  in.Advance(length);
  return true;
}

bool DateTextReader::ReadGap(DateCursor& in, DateGap& gap) const {
  gap.blanks = in.SkipBlanks();
  const QChar c = in.Peek();
  if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.') ||
      c == QLatin1Char(',') || c == mDateSeparator) {
    gap.mark = c;
    in.Advance(1);
    if (in.SkipBlanks()) gap.blanks = true;
  }
  return gap.blanks || !gap.mark.isNull();
}

bool DateTextReader::ReadTime(DateCursor& in, bool iso, int& secondOfDay) const {
  int hour = 0;
  int minute = 0;
  int second = 0;
  const int hourDigits = ReadDigits(in, hour);
  if (hourDigits < 1 || hourDigits > 2) return false;
  const QChar separator = in.Peek();
  if (separator != QLatin1Char(':') && separator != mTimeSeparator) return false;
  in.Advance(1);
  if (ReadDigits(in, minute) != 2) return false;
  if (in.Take(separator) && ReadDigits(in, second) != 2) return false;

  // A day half after the time means a 12-hour clock.
  in.SkipBlanks();
  if (!in.AtEnd()) {
    qsizetype length = 0;
    const int half = mDayHalves.Match(in.Rest(), length);
    if (half == 0 || hour < 1 || hour > 12) return false;
    in.Advance(length);
    hour = hour % 12 + (half == 2 ? 12 : 0);
  } else if (mHalvesNeeded && !iso && hour >= 1 && hour <= 12) {
    return false;  // the locale writes 8 PM as "08:00" too
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  secondOfDay = hour * 3600 + minute * 60 + second;
  return true;
}

std::optional<Date> DateTextReader::Read(QStringView text) const {
  DateCursor in(Trimmed(text));
  qsizetype length = 0;

  // A weekday before the date ("Monday, January 6, 2025", "Mo., 6.1.2025").
  int weekdayBefore = 0;
  if (in.Peek().isLetter() && mMonths.Match(in.Rest(), length) == 0) {
    weekdayBefore = mWeekdays.Match(in.Rest(), length);
    if (weekdayBefore == 0) return std::nullopt;
    in.Advance(length);
    bool spaced = false;
    while (IsBlank(in.Peek()) || in.Peek() == QLatin1Char(',') || in.Peek() == QLatin1Char('.')) {
      in.Advance(1);
      spaced = true;
    }
    if (!spaced) return std::nullopt;
  }

  std::array<DateField, 3> fields;
  std::array<DateGap, 2> gaps;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0 && !ReadGap(in, gaps[i - 1])) return std::nullopt;
    if (!ReadField(in, fields[i])) return std::nullopt;
  }

  // Which field is which: a month name decides by its place, numbers by the locale, except
  // that ISO 8601 dates read the same everywhere. Under an unknown order every order is tried.
  const auto isName = [&fields](std::size_t i) { return fields[i].digits == 0; };
  std::array<Order, 4> orders{};
  std::size_t orderCount = 1;
  orders[0] = mOrder;
  bool iso = false;
  const bool numeric = !isName(0) && !isName(1) && !isName(2);
  if (numeric) {
    if (gaps[0].mark != gaps[1].mark) return std::nullopt;
    if (gaps[0].mark == QLatin1Char(',') && mDateSeparator != QLatin1Char(',')) return std::nullopt;
    iso = fields[0].digits == 4 && gaps[0].mark == QLatin1Char('-') && !gaps[0].blanks &&
          !gaps[1].blanks;
    if (iso) {
      orders[0] = Order::YearMonthDay;
    } else if (mOrder == Order::Unknown) {
      orders = {Order::MonthDayYear, Order::DayMonthYear, Order::YearMonthDay, Order::YearDayMonth};
      orderCount = orders.size();
    }
  } else if (isName(0) && !isName(1) && !isName(2)) {
    orders[0] = Order::MonthDayYear;
  } else if (isName(1) && !isName(0) && !isName(2)) {
    const bool yearFirst = mOrder == Order::YearMonthDay || mOrder == Order::YearDayMonth;
    if (fields[0].digits == 4) {
      orders[0] = Order::YearMonthDay;
    } else if (fields[2].digits == 4 || (!yearFirst && mOrder != Order::Unknown)) {
      orders[0] = Order::DayMonthYear;
    } else if (yearFirst) {
      orders[0] = Order::YearMonthDay;
    } else {
      return std::nullopt;  // "06 Jan 24" under an unknown order
    }
  } else {
    return std::nullopt;
  }

  // One day only, whatever the orders tried.
  std::optional<std::array<int, 3>> day;
  Order order = orders[0];
  for (std::size_t i = 0; i < orderCount; ++i) {
    const auto read = ReadDay(fields.data(), orders[i], iso);
    if (!read) continue;
    if (day && *day != *read) return std::nullopt;
    day = read;
    order = orders[i];
  }
  if (!day) return std::nullopt;
  const auto [year, month, dayOfMonth] = *day;
  const int weekday = QDate(year, month, dayOfMonth).dayOfWeek();
  if (weekdayBefore != 0 && weekdayBefore != weekday) return std::nullopt;
  const bool endsWithDay = order == Order::YearMonthDay;

  // A dot may end a date that uses dots or ends with its day: "2025. 01. 06.", "2025. január 6.".
  if ((numeric && gaps[1].mark == QLatin1Char('.')) || endsWithDay) in.Take(QLatin1Char('.'));

  // A weekday after the date ("6 Ocak 2025 Pazartesi"), then a time of day.
  bool spaced = in.SkipSpacing();
  if (spaced && in.Peek().isLetter()) {
    if (mWeekdays.Match(in.Rest(), length) != weekday) return std::nullopt;
    in.Advance(length);
    spaced = in.SkipSpacing();
  }
  int secondOfDay = 0;
  if (in.AtEnd()) {
    if (spaced) return std::nullopt;  // a trailing comma
  } else {
    if (!spaced && !(iso && in.Take(QLatin1Char('T')))) return std::nullopt;
    if (!ReadTime(in, iso, secondOfDay) || !in.AtEnd()) return std::nullopt;
  }
  return Date::FromParts(year, month, dayOfMonth).AddSeconds(secondOfDay);
}

std::optional<std::array<int, 3>> DateTextReader::ReadDay(const DateField* fields, Order order,
                                                          bool iso) const {
  const auto [y, m, d] = [order]() -> std::array<std::size_t, 3> {
    switch (order) {
      case Order::MonthDayYear: return {2, 0, 1};
      case Order::DayMonthYear: return {2, 1, 0};
      case Order::YearMonthDay: return {0, 1, 2};
      case Order::YearDayMonth: return {0, 2, 1};
      case Order::Unknown: break;
    }
    return {2, 0, 1};
  }();
  if (fields[y].digits != 2 && fields[y].digits != 4) return std::nullopt;
  if (fields[m].digits > 2 || fields[d].digits < 1 || fields[d].digits > 2) return std::nullopt;
  int year = fields[y].value;
  if (!iso && mYears == Years::None) return std::nullopt;
  if (fields[y].digits == 2) {
    if (mYears != Years::Gregorian) return std::nullopt;  // which century of the era?
    year = WindowedYear(year);
    if (year == 0) return std::nullopt;
  } else if (!iso && mYears == Years::Era) {
    year -= mEraOffset;
    if (year < kFirstEraYear) return std::nullopt;
  }
  const int month = fields[m].value;
  const int day = fields[d].value;
  if (!QDate::isValid(year, month, day)) return std::nullopt;
  return std::array<int, 3>{year, month, day};
}

}  // namespace varnex::platform
