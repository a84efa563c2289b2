#include "app/document_file.h"

#include <QFile>
#include <QFileInfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnex::app {

QString DecodeUtf8Escaped(const QByteArray& bytes) {
  // Written straight into a buffer of the largest size the text can take (one unit a byte);
  // runs of ASCII, nearly all of a document, are widened without further checks.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  QString out(n, Qt::Uninitialized);
  auto* o = reinterpret_cast<char16_t*>(out.data());
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
  out.truncate(o - reinterpret_cast<const char16_t*>(out.constData()));
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
  return DecodeUtf8Escaped(file.readAll());
}

}  // namespace varnex::app
