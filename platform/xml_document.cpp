#include "platform/xml_document.h"

#include "platform/memory_advice.h"
#include "platform/text_scan.h"

#include <expat.h>

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <new>
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
    case XML_ERROR_NO_ELEMENTS: return QStringLiteral("The document has no root element");
    case XML_ERROR_INVALID_TOKEN:
      return QStringLiteral(
          "The document is not well-formed (a character or markup that is not allowed here)");
    case XML_ERROR_UNCLOSED_TOKEN:
      return QStringLiteral("The document ends inside a tag or other markup");
    case XML_ERROR_PARTIAL_CHAR: return QStringLiteral("The document ends inside a character");
    case XML_ERROR_TAG_MISMATCH:
      return QStringLiteral(
          "The document has an end tag that does not match the start tag that is open");
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
      return QStringLiteral("The document has an element that carries the same attribute twice");
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
      return QStringLiteral("The document has text or markup after the end of its root element");
    case XML_ERROR_UNDEFINED_ENTITY:
      return QStringLiteral(
          "The document has an entity reference to an entity that is not defined");
    case XML_ERROR_BAD_CHAR_REF:
      return QStringLiteral(
          "The document has a character reference to a character that is not allowed");
    case XML_ERROR_SYNTAX: return QStringLiteral("The document has a syntax error");
    case XML_ERROR_MISPLACED_XML_PI:
      return QStringLiteral("The document has an XML declaration that is not at its very start");
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      return QStringLiteral("The document has a CDATA section that is not closed");
    case XML_ERROR_INCORRECT_ENCODING:
    case XML_ERROR_UNKNOWN_ENCODING:
      return QStringLiteral(
          "The document has an encoding declaration that does not match its characters");
    case XML_ERROR_XML_DECL: return QStringLiteral("The document has a malformed XML declaration");
    case XML_ERROR_NO_MEMORY: return QStringLiteral("The document is too large to be read");
    default: {
      QString text = QString::fromUtf8(XML_ErrorString(code));
      if (!text.isEmpty()) text[0] = text[0].toUpper();
      return QStringLiteral("The document is not well-formed: ") + text;
    }
  }
}

bool IsXmlBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

struct ParserFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree>;

// Whether a value as expat hands it on (`length` bytes of UTF-8) reads exactly as `raw`.
// Plain ASCII is compared eight units a step.
bool SameText(const char* value, qsizetype length, QStringView raw) {
  const char16_t* units = raw.utf16();
  const qsizetype count = raw.size();
  if (length < count) return false;
  qsizetype i = 0;
  qsizetype k = 0;
  while (true) {
    const qsizetype plain = detail::AsciiMatchLength(units + i, value + k, count - i);
    i += plain;
    k += plain;
    if (i == count) return k == length;
    char32_t c = units[i];
    if (c < 0x80) return false;
    if (QChar::isHighSurrogate(c) && i + 1 < count && QChar::isLowSurrogate(units[i + 1])) {
      c = QChar::surrogateToUcs4(static_cast<char16_t>(c), units[++i]);
    }
    ++i;
    std::array<char, 4> encoded{};
    qsizetype width = 0;
    if (c < 0x800) {
      encoded = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
      width = 2;
    } else if (c < 0x10000) {
      encoded = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
      width = 3;
    } else {
      encoded = {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                 static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
      width = 4;
    }
    // Each unit left takes a byte at least, so the rest of the value must hold them all.
    if (length - k - width < count - i ||
        std::memcmp(value + k, encoded.data(), static_cast<std::size_t>(width)) != 0) {
      return false;
    }
    k += width;
  }
}

// Walks the attribute values of a start tag in the text, which expat has already found
// well-formed: names hold no "=", so each value follows the next "=" after the one before.
// It never reads past the text; once lost it gives no more values.
class TagReader {
 public:
  TagReader(QStringView text, qsizetype at) : mText(text), mAt(at) {
    if (mAt < 0 || mAt >= mText.size() || At(mAt) != u'<') mAt = mText.size();
  }

  // The next attribute's value as it stands between its quotes; false when there is none.
  bool Next(QStringView* raw) {
    mAt = detail::FindEither(mText.utf16(), mAt, mText.size(), u'=', u'=');
    if (mAt >= mText.size()) return Lost();
    ++mAt;
    SkipBlanks();
    if (mAt >= mText.size() || (At(mAt) != u'"' && At(mAt) != u'\'')) return Lost();
    const char16_t quote = At(mAt++);
    const qsizetype begin = mAt;
    mAt = detail::FindEither(mText.utf16(), mAt, mText.size(), quote, quote);
    if (mAt >= mText.size()) return Lost();
    *raw = mText.sliced(begin, mAt - begin);
    ++mAt;
    return true;
  }

 private:
  char16_t At(qsizetype i) const { return mText.utf16()[i]; }
  void SkipBlanks() {
    while (mAt < mText.size() && IsXmlBlank(At(mAt))) ++mAt;
  }
  bool Lost() {
    mAt = mText.size();
    return false;
  }

  QStringView mText;
  qsizetype mAt;
};

}  // namespace

