#pragma once

#include "platform/xml_document.h"

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace varnex::test {

/// A document as the rows of its root element, to compare two readers by.
struct DocumentOutline {
  struct Node {
    platform::NodeKind kind;
    QString name;                                         // an element's local name
    std::vector<std::pair<QString, QString>> attributes;  // local names and values, in order
    bool operator==(const Node&) const = default;
  };
  bool wellFormed = false;
  QString reason;  // why not, as the reader said it
  std::vector<Node> rows;
  bool operator==(const DocumentOutline& other) const {
    return wellFormed == other.wellFormed && rows == other.rows;
  }
};

/// Reads a document the way the product read documents before it had a reader of its own,
/// which now referees it: units that are no character of a document refused first, the text
/// encoded as UTF-8 and handed to expat with UTF-8 forced and namespaces off, any document type
/// declaration refused. Text among the rows forms a node unless blank.
[[nodiscard]] DocumentOutline ReadWithExpat(QStringView text);

/// The product reader's document in the same terms.
[[nodiscard]] DocumentOutline Outline(const platform::XmlDocument& doc);

/// The outline as text, for a failure message.
[[nodiscard]] std::string Describe(const DocumentOutline& outline);

}  // namespace varnex::test
