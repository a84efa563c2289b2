#include "orders/order_intake.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/document_intake.h"
#include "platform/xml_document.h"

#include <vector>

namespace varnex::orders {

using platform::NodeKind;

namespace {

// What a node that is not an order row holds, for a message's detail.
QString NodeText(const platform::XmlDocument& doc, int node) {
  switch (doc.RowKind(node)) {
    case NodeKind::Text: return QStringLiteral("text");
    case NodeKind::CData: return QStringLiteral("a CDATA section");
    case NodeKind::Comment: return QStringLiteral("a comment");
    case NodeKind::ProcessingInstruction: return QStringLiteral("a processing instruction");
    case NodeKind::Element: break;
  }
  return QStringLiteral("an element");
}

}  // namespace

std::optional<platform::Table> LoadOrderTable(
    platform::Variant& wohxml, platform::ControlSite& site,
    std::shared_ptr<const platform::XmlDocument>& mOrderDoc) {
  if (!platform::ReceiveDocument(wohxml, site, QStringLiteral("Box2"), kDocumentName, mOrderDoc)) {
    return std::nullopt;
  }
  const platform::XmlDocument& doc = *mOrderDoc;

  const auto isRow = [&doc](int node) {
    const NodeKind kind = doc.RowKind(node);
    if (kind == NodeKind::Comment || kind == NodeKind::ProcessingInstruction) return false;
    if (kind != NodeKind::Element) {
      platform::AutomationError failure(
          platform::errors::kObjectNotSet,
          QStringLiteral("The work-order document holds text among its order rows (node %1 "
                         "under the root)")
              .arg(node + 1));
      failure.AddContext(QStringLiteral("%1, node %2 under the root: %3")
                             .arg(kDocumentName)
                             .arg(node + 1)
                             .arg(NodeText(doc, node)));
      throw failure;
    }
    return true;
  };

  int first = 0;
  while (first < doc.RowCount() && !isRow(first)) ++first;
  if (first == doc.RowCount()) {
    platform::AutomationError failure(platform::errors::kObjectNotSet,
                                      QStringLiteral(
                                          "The work-order document holds no order rows"));
    failure.AddContext(QStringLiteral("%1: its root element holds no element").arg(kDocumentName));
    throw failure;
  }

  platform::Table table;
  for (int a = 0; a < doc.AttributeCount(first); ++a) {
    table.AppendColumn(doc.AttributeName(first, a).toString(), platform::ColumnType::Text);
  }
  // The order rows become the table's records where they stand in the document.
  std::vector<std::uint32_t> rows;
  rows.reserve(static_cast<std::size_t>(doc.RowCount() - first));
  for (int node = first; node < doc.RowCount(); ++node) {
    if (!isRow(node)) continue;
    rows.push_back(static_cast<std::uint32_t>(node));
    const int count = doc.AttributeCount(node);
    if (count > table.ColumnCount()) {
      // A row with more attributes than the first has no column for the rest.
      platform::AutomationError failure(platform::errors::kItemNotFound,
                                        platform::StandardDescription(
                                            platform::errors::kItemNotFound));
      const int extra = table.ColumnCount();
      failure.AddContext(
          QStringLiteral("%1, row %2, order %3: attribute %4 (%5=%6) has no column; the first "
                         "row has %7 attributes")
              .arg(kDocumentName)
              .arg(rows.size())
              .arg(platform::QuoteText(count > 0 ? doc.AttributeValue(node, 0) : QStringView()))
              .arg(extra + 1)
              .arg(doc.AttributeName(node, extra))
              .arg(platform::QuoteText(doc.AttributeValue(node, extra)))
              .arg(extra));
      throw failure;
    }
  }
  table.AdoptRows(mOrderDoc, std::move(rows));
  table.MoveFirst();
  return table;
}

}  // namespace varnex::orders
