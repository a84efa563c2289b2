#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace varnex::platform {

/// The kind of a child node of the root element.
enum class NodeKind : std::uint8_t { Element, Text, CData, Comment, ProcessingInstruction };

/// A parsed document, seen as rows: the child nodes of the root element in document order,
/// each with its attributes in document order. Whitespace-only text between the rows forms no
/// node; content inside a row is checked for well-formedness and otherwise ignored.
///
/// Parsing is strict and closed: the text is read as one UTF-8 piece (an encoding declaration
/// cannot change how it is read), and any document type declaration is refused, so no DTD,
/// external entity or entity expansion is ever processed and nothing is read from disk.
class XmlDocument {
 public:
  /// Parses a document. A document that does not parse is an expected outcome: the result
  /// then has a parse error whose reason says what is wrong and where (line and column,
  /// 1-based, in characters).
  /// `previous`, when given, is let go once the new document object exists and before it is
  /// filled, so that a large document never shares the memory with the one it replaces.
  [[nodiscard]] static std::shared_ptr<const XmlDocument> Parse(
      QStringView text, std::shared_ptr<const XmlDocument>* previous = nullptr);

  [[nodiscard]] bool HasParseError() const { return !mReason.isEmpty(); }
  /// Why the document did not parse; empty when it did.
  [[nodiscard]] const QString& ParseErrorReason() const { return mReason; }

  [[nodiscard]] int RowCount() const { return static_cast<int>(mRows.size()); }
  [[nodiscard]] NodeKind RowKind(int row) const { return mRows[row].kind; }
  [[nodiscard]] int AttributeCount(int row) const { return static_cast<int>(mRows[row].count); }
  /// The attribute's name without any namespace prefix.
  [[nodiscard]] QStringView AttributeName(int row, int attribute) const;
  /// The attribute's value with references resolved.
  [[nodiscard]] QStringView AttributeValue(int row, int attribute) const;
  /// Every attribute value back to back; AttributeValue() gives views into this text.
  [[nodiscard]] const QString& ValueText() const { return mValues; }

 private:
  struct Row {
    NodeKind kind;
    std::uint32_t first;  // index of the first attribute
    std::uint32_t count;
  };
  struct Attribute {
    std::uint32_t name;   // index into mNames
    std::uint32_t offset; // into mValues; values of 4 GiB and more are refused by the parser
    std::uint32_t length;
  };
  friend class XmlRowBuilder;

  QString mReason;
  std::vector<Row> mRows;
  std::vector<Attribute> mAttributes;
  std::vector<QString> mNames;  // interned local names
  QString mValues;              // every value, back to back
};

}  // namespace varnex::platform
