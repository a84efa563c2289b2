#pragma once

#include "platform/variant.h"

#include <QStringView>

#include <cstdint>

class QLocale;

namespace varnex::platform {

// Conversions between automation values, failing as the automation runtime does:
// 13 "Type mismatch" for a value of the wrong kind, 6 "Overflow" for a number out of range,
// 94 "Invalid use of Null" for a null value.

/// To a 16-bit integer. Empty gives 0; text is read as by ParseInteger.
[[nodiscard]] std::int16_t ToI2(const Variant& value);
/// To a 32-bit integer. Empty gives 0; text is read as by ParseInteger.
[[nodiscard]] std::int32_t ToI4(const Variant& value);
/// To text. Empty gives ""; numbers give their decimal text, booleans "True"/"False", dates
/// their text in the machine's regional short format.
[[nodiscard]] QString ToBstr(const Variant& value);
/// To a date. Empty gives the zero date; text is read as by ParseDate.
[[nodiscard]] Date ToDate(const Variant& value);

/// The one conversion of text to a 32-bit integer: blanks around the number, an optional
/// sign, decimal digits and an optional decimal fraction, which is rounded half to even.
/// Anything else fails with 13 "Type mismatch"; a value outside the 32-bit range with
/// 6 "Overflow".
[[nodiscard]] std::int32_t ParseInteger(QStringView text);

/// Text to a date as written under the machine's regional settings: in the order of the C
/// library's LC_TIME locale, which follows LC_ALL, LC_TIME and LANG (see
/// DateTextReader::ForSystem); otherwise as ParseDate(QStringView, const QLocale&).
[[nodiscard]] Date ParseDate(QStringView text);

/// Text to a date as written under `locale`: the forms DateTextReader reads, among them ISO 8601
/// under every locale. Anything else, and an impossible date or time, fails with
/// 13 "Type mismatch".
[[nodiscard]] Date ParseDate(QStringView text, const QLocale& locale);

/// A value as a message's detail shows it: numbers in decimal, text in quotes (a long text cut
/// with its length), "null", "empty", a date in ISO 8601. Never fails.
[[nodiscard]] QString DescribeValue(const Variant& value);
/// Text as a message's detail quotes it: in double quotes, cut after 60 characters with the
/// whole length given.
[[nodiscard]] QString QuoteText(QStringView text);

/// Overflow-checked 16-bit sum: fails with 6 "Overflow" past either end of the range.
[[nodiscard]] std::int16_t AddI2(std::int16_t a, std::int16_t b);

}  // namespace varnex::platform
