#include "platform/date_text.h"

#include <QDate>

#include <array>

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

// Two-digit years: 00..29 are 2000..2029, 30..99 are 1930..1999.
int WindowedYear(int year) {
  return year < 30 ? 2000 + year : 1900 + year;
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

int DateTextReader::DigitValue(QChar c) const {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= mZeroDigit && u <= mZeroDigit + 9) return u - mZeroDigit;
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

bool DateTextReader::ReadTime(DateCursor& in, int& secondOfDay) const {
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
  // that ISO 8601 dates read the same everywhere.
  const auto isName = [&fields](std::size_t i) { return fields[i].digits == 0; };
  Order order = mOrder;
  bool iso = false;
  const bool numeric = !isName(0) && !isName(1) && !isName(2);
  if (numeric) {
    if (gaps[0].mark != gaps[1].mark) return std::nullopt;
    if (gaps[0].mark == QLatin1Char(',') && mDateSeparator != QLatin1Char(',')) return std::nullopt;
    iso = fields[0].digits == 4 && gaps[0].mark == QLatin1Char('-') && !gaps[0].blanks &&
          !gaps[1].blanks;
    if (iso) order = Order::YearMonthDay;
  } else if (isName(0) && !isName(1) && !isName(2)) {
    order = Order::MonthDayYear;
  } else if (isName(1) && !isName(0) && !isName(2)) {
    if (fields[0].digits == 4) {
      order = Order::YearMonthDay;
    } else if (fields[2].digits == 4 || mOrder != Order::YearMonthDay) {
      order = Order::DayMonthYear;
    } else {
      order = Order::YearMonthDay;
    }
  } else {
    return std::nullopt;
  }

  const auto [y, m, d] = [order]() -> std::array<std::size_t, 3> {
    switch (order) {
      case Order::MonthDayYear: return {2, 0, 1};
      case Order::DayMonthYear: return {2, 1, 0};
      case Order::YearMonthDay: return {0, 1, 2};
    }
    return {2, 0, 1};
  }();
  if (fields[y].digits != 2 && fields[y].digits != 4) return std::nullopt;
  if (fields[m].digits > 2 || fields[d].digits < 1 || fields[d].digits > 2) return std::nullopt;
  const int year = fields[y].digits == 2 ? WindowedYear(fields[y].value) : fields[y].value;
  const int month = fields[m].value;
  const int day = fields[d].value;
  if (!QDate::isValid(year, month, day)) return std::nullopt;
  const int weekday = QDate(year, month, day).dayOfWeek();
  if (weekdayBefore != 0 && weekdayBefore != weekday) return std::nullopt;

  // A dot may end a date that uses dots or ends with its day: "2025. 01. 06.", "2025. január 6.".
  if ((numeric && gaps[1].mark == QLatin1Char('.')) || d == 2) in.Take(QLatin1Char('.'));

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
    if (!ReadTime(in, secondOfDay) || !in.AtEnd()) return std::nullopt;
  }
  return Date::FromParts(year, month, day).AddSeconds(secondOfDay);
}

}  // namespace varnex::platform
