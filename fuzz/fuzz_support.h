#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace varnex::fuzz {

/// Stops the run with the property that does not hold, so the fuzzer keeps the input.
#define VARNEX_FUZZ_CHECK(condition)                                                               \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                                \
    }                                                                                              \
  } while (false)

/// The escaped text turned back: "&amp;" and "&apos;" to their characters; false when the text
/// holds an apostrophe or an ampersand that starts neither.
[[nodiscard]] inline bool Unescape(const QString& escaped, QString* plain) {
  plain->clear();
  for (qsizetype i = 0; i < escaped.size(); ++i) {
    const QChar c = escaped[i];
    if (c == QLatin1Char('\'')) return false;
    if (c != QLatin1Char('&')) {
      plain->append(c);
    } else if (QStringView(escaped).sliced(i).startsWith(u"&amp;")) {
      plain->append(QLatin1Char('&'));
      i += 4;
    } else if (QStringView(escaped).sliced(i).startsWith(u"&apos;")) {
      plain->append(QLatin1Char('\''));
      i += 5;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace varnex::fuzz
