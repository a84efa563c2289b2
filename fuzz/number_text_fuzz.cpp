// Text to a 32-bit integer: a value or the runtime's failure, never anything else.
#include "fuzz/fuzz_support.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/variant.h"

#include <QRegularExpression>

#include <cstdint>
#include <optional>

namespace {

using namespace varnex;

// The value of a plain decimal integer ("[+-]digits" between blanks), saturated far outside the
// 32-bit range; nullopt for any other text.
std::optional<std::int64_t> PlainInteger(const QString& text) {
  static const QRegularExpression kPlain(
      QRegularExpression::anchoredPattern(QStringLiteral("[ \\t]*([+-]?)([0-9]+)[ \\t]*")));
  const QRegularExpressionMatch m = kPlain.match(text);
  if (!m.hasMatch()) return std::nullopt;
  std::int64_t value = 0;
  for (const QChar digit : m.capturedView(2)) {
    value = std::min<std::int64_t>(value * 10 + (digit.unicode() - '0'), std::int64_t{1} << 40);
  }
  return m.capturedView(1) == u"-" ? -value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::optional<std::int32_t> value;
  try {
    value = platform::ParseInteger(text);
  } catch (const platform::AutomationError& e) {
    VARNEX_FUZZ_CHECK(e.Number() == platform::errors::kTypeMismatch ||
                      e.Number() == platform::errors::kOverflow);
  }
  // A plain decimal integer reads as itself inside the range and overflows outside it.
  if (const auto plainValue = PlainInteger(text)) {
    const bool inRange = *plainValue >= INT32_MIN && *plainValue <= INT32_MAX;
    VARNEX_FUZZ_CHECK(value.has_value() == inRange);
    if (value) VARNEX_FUZZ_CHECK(*value == *plainValue);
  }
  // Whatever reads as a number gives the same number back from its decimal text.
  if (value) {
    VARNEX_FUZZ_CHECK(platform::ParseInteger(QString::number(*value)) == *value);
    try {
      const std::int16_t narrow = platform::ToI2(platform::Variant::Bstr(text));
      VARNEX_FUZZ_CHECK(narrow == *value);
    } catch (const platform::AutomationError& e) {
      VARNEX_FUZZ_CHECK(e.Number() == platform::errors::kOverflow);
      VARNEX_FUZZ_CHECK(*value < INT16_MIN || *value > INT16_MAX);
    }
  }
  return 0;
}
