#include "platform/xml_document.h"

#include "platform/memory_advice.h"

#include <expat.h>

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace varnex::platform {
namespace {

// Position of a byte offset as 1-based line and column, counting characters (code points).
std::pair<qint64, qint64> LineAndColumn(const QByteArray& utf8, qint64 offset) {
  offset = std::clamp<qint64>(offset, 0, utf8.size());
  qint64 line = 1;
  qint64 lineStart = 0;
  for (qint64 i = 0; i < offset; ++i) {
    if (utf8[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  qint64 column = 1;
  for (qint64 i = lineStart; i < offset; ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++column;
  }
  return {line, column};
}

QString Describe(XML_Error code) {
  switch (code) {
    case XML_ERROR_NO_ELEMENTS:
      return QStringLiteral("The document has no root element");
    case XML_ERROR_INVALID_TOKEN:
      return QStringLiteral("The document is not well-formed (a character or markup that is not allowed here)");
    case XML_ERROR_UNCLOSED_TOKEN:
      return QStringLiteral("The document ends inside a tag or other markup");
    case XML_ERROR_PARTIAL_CHAR:
      return QStringLiteral("The document ends inside a character");
    case XML_ERROR_TAG_MISMATCH:
      return QStringLiteral("An end tag does not match the start tag that is open");
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
      return QStringLiteral("An element carries the same attribute twice");
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
      return QStringLiteral("Text or markup follows the end of the root element");
    case XML_ERROR_UNDEFINED_ENTITY:
      return QStringLiteral("An entity reference names an entity that is not defined");
    case XML_ERROR_BAD_CHAR_REF:
      return QStringLiteral("A character reference names a character that is not allowed");
    case XML_ERROR_SYNTAX:
      return QStringLiteral("The document has a syntax error");
    case XML_ERROR_MISPLACED_XML_PI:
      return QStringLiteral("The XML declaration is not at the very start of the document");
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      return QStringLiteral("A CDATA section is not closed");
    case XML_ERROR_INCORRECT_ENCODING:
    case XML_ERROR_UNKNOWN_ENCODING:
      return QStringLiteral("The encoding declaration does not match the document's characters");
    case XML_ERROR_XML_DECL:
      return QStringLiteral("The XML declaration is malformed");
    case XML_ERROR_NO_MEMORY:
      return QStringLiteral("The document is too large to be read");
    default: {
      QString text = QString::fromUtf8(XML_ErrorString(code));
      if (!text.isEmpty()) text[0] = text[0].toUpper();
      return QStringLiteral("The document is not well-formed: ") + text;
    }
  }
}

// The length of the text in UTF-8; a surrogate pair takes four bytes.
qsizetype Utf8Length(QStringView text) {
  const char16_t* units = text.utf16();
  qsizetype length = text.size();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = units[i];
    length += (u >= 0x80) + (u >= 0x800) - ((u & 0xF800) == 0xD800);
  }
  return length;
}

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

// Turns expat's callbacks into the document's rows.
class XmlRowBuilder {
 public:
  explicit XmlRowBuilder(XmlDocument& doc) : mDoc(doc) {}

  void Run(QStringView text) {
    mParser = XML_ParserCreate("UTF-8");
    if (mParser == nullptr) {
      mDoc.mReason = Describe(XML_ERROR_NO_MEMORY);
      return;
    }
    XML_SetUserData(mParser, this);
    XML_SetParamEntityParsing(mParser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(mParser, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(mParser, &OnText);
    XML_SetCommentHandler(mParser, &OnComment);
    XML_SetProcessingInstructionHandler(mParser, &OnInstruction);
    XML_SetCdataSectionHandler(mParser, &OnCDataStart, &OnCDataEnd);
    XML_SetStartDoctypeDeclHandler(mParser, &OnDoctype);
    // Values are decoded straight into one buffer. A value never takes more UTF-16 units than
    // its source text, so the document's length bounds them all.
    mDoc.mValues.resize(text.size());
    mOut = mDoc.mValues.data();
    mCapacity = mDoc.mValues.size();
    AdviseLargeWrite(mOut, static_cast<std::size_t>(mCapacity) * sizeof(QChar));

    // The text is encoded straight into expat's own buffer, sized exactly (Parse has refused
    // unpaired surrogates), a piece at a time so that the buffer stays small and in cache. A
    // piece never ends inside a surrogate pair. Pieces grow with the text read so far, which
    // bounds how often expat rescans a token that spans them; the largest still fits expat's
    // int lengths at three bytes a unit.
    constexpr qsizetype kFirstPiece = qsizetype{1} << 18;
    constexpr qsizetype kLargestPiece = qsizetype{1} << 26;
    bool ok = true;
    if (text.isEmpty()) {
      ok = XML_Parse(mParser, "", 0, XML_TRUE) == XML_STATUS_OK;
    }
    for (qsizetype at = 0; ok && at < text.size();) {
      const qsizetype piece = std::clamp(at / 4, kFirstPiece, kLargestPiece);
      qsizetype end = std::min(text.size(), at + piece);
      if (end < text.size() && text[end - 1].isHighSurrogate()) --end;
      const QStringView units = text.sliced(at, end - at);
      auto* buffer = static_cast<char*>(XML_GetBuffer(mParser, static_cast<int>(Utf8Length(units))));
      if (buffer == nullptr) {
        ok = false;
        break;
      }
      const char* written = mEncoder.appendToBuffer(buffer, units);
      Q_ASSERT(written - buffer == Utf8Length(units));
      at = end;
      ok = XML_ParseBuffer(mParser, static_cast<int>(written - buffer),
                           at == text.size() ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
    }

    if (!ok) {
      const auto [line, column] = LineAndColumn(text.toUtf8(), XML_GetCurrentByteIndex(mParser));
      const XML_Error code = XML_GetErrorCode(mParser);
      QString what;
      if (mDoctype) {
        what = QStringLiteral(
            "The document holds a document type declaration (DOCTYPE), which is not accepted");
      } else if (mTooLarge) {
        what = QStringLiteral("The document is too large to be read");
      } else if (code == XML_ERROR_NO_ELEMENTS && mDepth > 0) {
        // expat reports elements left open at the end as "no element found".
        what = QStringLiteral("The document ends before its elements are closed");
      } else {
        what = Describe(code);
      }
      mDoc.mReason = QStringLiteral("%1, at line %2, column %3.").arg(what).arg(line).arg(column);
      mDoc.mRows.clear();
      mDoc.mAttributes.clear();
      mDoc.mNames.clear();
      mDoc.mValues.clear();
    }
    XML_ParserFree(mParser);
    mParser = nullptr;
    if (ok) mDoc.mValues.truncate(mFilled);
    mDoc.mValues.squeeze();
  }

 private:
  static XmlRowBuilder& Self(void* data) { return *static_cast<XmlRowBuilder*>(data); }

  // Decodes one value (valid UTF-8, as expat hands it on) to `out`; returns the UTF-16 units
  // written. Plain ASCII, by far the most common, is widened without the decoder.
  qsizetype Decode(const char* value, qsizetype length, QChar* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(value);
    unsigned char high = 0;
    for (qsizetype i = 0; i < length; ++i) high |= bytes[i];
    if (high < 0x80) {
      auto* units = reinterpret_cast<char16_t*>(out);
      for (qsizetype i = 0; i < length; ++i) units[i] = bytes[i];
      return length;
    }
    const QChar* end = mDecoder.appendToBuffer(out, QByteArrayView(value, length));
    return end - out;
  }

  void AddRow(NodeKind kind) {
    mDoc.mRows.push_back({kind, static_cast<std::uint32_t>(mDoc.mAttributes.size()), 0});
  }

  // Text directly under the root forms a node unless it is whitespace only.
  void FlushText() {
    if (mTextNonBlank) AddRow(NodeKind::Text);
    mTextNonBlank = false;
  }

  // Rows nearly always repeat the attributes of the row before in the same order, so the name
  // at each position is first checked against the one last seen there.
  std::uint32_t Intern(const char* qualifiedName, std::size_t position) {
    const std::string_view qualified(qualifiedName);
    if (position < mRecent.size() && mRecent[position].first == qualified) {
      return mRecent[position].second;
    }
    const std::uint32_t index = InternLocalName(qualified);
    if (position < kRecentPositions) {
      if (position >= mRecent.size()) mRecent.resize(position + 1);
      mRecent[position] = {std::string(qualified), index};
    }
    return index;
  }

  std::uint32_t InternLocalName(std::string_view name) {
    if (const auto colon = name.rfind(':'); colon != std::string_view::npos) {
      name.remove_prefix(colon + 1);
    }
    auto it = mNameIndex.find(std::string(name));
    if (it != mNameIndex.end()) return it->second;
    const auto index = static_cast<std::uint32_t>(mDoc.mNames.size());
    mDoc.mNames.push_back(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    mNameIndex.emplace(std::string(name), index);
    return index;
  }

  static void OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
    auto& self = Self(data);
    (void)name;
    ++self.mDepth;
    if (self.mDepth != 2) return;
    self.FlushText();
    self.AddRow(NodeKind::Element);
    auto& row = self.mDoc.mRows.back();
    std::size_t position = 0;
    for (const XML_Char** a = atts; *a != nullptr; a += 2, ++position) {
      const qsizetype offset = self.mFilled;
      const std::uint32_t nameIndex = self.Intern(a[0], position);
      const auto length = static_cast<qsizetype>(std::strlen(a[1]));
      qsizetype units = 0;
      if (length <= self.mCapacity - offset) {
        units = self.Decode(a[1], length, self.mOut + offset);
      } else {
        // More bytes than units are left: only non-ASCII text, which takes fewer units than bytes.
        const QString value = QString::fromUtf8(a[1], length);
        units = value.size() <= self.mCapacity - offset ? value.size() : -1;
        if (units >= 0) std::copy(value.begin(), value.end(), self.mOut + offset);
      }
      if (units < 0 || offset + units > qsizetype{0xFFFFFFFF}) {
        self.mTooLarge = true;
        XML_StopParser(self.mParser, XML_FALSE);
        return;
      }
      self.mFilled += units;
      self.mDoc.mAttributes.push_back({nameIndex, static_cast<std::uint32_t>(offset),
                                       static_cast<std::uint32_t>(self.mFilled - offset)});
      ++row.count;
    }
  }

  static void OnEnd(void* data, const XML_Char* /*name*/) {
    auto& self = Self(data);
    if (self.mDepth == 1) self.FlushText();
    --self.mDepth;
  }

  static void OnText(void* data, const XML_Char* text, int length) {
    auto& self = Self(data);
    if (self.mDepth != 1 || self.mInCData) return;
    for (int i = 0; i < length && !self.mTextNonBlank; ++i) {
      if (!IsXmlBlank(text[i])) self.mTextNonBlank = true;
    }
  }

  static void OnComment(void* data, const XML_Char* /*text*/) {
    auto& self = Self(data);
    if (self.mDepth != 1) return;
    self.FlushText();
    self.AddRow(NodeKind::Comment);
  }

  static void OnInstruction(void* data, const XML_Char* /*target*/, const XML_Char* /*text*/) {
    auto& self = Self(data);
    if (self.mDepth != 1) return;
    self.FlushText();
    self.AddRow(NodeKind::ProcessingInstruction);
  }

  static void OnCDataStart(void* data) {
    auto& self = Self(data);
    if (self.mDepth != 1) return;
    self.FlushText();
    self.AddRow(NodeKind::CData);
    self.mInCData = true;
  }

  static void OnCDataEnd(void* data) { Self(data).mInCData = false; }

  static void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& self = Self(data);
    self.mDoctype = true;
    XML_StopParser(self.mParser, XML_FALSE);
  }

  XmlDocument& mDoc;
  QStringDecoder mDecoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
  QStringEncoder mEncoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
  XML_Parser mParser = nullptr;
  int mDepth = 0;
  bool mTextNonBlank = false;
  bool mInCData = false;
  bool mDoctype = false;
  bool mTooLarge = false;
  std::unordered_map<std::string, std::uint32_t> mNameIndex;
  static constexpr std::size_t kRecentPositions = 64;
  std::vector<std::pair<std::string, std::uint32_t>> mRecent;  // qualified name by position
  QChar* mOut = nullptr;                                       // the value buffer
  qsizetype mFilled = 0;                                       // units of it in use
  qsizetype mCapacity = 0;
};

std::shared_ptr<const XmlDocument> XmlDocument::Parse(QStringView text,
                                                      std::shared_ptr<const XmlDocument>* previous) {
  auto doc = std::make_shared<XmlDocument>();
  if (previous != nullptr) previous->reset();
  // An unpaired surrogate has no UTF-8 form; refuse it rather than let it turn into U+FFFD.
  // Surrogates are rare, so a quick pass over the whole text looks for any first.
  unsigned anySurrogate = 0;
  const char16_t* units = text.utf16();
  for (qsizetype i = 0; i < text.size(); ++i) anySurrogate |= (units[i] & 0xF800) == 0xD800;
  for (qsizetype i = 0; anySurrogate && i < text.size(); ++i) {
    const QChar c = text[i];
    if (!c.isSurrogate()) continue;
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    const QByteArray before = text.left(i).toUtf8();
    const auto [line, column] = LineAndColumn(before, before.size());
    doc->mReason = QStringLiteral(
                       "The document holds a broken character (an unpaired surrogate), at line "
                       "%1, column %2.")
                       .arg(line)
                       .arg(column);
    return doc;
  }
  XmlRowBuilder(*doc).Run(text);
  return doc;
}

QStringView XmlDocument::AttributeName(int row, int attribute) const {
  return mNames[mAttributes[mRows[row].first + attribute].name];
}

QStringView XmlDocument::AttributeValue(int row, int attribute) const {
  const Attribute& a = mAttributes[mRows[row].first + attribute];
  return QStringView(mValues).mid(a.offset, a.length);
}

}  // namespace varnex::platform
