#include "platform/escaping.h"

#include "platform/memory_advice.h"
#include "platform/text_scan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace varnex::platform {
namespace {

constexpr std::u16string_view kAmp = u"&amp;";
constexpr std::u16string_view kApos = u"&apos;";

struct Specials {
  qsizetype ampersands = 0;
  qsizetype apostrophes = 0;
};

Specials CountSpecials(const char16_t* in, qsizetype size) {
  Specials found;
  qsizetype i = 0;
#if defined(__SSE2__)
  // Each 16-bit lane counts its own matches and is added up before it could wrap.
  constexpr qsizetype kStepsPerRound = 0x7FFF;
  while (size - i >= detail::kVectorUnits) {
    const qsizetype steps = std::min((size - i) / detail::kVectorUnits, kStepsPerRound);
    const char16_t* const end = in + i + steps * detail::kVectorUnits;
    __m128i ampersands = _mm_setzero_si128();
    __m128i apostrophes = _mm_setzero_si128();
    for (const char16_t* at = in + i; at != end; at += detail::kVectorUnits) {
      const __m128i units = detail::LoadUnits(at);
      ampersands = _mm_sub_epi16(ampersands, _mm_cmpeq_epi16(units, _mm_set1_epi16(u'&')));
      apostrophes = _mm_sub_epi16(apostrophes, _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\'')));
    }
    alignas(16) std::array<std::uint16_t, 8> lanes{};
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.data()), ampersands);
    for (const std::uint16_t n : lanes) found.ampersands += n;
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.data()), apostrophes);
    for (const std::uint16_t n : lanes) found.apostrophes += n;
    i += steps * detail::kVectorUnits;
  }
#endif
  for (; i < size; ++i) {
    found.ampersands += in[i] == u'&';
    found.apostrophes += in[i] == u'\'';
  }
  return found;
}

// Writes the escaped text into a buffer of its final size: the plain runs between the special
// characters are copied whole.
QString Escape(QStringView text, const Specials& specials) {
  const char16_t* in = text.utf16();
  const qsizetype size = text.size();
  QString out(size + 4 * specials.ampersands + 5 * specials.apostrophes, Qt::Uninitialized);
  char16_t* o = reinterpret_cast<char16_t*>(out.data());
  AdviseLargeWrite(o, static_cast<std::size_t>(out.size()) * sizeof(char16_t));
  for (qsizetype i = 0; i < size;) {
    const qsizetype special = detail::FindEither(in, i, size, u'&', u'\'');
    o = std::copy(in + i, in + special, o);
    if (special == size) break;
    const std::u16string_view reference = in[special] == u'&' ? kAmp : kApos;
    o = std::copy(reference.begin(), reference.end(), o);
    i = special + 1;
  }
  Q_ASSERT(o == reinterpret_cast<const char16_t*>(out.constData()) + out.size());
  return out;
}

}  // namespace

QString EscapeDocument(QStringView text) {
  const Specials specials = CountSpecials(text.utf16(), text.size());
  if (specials.ampersands == 0 && specials.apostrophes == 0) return text.toString();
  return Escape(text, specials);
}

QString EscapeDocument(const QString& text) {
  const Specials specials = CountSpecials(QStringView(text).utf16(), text.size());
  if (specials.ampersands == 0 && specials.apostrophes == 0) return text;
  return Escape(text, specials);
}

QStringView StripBlanks(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == QLatin1Char(' ')) ++begin;
  while (end > begin && text[end - 1] == QLatin1Char(' ')) --end;
  return text.mid(begin, end - begin);
}

}  // namespace varnex::platform
