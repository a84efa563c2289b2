#include "orders/order_intake.h"

#include "platform/automation_error.h"
#include "platform/document_intake.h"
#include "platform/xml_document.h"

namespace varnex::orders {

using platform::NodeKind;

std::optional<platform::Table> LoadOrderTable(
    platform::Variant& wohxml, platform::ControlSite& site,
    std::shared_ptr<const platform::XmlDocument>& mOrderDoc) {
  if (!platform::ReceiveDocument(wohxml, site, QStringLiteral("Box2"), mOrderDoc)) {
    return std::nullopt;
  }
  const platform::XmlDocument& doc = *mOrderDoc;

  const auto isRow = [&doc](int node) {
    const NodeKind kind = doc.RowKind(node);
    if (kind == NodeKind::Comment || kind == NodeKind::ProcessingInstruction) return false;
    if (kind != NodeKind::Element) {
      platform::ThrowError(platform::errors::kObjectNotSet,
                           QStringLiteral("The work-order document holds text among its order "
                                          "rows (node %1 under the root)")
                               .arg(node + 1));
    }
    return true;
  };

  int first = 0;
  while (first < doc.RowCount() && !isRow(first)) ++first;
  if (first == doc.RowCount()) {
    platform::ThrowError(platform::errors::kObjectNotSet,
                         QStringLiteral("The work-order document holds no order rows"));
  }

  platform::Table table;
  for (int a = 0; a < doc.AttributeCount(first); ++a) {
    table.AppendColumn(doc.AttributeName(first, a).toString(), platform::ColumnType::Text);
  }
  // The values stay in the document (kept in mOrderDoc), so the table refers to them there.
  table.ShareText(doc.SourceText());
  table.ShareText(doc.ValueText());
  table.Reserve(static_cast<std::size_t>(doc.RowCount() - first), 0);
  for (int node = first; node < doc.RowCount(); ++node) {
    if (!isRow(node)) continue;
    table.AddNew();
    for (int a = 0; a < doc.AttributeCount(node); ++a) {
      table.SetField(a, doc.AttributeValue(node, a));
    }
    table.Update();
  }
  table.MoveFirst();
  return table;
}

}  // namespace varnex::orders
