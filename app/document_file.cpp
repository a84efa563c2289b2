#include "app/document_file.h"

#include "platform/memory_advice.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnex::app {

namespace {

// Decodes the `n` bytes at `p` into `o`, at most one unit a byte, and gives the end of what it
// wrote. `used` gets how many bytes it took: all of them when `last`, else all but a sequence
// cut off at the end, which waits for the bytes that follow.
char16_t* DecodeInto(const unsigned char* p, qsizetype n, char16_t* o, bool last, qsizetype* used) {
  qsizetype end = n;
  if (!last) {
    // A lead byte among the last three whose sequence does not end in the input.
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
      const unsigned char b = p[n - back];
      if ((b & 0xC0) == 0x80) continue;
      const qsizetype length = (b & 0xE0) == 0xC0   ? 2
                               : (b & 0xF0) == 0xE0 ? 3
                               : (b & 0xF8) == 0xF0 ? 4
                                                    : 1;
      if (length > back) end = n - back;
      break;
    }
  }
  *used = end;
  n = end;
  qsizetype i = 0;
  while (i < n) {
#if defined(__SSE2__)
    // Sixteen bytes of ASCII at a time.
    if (n - i >= 16) {
      const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      if (_mm_movemask_epi8(bytes16) == 0) {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes16, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes16, zero));
        i += 16;
        o += 16;
        continue;
      }
    }
#endif
    const unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
      continue;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
      length = 2;
      cp = b & 0x1F;
      min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3;
      cp = b & 0x0F;
      min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4;
      cp = b & 0x07;
      min = 0x10000;
    }
    bool valid = length > 0 && i + length <= n;
    for (int k = 1; valid && k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80)
        valid = false;
      else
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    valid = valid && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!valid) {
      *o++ = static_cast<char16_t>(0xDC00 + b);
      ++i;
      continue;
    }
    // A sequence of two to four bytes gives one or two units: never more units than bytes.
    if (cp >= 0x10000) {
      *o++ = QChar::highSurrogate(cp);
      *o++ = QChar::lowSurrogate(cp);
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    i += length;
  }
  return o;
}

}  // namespace

QString DecodeUtf8Escaped(const QByteArray& bytes) {
  // Written straight into a buffer of the largest size the text can take (one unit a byte);
  // runs of ASCII, nearly all of a document, are widened without further checks.
  QString out(bytes.size(), Qt::Uninitialized);
  auto* o = reinterpret_cast<char16_t*>(out.data());
  platform::AdviseLargeWrite(o, static_cast<std::size_t>(bytes.size()) * sizeof(char16_t));
  qsizetype used = 0;
  const char16_t* end = DecodeInto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                   bytes.size(), o, true, &used);
  out.truncate(end - o);
  return out;
}

std::optional<QString> ReadDocumentFile(const QString& path, QString* error) {
  QFile file(path);
  if (!QFileInfo(path).isFile()) {
    if (error) *error = QStringLiteral("%1: no such file").arg(path);
    return std::nullopt;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
    return std::nullopt;
  }
  // The bytes go through a small buffer, a piece at a time, straight into the text, which
  // takes room for as many units as the file has bytes (more if it grows meanwhile).
  constexpr qsizetype kPiece = qsizetype{1} << 20;
  constexpr qsizetype kCut = 3;  // the most bytes of a sequence that a piece can cut off
  QByteArray piece(kPiece + kCut, Qt::Uninitialized);
  QString text(std::max<qint64>(file.size(), 0), Qt::Uninitialized);
  platform::AdviseLargeWrite(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
  qsizetype units = 0;
  qsizetype kept = 0;
  for (;;) {
    const qint64 got = file.read(piece.data() + kept, kPiece);
    if (got < 0) {
      if (error) *error = QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
      return std::nullopt;
    }
    const qsizetype have = kept + got;
    if (text.size() < units + have) text.resize(units + have);
    auto* start = reinterpret_cast<char16_t*>(text.data());
    qsizetype used = 0;
    const bool last = got == 0;
    units = DecodeInto(reinterpret_cast<const unsigned char*>(piece.constData()), have,
                       start + units, last, &used) -
            start;
    kept = have - used;
    std::memmove(piece.data(), piece.constData() + used, static_cast<std::size_t>(kept));
    if (last) break;
  }
  text.truncate(units);
  return text;
}

}  // namespace varnex::app
