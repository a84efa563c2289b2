// The document reader beside expat, its referee: each input, as it comes and as the members
// escape it, must get the same verdict and the same rows (element and attribute names, values,
// and the other nodes among the rows) from both, through either entry point of the reader.
// Bytes are read as UTF-8; after the bytes FF FE (no UTF-8 text starts so) as UTF-16LE units,
// so that any unit at all can reach the reader.
#include "fuzz/fuzz_support.h"
#include "platform/escaping.h"
#include "platform/xml_document.h"
#include "tests/support/expat_reference.h"

#include <cstdio>
#include <cstring>

namespace {

using namespace varnex;

QString DecodeBytes(const std::uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    QString text((static_cast<qsizetype>(size) - 2) / 2, Qt::Uninitialized);
    std::memcpy(text.data(), data + 2, static_cast<std::size_t>(text.size()) * 2);
    return text;
  }
  return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void Compare(const QString& source) {
  const QStringView text = platform::StripBlanks(source);
  const auto shared = platform::XmlDocument::Parse(source, text);
  const test::DocumentOutline ours = test::Outline(*shared);
  const test::DocumentOutline expat = test::ReadWithExpat(text);
  if (!(ours == expat)) {
    std::fprintf(stderr, "The readers differ.\nours:  %s\nexpat: %s\n",
                 test::Describe(ours).c_str(), test::Describe(expat).c_str());
  }
  VARNEX_FUZZ_CHECK(ours == expat);
  VARNEX_FUZZ_CHECK(test::Outline(*platform::XmlDocument::Parse(text)) == ours);
  // A document that does not parse says where, and nothing else is kept of it.
  if (shared->HasParseError()) {
    VARNEX_FUZZ_CHECK(shared->ParseErrorLine() >= 1 && shared->ParseErrorColumn() >= 1);
    VARNEX_FUZZ_CHECK(shared->RowCount() == 0 && shared->ParseErrorReason().endsWith(u'.'));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text = DecodeBytes(data, size);
  Compare(text);
  Compare(platform::EscapeDocument(text));
  return 0;
}
