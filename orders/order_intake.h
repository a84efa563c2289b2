#pragma once

#include "platform/table.h"

#include <QStringView>

#include <memory>
#include <optional>

namespace varnex::platform {
class ControlSite;
class Variant;
class XmlDocument;
}  // namespace varnex::platform

namespace varnex::orders {

/// The work-order document as messages name it.
inline constexpr QStringView kDocumentName = u"work-order document";

/// Reads the work-order document into the order table: escapes `wohxml` in place, keeps a copy
/// in "Box2", parses it into `mOrderDoc` and copies every order row into a table of text
/// columns, one per attribute of the first order row (named by its local name), filled by
/// position. Comments and processing instructions among the rows are skipped.
///
/// Returns no table when the document does not parse (the parser's reason has been shown).
/// Other failures are thrown: a row with more attributes than the first, text among the rows,
/// a root without order rows.
[[nodiscard]] std::optional<platform::Table> LoadOrderTable(
    platform::Variant& wohxml, platform::ControlSite& site,
    std::shared_ptr<const platform::XmlDocument>& mOrderDoc);

}  // namespace varnex::orders
