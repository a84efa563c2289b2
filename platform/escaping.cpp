#include "platform/escaping.h"

namespace varnex::platform {

QString EscapeDocument(QStringView text) {
  qsizetype extra = 0;
  for (const QChar c : text) {
    if (c == QLatin1Char('&')) {
      extra += 4;
    } else if (c == QLatin1Char('\'')) {
      extra += 5;
    }
  }
  if (extra == 0) return text.toString();

  QString out;
  out.reserve(text.size() + extra);
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('&') && c != QLatin1Char('\'')) continue;
    out.append(text.mid(runStart, i - runStart));
    out.append(c == QLatin1Char('&') ? QLatin1String("&amp;") : QLatin1String("&apos;"));
    runStart = i + 1;
  }
  out.append(text.mid(runStart));
  return out;
}

QStringView StripBlanks(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == QLatin1Char(' ')) ++begin;
  while (end > begin && text[end - 1] == QLatin1Char(' ')) --end;
  return text.mid(begin, end - begin);
}

}  // namespace varnex::platform
