#pragma once

// Fitting texts into the pixels that show them without laying out more than those pixels can
// hold. A value may be megabytes long (an item description that a host sends as it is), but a
// cell, a caption, the title or a tooltip shows one line of it: every function here lays out a
// bounded part of such a text, and gives what the whole text would give wherever that part
// decides the result.

#include <QFontMetrics>
#include <QString>
#include <QStringView>

namespace varnex::grid::detail {

/// A text as a line of some width shows it, and its advance in pixels.
struct FittedText {
  QString text;
  int width = 0;
};

/// The part of `text` that an elision in `mode` keeps from a text cut to `length` UTF-16 units:
/// its first `length` units (Qt::ElideRight, Qt::ElideNone), its last (Qt::ElideLeft), or the
/// first and the last half of them joined (Qt::ElideMiddle). A cut never splits a surrogate pair,
/// so it may hold one unit less. A text of at most `length` units comes back whole.
[[nodiscard]] QString cutForElision(QStringView text, Qt::TextElideMode mode, qsizetype length);

/// `text` in one line of `room` pixels, as a cell shows it: whole with its advance when that is
/// at most `room`, else `fm.elidedText(text, mode, room)` with its advance. A text longer than
/// the line could show is cut first (cutForElision()) to a few units for every pixel at each end
/// that the elision keeps; when the elision of that cut stops inside it, it is the whole text's.
/// Only a text whose kept end is too narrow to fill the line, such as a long run of zero-width
/// characters, is laid out further, up to the whole of it.
///
/// Two things of a cut-off part are not seen: the bidirectional control codes that Qt keeps from
/// what an end or start elision drops (they stand beside the ellipsis and can move it), and
/// U+009C length variants, which Qt elides variant by variant. A huge text with either beyond the
/// cut shows elided without them.
[[nodiscard]] FittedText fitText(const QFontMetrics& fm, QStringView text, Qt::TextElideMode mode,
                                 int room);

/// `fm.elidedText(text, mode, room)`, cutting a huge text first as fitText() does.
[[nodiscard]] QString elidedText(const QFontMetrics& fm, QStringView text, Qt::TextElideMode mode,
                                 int room);

/// `fm.horizontalAdvance(text)` when that is at most `limit`; otherwise a width above `limit`
/// (the advance of a start of the text), which is all that a caller comparing with `limit`
/// needs.
[[nodiscard]] int advanceUpTo(const QFontMetrics& fm, QStringView text, int limit);

/// `text` drawn unelided from its start, as far as `room` pixels show it: the whole text and its
/// advance, or a start of it wider than `room` and the advance of that start. The start is taken
/// only where it reads left to right without a right-to-left character in it, so that the same
/// glyphs fall in those pixels; `rightToLeftParagraph` (a painter laying out right to left) takes
/// the whole text always.
[[nodiscard]] FittedText leadingText(const QFontMetrics& fm, QStringView text, int room,
                                     bool rightToLeftParagraph);

}  // namespace varnex::grid::detail
