#include "tests/support/documents.h"

#include <cassert>

namespace varnex::testing {

OrderRow Order(const QString& number) {
  return {{QStringLiteral("docuemntno"), number},
          {QStringLiteral("item_code"), QStringLiteral("IT-1")},
          {QStringLiteral("item_variant"), QStringLiteral("STD")},
          {QStringLiteral("itemdesc"), QStringLiteral("Bearing")},
          {QStringLiteral("order_quantity"), QStringLiteral("10")},
          {QStringLiteral("chk_sc_wo"), QStringLiteral("F")},
          {QStringLiteral("custnameml"), QStringLiteral("Baxter")},
          {QStringLiteral("allflag"), QStringLiteral("12")},
          {QStringLiteral("allmethod"), QStringLiteral("2024-02-01")},
          {QStringLiteral("alt_resource"), QStringLiteral("D")},
          {QStringLiteral("daysfrom"), QStringLiteral("0")},
          {QStringLiteral("daysto"), QStringLiteral("86399")},
          {QStringLiteral("Status"), QStringLiteral("D")}};
}

OrderRow With(OrderRow row, const char* name, const QString& value) {
  for (Attribute& a : row) {
    if (a.name == QLatin1String(name)) {
      a.value = value;
      return row;
    }
  }
  assert(false && "no such attribute");
  return row;
}

OrderRow Without(OrderRow row, const char* name) {
  row.removeIf([name](const Attribute& a) { return a.name == QLatin1String(name); });
  return row;
}

QString Element(const OrderRow& row, const QString& tag) {
  QString text = QLatin1Char('<') + tag;
  for (const Attribute& a : row) {
    text += QLatin1Char(' ') + a.name + QStringLiteral("=\"") + a.value + QLatin1Char('"');
  }
  return text + QStringLiteral("/>");
}

QString WorkOrders(const QList<OrderRow>& rows) {
  QString text = QStringLiteral("<workorders>\n");
  for (const OrderRow& row : rows) text += QStringLiteral("  ") + Element(row) + QLatin1Char('\n');
  return text + QStringLiteral("</workorders>");
}

QString Header(const QString& from, const QString& to) {
  return QStringLiteral(
             "<header><row doc_num=\"MRP-1\" doctype=\"MRP\" fromtimeperiod=\"%1\" guid=\"g-1\" "
             "hdncompanycode=\"Kestrel & Sons\" item_codefrom=\"A000\" item_codeto1=\"Z999\" "
             "mplanner1=\"D'Souza\" save_template=\"N\" supplier_code=\"\" totimeperiod=\"%2\" "
             "fprowno=\"1\"/></header>")
      .arg(from, to);
}

}  // namespace varnex::testing
