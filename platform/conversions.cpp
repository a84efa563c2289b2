#include "platform/conversions.h"

#include "platform/automation_error.h"
#include "platform/date_text.h"

#include <QDateTime>
#include <QLocale>

#include <limits>
#include <optional>

namespace varnex::platform {
namespace {

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView Trimmed(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

template <typename Int>
Int Narrow(std::int64_t value) {
  if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
    ThrowOverflow();
  }
  return static_cast<Int>(value);
}

// A whole number from a variant, before narrowing. Dates convert through their day serial,
// rounded half to even on the time of day, as the runtime does.
std::int64_t WholeNumber(const Variant& value) {
  switch (value.Type()) {
    case VarType::Empty: return 0;
    case VarType::Null: ThrowInvalidUseOfNull();
    case VarType::I2: return value.AsI2();
    case VarType::I4: return value.AsI4();
    case VarType::Bool: return value.AsBool() ? -1 : 0;
    case VarType::Bstr: return ParseInteger(value.AsBstr());
    case VarType::Date: {
      const Date date = value.AsDate();
      const std::int64_t days = date.DaySerial();
      const std::int32_t second = date.SecondOfDay();
      if (second > kSecondsPerDay / 2 || (second == kSecondsPerDay / 2 && (days % 2) != 0)) {
        return days + 1;
      }
      return days;
    }
    case VarType::Font: ThrowTypeMismatch();
  }
  ThrowTypeMismatch();
}

}  // namespace

std::int32_t ParseInteger(QStringView text) {
  const QStringView t = Trimmed(text);
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
    negative = t[i] == QLatin1Char('-');
    ++i;
  }
  // Accumulate the whole part, saturating well past the 32-bit range.
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  std::int64_t whole = 0;
  qsizetype digits = 0;
  for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i, ++digits) {
    if (whole < kCap) whole = whole * 10 + (t[i].unicode() - '0');
  }
  // Fraction: first digit decides, the rest only break ties.
  int firstFraction = -1;
  bool restNonZero = false;
  if (i < t.size() && t[i] == QLatin1Char('.')) {
    ++i;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i, ++digits) {
      const int digit = t[i].unicode() - '0';
      if (firstFraction < 0) {
        firstFraction = digit;
      } else if (digit != 0) {
        restNonZero = true;
      }
    }
  }
  if (digits == 0 || i != t.size()) ThrowTypeMismatch();
  if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 != 0))) ++whole;
  return Narrow<std::int32_t>(negative ? -whole : whole);
}

Date ParseDate(QStringView text) {
  // Built once per thread, and again only when the regional settings change.
  thread_local std::optional<DateTextReader> reader;
  if (!reader || !reader->IsCurrentSystem()) reader.emplace(DateTextReader::ForSystem());
  if (const auto date = reader->Read(text)) return *date;
  ThrowTypeMismatch();
}

Date ParseDate(QStringView text, const QLocale& locale) {
  if (const auto date = DateTextReader(locale).Read(text)) return *date;
  ThrowTypeMismatch();
}

std::int16_t ToI2(const Variant& value) {
  return Narrow<std::int16_t>(WholeNumber(value));
}

std::int32_t ToI4(const Variant& value) {
  return Narrow<std::int32_t>(WholeNumber(value));
}

QString ToBstr(const Variant& value) {
  switch (value.Type()) {
    case VarType::Empty: return QString();
    case VarType::Null: ThrowInvalidUseOfNull();
    case VarType::I2: return QString::number(value.AsI2());
    case VarType::I4: return QString::number(value.AsI4());
    case VarType::Bool: return value.AsBool() ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Bstr: return value.AsBstr();
    case VarType::Date: {
      const QDateTime dt = value.AsDate().ToQDateTime();
      const QLocale locale = QLocale::system();
      QString text = locale.toString(dt.date(), QLocale::ShortFormat);
      if (value.AsDate().SecondOfDay() != 0) {
        text += QLatin1Char(' ') + locale.toString(dt.time(), QLocale::LongFormat);
      }
      return text;
    }
    case VarType::Font: ThrowTypeMismatch();
  }
  ThrowTypeMismatch();
}

Date ToDate(const Variant& value) {
  switch (value.Type()) {
    case VarType::Empty: return Date{};
    case VarType::Null: ThrowInvalidUseOfNull();
    case VarType::Date: return value.AsDate();
    case VarType::Bstr: return ParseDate(value.AsBstr());
    case VarType::I2:
    case VarType::I4: return Date{WholeNumber(value) * kSecondsPerDay};
    case VarType::Bool: return Date{(value.AsBool() ? -1 : 0) * kSecondsPerDay};
    case VarType::Font: ThrowTypeMismatch();
  }
  ThrowTypeMismatch();
}

std::int16_t AddI2(std::int16_t a, std::int16_t b) {
  return Narrow<std::int16_t>(std::int64_t{a} + std::int64_t{b});
}

QString QuoteText(QStringView text) {
  constexpr qsizetype kShown = 60;
  if (text.size() <= kShown) {
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('"');
    quoted += text;
    quoted += QLatin1Char('"');
    return quoted;
  }
  qsizetype cut = kShown;
  if (text[cut - 1].isHighSurrogate()) --cut;
  return QStringLiteral("\"%1…\" (%2 characters)").arg(text.left(cut)).arg(text.size());
}

QString DescribeValue(const Variant& value) {
  switch (value.Type()) {
    case VarType::Empty: return QStringLiteral("empty");
    case VarType::Null: return QStringLiteral("null");
    case VarType::I2: return QString::number(value.AsI2());
    case VarType::I4: return QString::number(value.AsI4());
    case VarType::Bool: return value.AsBool() ? QStringLiteral("true") : QStringLiteral("false");
    case VarType::Bstr: return QuoteText(value.AsBstr());
    case VarType::Date: return value.AsDate().ToIsoText();
    case VarType::Font: return QStringLiteral("a font");
  }
  return {};
}

}  // namespace varnex::platform
