#pragma once

#include <QtGlobal>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Scans over UTF-16 text that the document intake runs on every unit of a document. Each has a
// vector path that takes eight units a step and a plain loop for the rest of the text.
namespace varnex::platform::detail {

#if defined(__SSE2__)
inline constexpr qsizetype kVectorUnits = 8;

inline __m128i LoadUnits(const char16_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// A bit mask, two bits per unit, of the units equal to `a` or `b`.
inline int MatchMask(__m128i units, char16_t a, char16_t b) {
  const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(a))),
                                   _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(b))));
  return _mm_movemask_epi8(hit);
}

// A bit mask, two bits per unit, of the units for which (unit & mask) == value.
inline int MaskedMatchMask(__m128i units, char16_t mask, char16_t value) {
  const __m128i masked = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(mask)));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(masked, _mm_set1_epi16(static_cast<short>(value))));
}
#endif

/// The position of the first unit from `from` on that is `a` or `b`; `size` when there is none.
inline qsizetype FindEither(const char16_t* text, qsizetype from, qsizetype size, char16_t a,
                            char16_t b) {
  qsizetype i = from;
#if defined(__SSE2__)
  for (; size - i >= kVectorUnits; i += kVectorUnits) {
    if (const int mask = MatchMask(LoadUnits(text + i), a, b); mask != 0) {
      return i + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
    }
  }
#endif
  for (; i < size; ++i) {
    if (text[i] == a || text[i] == b) return i;
  }
  return size;
}

/// The position of the first unit from `from` on that ends a run of plain attribute-value
/// text: the closing `quote`, "<", "&", or a unit below U+0020 (in a document that is text, a
/// tab or a line end, which a value reads as a blank); `size` when there is none.
inline qsizetype FindValueStop(const char16_t* text, qsizetype from, qsizetype size,
                               char16_t quote) {
  qsizetype i = from;
#if defined(__SSE2__)
  for (; size - i >= kVectorUnits; i += kVectorUnits) {
    const __m128i units = LoadUnits(text + i);
    if (const int mask = MatchMask(units, quote, u'<') | MatchMask(units, u'&', u'&') |
                         MaskedMatchMask(units, 0xFFE0, 0);
        mask != 0) {
      return i + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
    }
  }
#endif
  for (; i < size; ++i) {
    const char16_t u = text[i];
    if (u == quote || u == u'<' || u == u'&' || u < 0x20) return i;
  }
  return size;
}

/// The position of the first unit from `from` on that is "<", "&" or "]" (which may start the
/// "]]>" that character data must not hold); `size` when there is none.
inline qsizetype FindDataStop(const char16_t* text, qsizetype from, qsizetype size) {
  qsizetype i = from;
#if defined(__SSE2__)
  for (; size - i >= kVectorUnits; i += kVectorUnits) {
    const __m128i units = LoadUnits(text + i);
    if (const int mask = MatchMask(units, u'<', u'&') | MatchMask(units, u']', u']'); mask != 0) {
      return i + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
    }
  }
#endif
  for (; i < size; ++i) {
    const char16_t u = text[i];
    if (u == u'<' || u == u'&' || u == u']') return i;
  }
  return size;
}

/// The position of the first unit that is no character of an XML document: a control
/// character other than tab, line feed and carriage return, U+FFFE, U+FFFF or a surrogate
/// without its partner; `size` when there is none. Ordinary text is passed eight units a step.
inline qsizetype FindNonCharacter(const char16_t* text, qsizetype size) {
  const auto bad = [&](qsizetype i) {
    const char16_t u = text[i];
    if (u < 0x20) return u != u'\t' && u != u'\n' && u != u'\r';
    if (u >= 0xFFFE) return true;
    if ((u & 0xF800) != 0xD800) return false;
    if (u < 0xDC00 && i + 1 < size && (text[i + 1] & 0xFC00) == 0xDC00) return false;
    return u >= 0xDC00 ? !(i > 0 && (text[i - 1] & 0xFC00) == 0xD800) : true;
  };
  qsizetype i = 0;
#if defined(__SSE2__)
  for (; size - i >= kVectorUnits; i += kVectorUnits) {
    const __m128i units = LoadUnits(text + i);
    const int suspect = MaskedMatchMask(units, 0xFFE0, 0) | MaskedMatchMask(units, 0xF800, 0xD800) |
                        MaskedMatchMask(units, 0xFFFE, 0xFFFE);
    if (suspect == 0) continue;
    // Tab, line feed and carriage return are common; only other units are looked at.
    const int blanks = MatchMask(units, u'\n', u'\r') | MatchMask(units, u'\t', u'\t');
    if ((suspect & ~blanks) == 0) continue;
    for (qsizetype k = i; k < i + kVectorUnits; ++k) {
      if (bad(k)) return k;
    }
  }
#endif
  for (; i < size; ++i) {
    if (bad(i)) return i;
  }
  return size;
}

}  // namespace varnex::platform::detail
