// Any attribute values, put into a well-formed work-order document, reach the grid unchanged:
// the fuzzer picks the thirteen values of one order and knows what the grid must show.
#include "fuzz/fuzz_host.h"
#include "orders/order_codes.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/variant.h"
#include "tools/document_generator.h"

#include <QStringList>

#include <array>
#include <optional>

namespace {

using namespace varnex;

constexpr std::array<const char16_t*, 13> kAttributes = {
    u"docuemntno", u"item_code",  u"item_variant", u"itemdesc",  u"order_quantity",
    u"chk_sc_wo",  u"custnameml", u"allflag",      u"allmethod", u"alt_resource",
    u"daysfrom",   u"daysto",     u"Status"};

// Text that an attribute value delimited by double quotes can hold: no quote, no "<", and only
// characters that XML allows.
QString Storable(QStringView text) {
  QString out;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool allowed =
        u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u != 0xFFFE && u != 0xFFFF);
    if (allowed && u != u'"' && u != u'<') out += c;
  }
  return out;
}

// What the parser hands on for a value: line ends unified, then tabs and line ends as blanks.
QString Normalised(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text.replace(QLatin1Char('\t'), QLatin1Char(' '));
  return text;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Given: thirteen values from the input, separated by U+001F.
  const QString input =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QStringList values = input.split(QChar(0x1F));
  while (values.size() < 13) values << QString();
  QString row = QStringLiteral("<wo");
  QStringList expected;
  for (int i = 0; i < 13; ++i) {
    const QString value = Storable(values[i]);
    row += QLatin1Char(' ') + QString::fromUtf16(kAttributes[i]) + QStringLiteral("=\"") + value +
           QLatin1Char('"');
    expected << Normalised(value);
  }
  const QString document = QStringLiteral("<workorders>") + row + QStringLiteral("/></workorders>");

  fuzz::Host host;
  auto& model = host.model;
  auto& site = host.site;
  auto& control = host.control;
  static const QString header = tools::GenerateHeader(tools::GeneratorOptions{});
  platform::Variant hdrxml = platform::Variant::Bstr(header);
  control.TimeSet(hdrxml);

  // When: the document is loaded.
  platform::Variant wohxml = platform::Variant::Bstr(document);
  control.PopulateWorkOrder(wohxml);

  // The bar follows the two times when both are numbers.
  std::optional<std::int32_t> from;
  std::optional<std::int32_t> to;
  try {
    from = platform::ParseInteger(expected[10]);
    to = platform::ParseInteger(expected[11]);
  } catch (const platform::AutomationError&) {
  }
  // An order whose times cannot be read is found before any line is added.
  if (!from || !to) {
    VARNEX_FUZZ_CHECK(model.lineCount() == 0 && site.messages.size() == 1);
    return 0;
  }
  // Otherwise the one line shows the values as the ten columns join and split them.
  const QString category = orders::OrderCategoryName(expected[5]);
  const QString action = orders::ActionFor(expected[9]).message.toString();
  const QString rowText =
      QStringList{expected[0], expected[1], expected[2], expected[3], expected[4],
                  category,    expected[6], expected[7], expected[8], action}
          .join(QLatin1Char(';'));
  VARNEX_FUZZ_CHECK(model.lineCount() == 1);
  const QStringList cells = rowText.split(QLatin1Char(';'));
  for (int column = 1; column <= 10; ++column) {
    const QString cell = column < 10 ? cells[column - 1] : cells.mid(9).join(QLatin1Char(';'));
    VARNEX_FUZZ_CHECK(model.cellText(1, column) == cell);
  }

  VARNEX_FUZZ_CHECK(site.messages.isEmpty());
  const grid::Bar* bar = model.bar(1, 1);
  VARNEX_FUZZ_CHECK(bar != nullptr);
  VARNEX_FUZZ_CHECK(bar->start.day == 29219 + FloorDiv(*from, 86400));
  VARNEX_FUZZ_CHECK(bar->start.minute == (*from - FloorDiv(*from, 86400) * 86400) / 60);
  VARNEX_FUZZ_CHECK(bar->end.day == 29219 + FloorDiv(*to, 86400));
  VARNEX_FUZZ_CHECK(bar->end.minute == (*to - FloorDiv(*to, 86400) * 86400) / 60);
  VARNEX_FUZZ_CHECK(bar->hasText == orders::ActionFor(expected[9]).mark.has_value());
  return 0;
}
