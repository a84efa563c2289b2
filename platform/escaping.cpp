#include "platform/escaping.h"

#include "platform/memory_advice.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace varnex::platform {
namespace {

constexpr std::u16string_view kAmp = u"&amp;";
constexpr std::u16string_view kApos = u"&apos;";

}  // namespace

QString EscapeDocument(QStringView text) {
  const char16_t* in = text.utf16();
  const qsizetype size = text.size();
  std::uint32_t ampersands = 0;
  std::uint32_t apostrophes = 0;
  for (qsizetype i = 0; i < size; ++i) {
    ampersands += in[i] == u'&';
    apostrophes += in[i] == u'\'';
  }
  if (ampersands == 0 && apostrophes == 0) return text.toString();

  // Written straight into a buffer of the final size; plain blocks are copied whole.
  constexpr qsizetype kBlock = 16;
  QString out(size + qsizetype{4} * ampersands + qsizetype{5} * apostrophes, Qt::Uninitialized);
  char16_t* o = reinterpret_cast<char16_t*>(out.data());
  AdviseLargeWrite(o, static_cast<std::size_t>(out.size()) * sizeof(char16_t));
  for (qsizetype i = 0; i < size;) {
    if (size - i >= kBlock) {
      bool special = false;
      for (qsizetype k = i; k < i + kBlock; ++k) special |= (in[k] == u'&') | (in[k] == u'\'');
      if (!special) {
        o = std::copy_n(in + i, kBlock, o);
        i += kBlock;
        continue;
      }
    }
    const char16_t c = in[i++];
    if (c == u'&') {
      o = std::copy(kAmp.begin(), kAmp.end(), o);
    } else if (c == u'\'') {
      o = std::copy(kApos.begin(), kApos.end(), o);
    } else {
      *o++ = c;
    }
  }
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
