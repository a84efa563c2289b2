#pragma once

#include "platform/control_site.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace varnex::fuzz {

/// Stops the run with the property that does not hold, so the fuzzer keeps the input.
#define VARNEX_FUZZ_CHECK(condition)                                                     \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

/// A site that keeps what the control showed: the box texts, the message boxes, the legend.
class KeepingSite final : public platform::ControlSite {
 public:
  void SetBoxText(const QString& box, const QString& text) override {
    if (box == QStringLiteral("Box1")) box1 = text;
    if (box == QStringLiteral("Box2")) box2 = text;
  }
  void SetGridToolTip(const QString& text) override { toolTip = text; }
  void SetMarkerCaption(const QString&, const QString&) override {}
  void SetSwatchFill(const QString&, std::int32_t) override { ++swatchFills; }
  void ShowMessage(const QString&, const QString& text) override { messages << text; }

  QString box1;
  QString box2;
  QString toolTip;
  QStringList messages;
  int swatchFills = 0;
};

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
