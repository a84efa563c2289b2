// Text to a date: a date or the runtime's failure, never anything else.
#include "fuzz/fuzz_support.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/date_time.h"

#include <QDate>
#include <QDateTime>

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnex;
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::optional<platform::Date> date;
  try {
    date = platform::ParseDate(text);
  } catch (const platform::AutomationError& e) {
    VARNEX_FUZZ_CHECK(e.Number() == platform::errors::kTypeMismatch ||
                      e.Number() == platform::errors::kOverflow);
  }
  // Any date that was read gives the same date back from its ISO text.
  if (date) {
    const int year = date->ToQDateTime().date().year();
    if (year >= 1 && year <= 9999) {
      VARNEX_FUZZ_CHECK(platform::ParseDate(date->ToIsoText()) == *date);
    }
  }
  return 0;
}