// Turns expat's callbacks into the document's rows.
class XmlRowBuilder {
 public:
  // Parses `text` into a new document; `source`, when given, is the text it is a piece of.
  static std::shared_ptr<const XmlDocument> Parse(QStringView text, const QString* source,
                                                  std::shared_ptr<const XmlDocument>* previous) {
    auto doc = std::make_shared<XmlDocument>();
    if (previous != nullptr) previous->reset();
    // A document that holds units no XML text may hold is not text at all (a binary file,
    // a string with a NUL); that is said first. An unpaired surrogate has no UTF-8 form either.
    if (const qsizetype at = detail::FindNonCharacter(text.utf16(), text.size());
        at < text.size()) {
      const QByteArray before = text.left(at).toUtf8();
      const auto [line, column] = LineAndColumn(before, before.size());
      const auto unit = static_cast<unsigned>(text[at].unicode());
      const QString code = QStringLiteral("U+%1").arg(unit, 4, 16, QLatin1Char('0')).toUpper();
      const QString what =
          text[at].isSurrogate()
              ? QStringLiteral("a broken character (the unpaired surrogate %1)").arg(code)
              : code;
      doc->mReason = QStringLiteral("The document is not text: it holds %1 at line %2, column %3.")
                         .arg(what)
                         .arg(line)
                         .arg(column);
      doc->mErrorLine = line;
      doc->mErrorColumn = column;
      return doc;
    }
    XmlRowBuilder(*doc, text, source).Run();
    return doc;
  }

 private:
  XmlRowBuilder(XmlDocument& doc, QStringView text, const QString* source)
      : mDoc(doc), mText(text) {
    // Shared only while every position in the source and past it fits the 32-bit offsets.
    constexpr qsizetype kLargestShared = qsizetype{1} << 31;
    if (source == nullptr || source->size() >= kLargestShared || text.isEmpty()) return;
    const std::less<const QChar*> before;
    const QChar* begin = source->constData();
    const bool inside =
        !before(text.data(), begin) && !before(begin + source->size(), text.data() + text.size());
    Q_ASSERT(inside);
    if (!inside) return;
    mDoc.mSource = *source;
    mDoc.mValueBase = static_cast<std::uint32_t>(source->size());
    mSourceOffset = text.data() - begin;
    mShared = true;
  }

