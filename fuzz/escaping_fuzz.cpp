// The escaping of documents over any UTF-16 text, unpaired surrogates included.
#include "fuzz/fuzz_support.h"
#include "platform/escaping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnex;
  QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text[static_cast<qsizetype>(i / 2)] =
        QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const QString escaped = platform::EscapeDocument(text);
  // Every ampersand and apostrophe is escaped, nothing else changes, and the result gives the
  // text back.
  QString plain;
  VARNEX_FUZZ_CHECK(fuzz::Unescape(escaped, &plain));
  VARNEX_FUZZ_CHECK(plain == text);
  VARNEX_FUZZ_CHECK(escaped.size() == text.size() + 4 * text.count(QLatin1Char('&')) +
                                          5 * text.count(QLatin1Char('\'')));
  // Stripping blanks takes U+0020 from both ends only.
  const QStringView stripped = platform::StripBlanks(escaped);
  VARNEX_FUZZ_CHECK(stripped.isEmpty() ||
                    (stripped.front() != QLatin1Char(' ') && stripped.back() != QLatin1Char(' ')));
  VARNEX_FUZZ_CHECK(QStringView(escaped).contains(stripped));
  return 0;
}
