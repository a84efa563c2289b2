#include "grid/text_fit.h"

#include <QChar>

#include <algorithm>
#include <optional>
#include <utility>

namespace varnex::grid::detail {

namespace {

// A first cut holds one unit for every three pixels of the line and a few more, which the
// visible characters of a usable font fill: text averages 6 to 7 pixels a character, its
// narrowest (a space, an "i") 3 to 4, at the grid's sizes.
// Only a cut whose part that decides the result does not fill the line grows, eight times at a
// step, so a text of zero-width characters costs at most a few times its whole.
constexpr qsizetype kFirstSlack = 16;
constexpr qsizetype kGrowth = 8;
// Units kept beyond the part that decides the result, so that the glyphs there are shaped with
// the neighbours they have in the whole text (kerning, ligatures, joining scripts).
constexpr qsizetype kContext = 32;

qsizetype firstProbe(int room) {
  return qsizetype(std::max(room, 0)) / 3 + kFirstSlack;
}

// The first `length` units of text, one less where that would split a surrogate pair.
QStringView head(QStringView text, qsizetype length) {
  if (length >= text.size())
    return text;
  if (length > 0 && text[length - 1].isHighSurrogate() && text[length].isLowSurrogate())
    --length;
  return text.first(length);
}

// The last `length` units of text, one less where that would split a surrogate pair.
QStringView tail(QStringView text, qsizetype length) {
  if (length >= text.size())
    return text;
  if (length <= 0)
    return text.sliced(text.size());
  qsizetype start = text.size() - length;
  if (text[start].isLowSurrogate() && text[start - 1].isHighSurrogate())
    ++start;
  return text.sliced(start);
}

int advance(const QFontMetrics& fm, QStringView text) {
  return fm.horizontalAdvance(text.toString());
}

// Whether text lays out left to right on its own, whatever follows it: a character that is
// strongly left to right, and none that is right to left or that opens, closes or isolates an
// embedding.
bool readsLeftToRight(QStringView text) {
  bool strong = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    switch (QChar::direction(c)) {
      case QChar::DirL:
        strong = true;
        break;
      case QChar::DirR:
      case QChar::DirAL:
      case QChar::DirAN:
      case QChar::DirLRE:
      case QChar::DirLRO:
      case QChar::DirRLE:
      case QChar::DirRLO:
      case QChar::DirPDF:
      case QChar::DirLRI:
      case QChar::DirRLI:
      case QChar::DirFSI:
      case QChar::DirPDI:
        return false;
      default:
        break;
    }
  }
  return strong;
}

}  // namespace

QString cutForElision(QStringView text, Qt::TextElideMode mode, qsizetype length) {
  if (text.size() <= length)
    return text.toString();
  switch (mode) {
    case Qt::ElideLeft:
      return tail(text, length).toString();
    case Qt::ElideMiddle: {
      const qsizetype last = length / 2;
      QString cut;
      const QStringView start = head(text, length - last);
      const QStringView end = tail(text, last);
      cut.reserve(start.size() + end.size());
      cut.append(start);
      cut.append(end);
      return cut;
    }
    default:
      return head(text, length).toString();
  }
}

namespace {

// The elision of a text too long for the line, made from a cut of it; none for a text that is
// short, or whose kept part does not fill the line even with all of it that a cut would take.
//
// A cut keeps `probe` units at each end that the elision keeps, and kContext more. When its
// elision is at most `probe` units long, the elision stopped inside those units at each end: the
// characters it took there fill the line, and they and their widths are the whole text's, so the
// whole text's elision stops at the same places and gives the same text. (An end or start
// elision takes characters from one end until they fill the line; a middle one takes them from
// both ends by turns, so that each end holds less than the whole result.) A longer elision, or
// the cut itself when it fits, says the cut was too short.
std::optional<QString> elidedCut(const QFontMetrics& fm, QStringView text, Qt::TextElideMode mode,
                                 int room) {
  const qsizetype ends = mode == Qt::ElideMiddle ? 2 : 1;
  // ElideNone shows the whole text, which no cut can stand for.
  for (qsizetype probe = firstProbe(room);
       mode != Qt::ElideNone && ends * (probe + kContext) < text.size(); probe *= kGrowth) {
    QString elided =
        fm.elidedText(cutForElision(text, mode, ends * (probe + kContext)), mode, room);
    if (elided.size() <= probe)
      return elided;
  }
  return std::nullopt;
}

}  // namespace

FittedText fitText(const QFontMetrics& fm, QStringView text, Qt::TextElideMode mode, int room) {
  FittedText shown;
  if (std::optional<QString> cut = elidedCut(fm, text, mode, room)) {
    shown.text = *std::move(cut);
    shown.width = fm.horizontalAdvance(shown.text);
    return shown;
  }
  shown.text = text.toString();
  shown.width = fm.horizontalAdvance(shown.text);
  if (shown.width > room) {
    shown.text = fm.elidedText(shown.text, mode, room);
    shown.width = fm.horizontalAdvance(shown.text);
  }
  return shown;
}

QString elidedText(const QFontMetrics& fm, QStringView text, Qt::TextElideMode mode, int room) {
  if (std::optional<QString> cut = elidedCut(fm, text, mode, room))
    return *std::move(cut);
  return fm.elidedText(text.toString(), mode, room);
}

int advanceUpTo(const QFontMetrics& fm, QStringView text, int limit) {
  for (qsizetype probe = firstProbe(limit); probe + kContext < text.size(); probe *= kGrowth) {
    const int width = advance(fm, head(text, probe));
    if (width > limit)
      return width;
  }
  return advance(fm, text);
}

FittedText leadingText(const QFontMetrics& fm, QStringView text, int room,
                       bool rightToLeftParagraph) {
  for (qsizetype probe = firstProbe(room); !rightToLeftParagraph && probe + kContext < text.size();
       probe *= kGrowth) {
    const QStringView cut = head(text, probe + kContext);
    if (!readsLeftToRight(cut))
      break;
    if (advance(fm, head(text, probe)) <= room)
      continue;
    FittedText shown{cut.toString()};
    shown.width = fm.horizontalAdvance(shown.text);
    return shown;
  }
  FittedText shown{text.toString()};
  shown.width = fm.horizontalAdvance(shown.text);
  return shown;
}

}  // namespace varnex::grid::detail