  void Run() {
    ParserHandle parser(XML_ParserCreate("UTF-8"));
    if (!parser) {
      mDoc.mReason = Describe(XML_ERROR_NO_MEMORY);
      return;
    }
    mParser = parser.get();
    XML_SetUserData(mParser, this);
    XML_SetParamEntityParsing(mParser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(mParser, &Guarded<&XmlRowBuilder::OnStart>::Call,
                          &Guarded<&XmlRowBuilder::OnEnd>::Call);
    XML_SetCharacterDataHandler(mParser, &Guarded<&XmlRowBuilder::OnText>::Call);
    XML_SetCommentHandler(mParser, &Guarded<&XmlRowBuilder::OnComment>::Call);
    XML_SetProcessingInstructionHandler(mParser, &Guarded<&XmlRowBuilder::OnInstruction>::Call);
    XML_SetCdataSectionHandler(mParser, &Guarded<&XmlRowBuilder::OnCDataStart>::Call,
                               &Guarded<&XmlRowBuilder::OnCDataEnd>::Call);
    XML_SetStartDoctypeDeclHandler(mParser, &Guarded<&XmlRowBuilder::OnDoctype>::Call);
    if (!mShared) {
      // Every value is decoded into one buffer. A value never takes more UTF-16 units than its
      // source text, so the document's length bounds them all.
      mDoc.mValues.resize(mText.size());
      AdviseLargeWrite(mDoc.mValues.data(), static_cast<std::size_t>(mText.size()) * sizeof(QChar));
    }

    // The text is encoded straight into expat's own buffer, sized exactly (Parse has refused
    // unpaired surrogates), a piece at a time so that the buffer stays small and in cache. A
    // piece never ends inside a surrogate pair. A token that spans pieces is scanned again
    // from its start with each piece, so after a piece that completes no event the next one is
    // twice as long: the rescans then cost at most twice the token's own length. The largest
    // piece still fits expat's int lengths at three bytes a unit.
    constexpr qsizetype kPiece = qsizetype{1} << 16;
    constexpr qsizetype kLargestPiece = qsizetype{1} << 26;
    bool ok = true;
    if (mText.isEmpty()) {
      ok = XML_Parse(mParser, "", 0, XML_TRUE) == XML_STATUS_OK;
    }
    qsizetype piece = kPiece;
    for (qsizetype at = 0; ok && at < mText.size();) {
      qsizetype end = std::min(mText.size(), at + piece);
      if (end < mText.size() && mText[end - 1].isHighSurrogate()) --end;
      const QStringView units = mText.sliced(at, end - at);
      const qsizetype bytes = detail::Utf8Length(units.utf16(), units.size());
      mPieces.push_back({at, mBytesFed, bytes == units.size()});
      auto* buffer = static_cast<char*>(XML_GetBuffer(mParser, static_cast<int>(bytes)));
      if (buffer == nullptr) {
        ok = false;
        break;
      }
      const char* written = mEncoder.appendToBuffer(buffer, units);
      Q_ASSERT(written - buffer == bytes);
      mBytesFed += bytes;
      at = end;
      mEvents = false;
      ok = XML_ParseBuffer(mParser, static_cast<int>(written - buffer),
                           at == mText.size() ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
      piece = mEvents ? kPiece : std::min(piece * 2, kLargestPiece);
      if (ok && mPieces.size() == 1 && at < mText.size()) ReserveFor(at);
    }

    if (!ok) {
      const auto [line, column] = LineAndColumn(mText.toUtf8(), XML_GetCurrentByteIndex(mParser));
      const XML_Error code = XML_GetErrorCode(mParser);
      QString what;
      if (mStop == Stop::Doctype) {
        what = QStringLiteral(
            "The document holds a document type declaration (DOCTYPE), which is not accepted");
      } else if (mStop == Stop::TooLarge || mStop == Stop::OutOfMemory) {
        what = Describe(XML_ERROR_NO_MEMORY);
      } else if (mStop == Stop::Failure) {
        what = QStringLiteral("The document could not be read: the reader failed");
      } else if (code == XML_ERROR_NO_ELEMENTS && mDepth > 0) {
        // expat reports elements left open at the end as "no element found".
        what = QStringLiteral("The document ends before its elements are closed");
      } else {
        what = Describe(code);
      }
      mDoc.mReason = QStringLiteral("%1, at line %2, column %3.").arg(what).arg(line).arg(column);
      mDoc.mErrorLine = line;
      mDoc.mErrorColumn = column;
      mDoc.mRows.clear();
      mDoc.mAttributes.clear();
      mDoc.mNames.clear();
      mDoc.mValues.clear();
      mDoc.mSource.clear();
      mDoc.mValueBase = 0;
    }
    parser.reset();
    mParser = nullptr;
    if (ok) mDoc.mValues.truncate(mFilled);
    mDoc.mValues.squeeze();
  }

  // Why a handler stopped the parse.
  enum class Stop : std::uint8_t { None, Doctype, TooLarge, OutOfMemory, Failure };

  // The handler that expat calls. An exception never unwinds through expat: it stops the parse
  // instead, which then fails with a reason. Once stopped, the events that expat still
  // delivers are ignored.
  template <auto Handler>
  struct Guarded;
  template <typename... Args, void (XmlRowBuilder::*Handler)(Args...)>
  struct Guarded<Handler> {
    static void Call(void* data, Args... args) {
      auto& self = *static_cast<XmlRowBuilder*>(data);
      if (self.mStop != Stop::None) return;
      self.mEvents = true;
      try {
        (self.*Handler)(args...);
      } catch (const std::bad_alloc&) {
        self.StopParse(Stop::OutOfMemory);
      } catch (...) {
        self.StopParse(Stop::Failure);
      }
    }
  };

  void StopParse(Stop why) {
    mStop = why;
    XML_StopParser(mParser, XML_FALSE);
  }

  // Makes room for the rows and attributes that the whole text should hold, judged by the
  // first piece, so that the storage of a large document is not copied as it grows. Only an
  // estimate: a document that holds more still grows, and room that cannot be had is not
  // needed.
  void ReserveFor(qsizetype parsed) {
    const double scale = static_cast<double>(mText.size()) / static_cast<double>(parsed) * 1.05;
    try {
      const auto rows = static_cast<std::size_t>(static_cast<double>(mDoc.mRows.size()) * scale);
      if (rows > mDoc.mRows.capacity()) mDoc.mRows.reserve(rows);
      const auto attributes =
          static_cast<std::size_t>(static_cast<double>(mDoc.mAttributes.size()) * scale);
      if (attributes > mDoc.mAttributes.capacity()) mDoc.mAttributes.reserve(attributes);
    } catch (const std::bad_alloc&) {
    }
  }

  // The position in the text of a byte of its UTF-8 form. Pieces of plain ASCII map directly;
  // in others a cursor walks forward from the last position asked for.
  qsizetype UnitAt(qint64 byte) {
    if (byte < 0 || mPieces.empty()) return -1;
    std::size_t i = mPieces.size() - 1;
    while (i > 0 && mPieces[i].byte > byte) --i;
    const Piece& piece = mPieces[i];
    if (piece.ascii) return piece.unit + static_cast<qsizetype>(byte - piece.byte);
    if (mCursorPiece != i || mCursorByte > byte) {
      mCursorPiece = i;
      mCursorUnit = piece.unit;
      mCursorByte = piece.byte;
    }
    const char16_t* units = mText.utf16();
    while (mCursorByte < byte && mCursorUnit < mText.size()) {
      const char16_t u = units[mCursorUnit];
      if (QChar::isHighSurrogate(u)) {
        mCursorByte += 4;
        mCursorUnit += 2;
      } else {
        mCursorByte += 1 + (u >= 0x80) + (u >= 0x800);
        ++mCursorUnit;
      }
    }
    return mCursorByte == byte ? mCursorUnit : -1;
  }

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

  // Copies a value into the value buffer; returns its offset there, or -1 when the document
  // is too large for the 32-bit offsets.
  qsizetype CopyValue(const char* value, qsizetype length) {
    const qsizetype offset = mFilled;
    QString& values = mDoc.mValues;
    if (mShared && length > values.size() - offset) {
      values.resize(std::max(offset + length, values.size() * 2));
    }
    qsizetype units = 0;
    if (length <= values.size() - offset) {
      units = Decode(value, length, values.data() + offset);
    } else {
      // More bytes than units are left: only non-ASCII text, which takes fewer units than bytes.
      const QString decoded = QString::fromUtf8(value, length);
      units = decoded.size() <= values.size() - offset ? decoded.size() : -1;
      if (units >= 0) std::copy(decoded.begin(), decoded.end(), values.data() + offset);
    }
    if (units < 0 || mDoc.mValueBase + offset + units > qsizetype{0xFFFFFFFF}) return -1;
    mFilled += units;
    return offset;
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
    if (position < mRecent.size() &&
        std::strcmp(mRecent[position].first.c_str(), qualifiedName) == 0) {
      return mRecent[position].second;
    }
    const std::string_view qualified(qualifiedName);
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

  // A row's values are views into the shared source where they read exactly as they stand
  // there, and copies otherwise.
  void OnStart(const XML_Char* /*name*/, const XML_Char** atts) {
    ++mDepth;
    if (mDepth != 2) return;
    FlushText();
    AddRow(NodeKind::Element);
    auto& row = mDoc.mRows.back();
    TagReader tag(mText, mShared ? UnitAt(XML_GetCurrentByteIndex(mParser)) : -1);
    std::size_t position = 0;
    for (const XML_Char** a = atts; *a != nullptr; a += 2, ++position) {
      const std::uint32_t nameIndex = Intern(a[0], position);
      const auto length = static_cast<qsizetype>(std::strlen(a[1]));
      QStringView raw;
      qsizetype offset = 0;
      qsizetype units = 0;
      if (tag.Next(&raw) && SameText(a[1], length, raw)) {
        offset = mSourceOffset + (raw.data() - mText.data());
        units = raw.size();
      } else {
        offset = CopyValue(a[1], length);
        if (offset < 0) {
          StopParse(Stop::TooLarge);
          return;
        }
        units = mFilled - offset;
        offset += mDoc.mValueBase;
      }
      mDoc.mAttributes.push_back(
          {nameIndex, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(units)});
      ++row.count;
    }
  }

  void OnEnd(const XML_Char* /*name*/) {
    if (mDepth == 1) FlushText();
    --mDepth;
  }

  void OnText(const XML_Char* text, int length) {
    if (mDepth != 1 || mInCData) return;
    for (int i = 0; i < length && !mTextNonBlank; ++i) {
      if (!IsXmlBlank(static_cast<unsigned char>(text[i]))) mTextNonBlank = true;
    }
  }

  void OnComment(const XML_Char* /*text*/) {
    if (mDepth != 1) return;
    FlushText();
    AddRow(NodeKind::Comment);
  }

  void OnInstruction(const XML_Char* /*target*/, const XML_Char* /*text*/) {
    if (mDepth != 1) return;
    FlushText();
    AddRow(NodeKind::ProcessingInstruction);
  }

  void OnCDataStart() {
    if (mDepth != 1) return;
    FlushText();
    AddRow(NodeKind::CData);
    mInCData = true;
  }

  void OnCDataEnd() { mInCData = false; }

  void OnDoctype(const XML_Char*, const XML_Char*, const XML_Char*, int) {
    StopParse(Stop::Doctype);
  }

  // Where a piece of the text starts, in units and in bytes of UTF-8.
  struct Piece {
    qsizetype unit;
    qint64 byte;
    bool ascii;
  };

  XmlDocument& mDoc;
  QStringView mText;
  bool mShared = false;
  qsizetype mSourceOffset = 0;  // where mText starts in the shared source
  QStringDecoder mDecoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
  QStringEncoder mEncoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
  XML_Parser mParser = nullptr;
  Stop mStop = Stop::None;
  bool mEvents = false;  // whether the current piece completed an event
  int mDepth = 0;
  bool mTextNonBlank = false;
  bool mInCData = false;
  std::unordered_map<std::string, std::uint32_t> mNameIndex;
  static constexpr std::size_t kRecentPositions = 64;
  std::vector<std::pair<std::string, std::uint32_t>> mRecent;  // qualified name by position
  qsizetype mFilled = 0;                                       // units of mValues in use
  std::vector<Piece> mPieces;
  qint64 mBytesFed = 0;
  std::size_t mCursorPiece = static_cast<std::size_t>(-1);
  qsizetype mCursorUnit = 0;
  qint64 mCursorByte = 0;
};

std::shared_ptr<const XmlDocument> XmlDocument::Parse(
    QStringView text, std::shared_ptr<const XmlDocument>* previous) {
  return XmlRowBuilder::Parse(text, nullptr, previous);
}

std::shared_ptr<const XmlDocument> XmlDocument::Parse(
    const QString& source, QStringView text, std::shared_ptr<const XmlDocument>* previous) {
  return XmlRowBuilder::Parse(text, &source, previous);
}

QString XmlDocument::ParseErrorReason(QStringView documentName) const {
  static const QLatin1String kSubject("The document");
  if (!mReason.startsWith(kSubject)) return mReason;
  QString reason = QStringLiteral("The ");
  reason += documentName;
  reason += QStringView(mReason).sliced(kSubject.size());
  return reason;
}

QStringView XmlDocument::AttributeName(int row, int attribute) const {
  return mNames[mAttributes[mRows[row].first + attribute].name];
}

QStringView XmlDocument::AttributeValue(int row, int attribute) const {
  const Attribute& a = mAttributes[mRows[row].first + attribute];
  if (a.offset < mValueBase) return QStringView(mSource).sliced(a.offset, a.length);
  return QStringView(mValues).sliced(a.offset - mValueBase, a.length);
}

}  // namespace varnex::platform
