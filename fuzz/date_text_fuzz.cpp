// Text to a date: a date or the runtime's failure, never anything else, through the system
// locale's entry point and under the locales whose orders, names and separators differ most
// (one chosen by the input's length, so that the text stays whole), among them C library ones.
#include "fuzz/fuzz_support.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/date_text.h"
#include "platform/date_time.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <array>
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
  // The C library's th_TH (Buddhist-era years, where installed) and a locale it does not have,
  // whose order is then unknown.
  static const std::array<platform::DateTextReader, 7> readers = {
      platform::DateTextReader(QLocale(QStringLiteral("en_US"))),
      platform::DateTextReader(QLocale(QStringLiteral("de_DE"))),
      platform::DateTextReader(QLocale(QStringLiteral("en_GB"))),
      platform::DateTextReader(QLocale(QStringLiteral("sv_SE"))),
      platform::DateTextReader(QLocale(QStringLiteral("ja_JP"))),
      platform::DateTextReader::ForCLocale("th_TH.UTF-8"),
      platform::DateTextReader::ForCLocale("de_XX.UTF-8")};
  const platform::DateTextReader& reader = readers[size % readers.size()];
  // Any date that was read gives the same date back from its ISO text, under any locale.
  for (const std::optional<platform::Date>& read : {date, reader.Read(text)}) {
    if (!read) continue;
    const int year = read->ToQDateTime().date().year();
    if (year >= 1 && year <= 9999) {
      VARNEX_FUZZ_CHECK(platform::ParseDate(read->ToIsoText()) == *read);
      VARNEX_FUZZ_CHECK(reader.Read(read->ToIsoText()) == *read);
    }
  }
  return 0;
}
