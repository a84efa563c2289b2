#pragma once

#include "platform/memory_advice.h"

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
/// Parsing is strict and closed: the UTF-16 text is read where it stands (an encoding
/// declaration cannot change how it is read), and any document type declaration is refused, so
/// no DTD, external entity or entity expansion is ever processed and nothing is read from disk.
/// What remains of XML 1.0 is checked in full: the XML declaration, elements and attributes,
/// names (with the name characters of XML 1.0 before its fifth edition), comments, processing
/// instructions, CDATA sections, character data, character references and the five predefined
/// entities, with line ends and attribute values normalised.
class XmlDocument {
 public:
  /// Parses a document. A document that does not parse is an expected outcome: the result
  /// then has a parse error whose reason says what is wrong and where (line and column,
  /// 1-based, in characters). Running out of memory while parsing is such an outcome too.
  /// `previous`, when given, is let go once the new document object exists and before it is
  /// filled, so that a large document never shares the memory with the one it replaces.
  /// The document keeps a copy of every attribute value.
  [[nodiscard]] static std::shared_ptr<const XmlDocument> Parse(
      QStringView text, std::shared_ptr<const XmlDocument>* previous = nullptr);
  /// The same for `text`, a piece of `source` (as StripBlanks() gives it). The document shares
  /// `source` instead of copying values out of it: a value that stands in the source as it
  /// reads (no references, no line breaks or tabs) is a view into `source`.
  [[nodiscard]] static std::shared_ptr<const XmlDocument> Parse(
      const QString& source, QStringView text,
      std::shared_ptr<const XmlDocument>* previous = nullptr);

  [[nodiscard]] bool HasParseError() const { return !mReason.isEmpty(); }
  /// Why the document did not parse ("The document is not well-formed ..., at line 3,
  /// column 20."); empty when it did.
  [[nodiscard]] const QString& ParseErrorReason() const { return mReason; }
  /// The same reason naming the document: "The work-order document is not well-formed ...".
  [[nodiscard]] QString ParseErrorReason(QStringView documentName) const;
  /// Where the parse stopped, 1-based, in characters; 0 when it did not stop.
  [[nodiscard]] qint64 ParseErrorLine() const { return mErrorLine; }
  [[nodiscard]] qint64 ParseErrorColumn() const { return mErrorColumn; }

  [[nodiscard]] int RowCount() const { return static_cast<int>(mRows.size()); }
  [[nodiscard]] NodeKind RowKind(int row) const { return mRows[row].kind; }
  /// An element row's name without any namespace prefix; empty for other rows.
  [[nodiscard]] QStringView RowName(int row) const;
  [[nodiscard]] int AttributeCount(int row) const { return static_cast<int>(mRows[row].count); }
  /// The attribute's name without any namespace prefix.
  [[nodiscard]] QStringView AttributeName(int row, int attribute) const;
  /// The attribute's value with references resolved.
  [[nodiscard]] QStringView AttributeValue(int row, int attribute) const {
    const Attribute& a = mAttributes[mRows[row].first + attribute];
    if (a.offset < mValueBase) return QStringView(mSource).sliced(a.offset, a.length);
    return QStringView(mValues).sliced(a.offset - mValueBase, a.length);
  }
  /// The two texts that AttributeValue() gives views into: the shared source (empty unless
  /// parsed from one) and the values that had to be copied, back to back.
  [[nodiscard]] const QString& SourceText() const { return mSource; }
  [[nodiscard]] const QString& ValueText() const { return mValues; }

 private:
  struct Row {
    NodeKind kind;
    std::uint32_t name;   // index into mNames; kNoName for a node that is not an element
    std::uint32_t first;  // index of the first attribute
    std::uint32_t count;
  };
  struct Attribute {
    std::uint32_t name;    // index into mNames
    std::uint32_t offset;  // into mSource below mValueBase, else into mValues past it
    std::uint32_t length;
  };
  static constexpr std::uint32_t kNoName = 0xFFFFFFFF;
  friend class XmlRowBuilder;

  QString mReason;
  qint64 mErrorLine = 0;
  qint64 mErrorColumn = 0;
  std::vector<Row, LargeArrayAllocator<Row>> mRows;
  std::vector<Attribute, LargeArrayAllocator<Attribute>> mAttributes;
  std::vector<QString> mNames;   // interned local names
  QString mSource;               // the shared source text, when values are views into it
  QString mValues;               // the copied values, back to back; 4 Gi units at most
  std::uint32_t mValueBase = 0;  // mSource's size when it is shared
};

}  // namespace varnex::platform
