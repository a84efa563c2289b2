#include "platform/xml_document.h"

#include "platform/memory_advice.h"
#include "platform/text_scan.h"
#include "platform/xml_names.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace varnex::platform {
namespace {

// What makes a document not well-formed, or unreadable.
enum class Fault : std::uint8_t {
  NoRoot,
  Invalid,
  EndsInMarkup,
  EndsOpen,
  TagMismatch,
  DuplicateAttribute,
  AfterRoot,
  UndefinedEntity,
  BadCharacterReference,
  MisplacedDeclaration,
  MalformedDeclaration,
  OpenCData,
  Doctype,
  TooLarge,
};

QString Describe(Fault fault) {
  switch (fault) {
    case Fault::NoRoot: return QStringLiteral("The document has no root element");
    case Fault::Invalid:
      return QStringLiteral(
          "The document is not well-formed (a character or markup that is not allowed here)");
    case Fault::EndsInMarkup:
      return QStringLiteral("The document ends inside a tag or other markup");
    case Fault::EndsOpen: return QStringLiteral("The document ends before its elements are closed");
    case Fault::TagMismatch:
      return QStringLiteral(
          "The document has an end tag that does not match the start tag that is open");
    case Fault::DuplicateAttribute:
      return QStringLiteral("The document has an element that carries the same attribute twice");
    case Fault::AfterRoot:
      return QStringLiteral("The document has text or markup after the end of its root element");
    case Fault::UndefinedEntity:
      return QStringLiteral(
          "The document has an entity reference to an entity that is not defined");
    case Fault::BadCharacterReference:
      return QStringLiteral(
          "The document has a character reference to a character that is not allowed");
    case Fault::MisplacedDeclaration:
      return QStringLiteral("The document has an XML declaration that is not at its very start");
    case Fault::MalformedDeclaration:
      return QStringLiteral("The document has a malformed XML declaration");
    case Fault::OpenCData:
      return QStringLiteral("The document has a CDATA section that is not closed");
    case Fault::Doctype:
      return QStringLiteral(
          "The document holds a document type declaration (DOCTYPE), which is not accepted");
    case Fault::TooLarge: return QStringLiteral("The document is too large to be read");
  }
  return {};
}

// Whether the `length` units at `text` are those of `name`. Names are short and compared once
// per attribute, so four units at a time in line, the last four overlapping the ones before.
bool SameUnits(const char16_t* text, qsizetype length, const QString& name) {
  if (length != name.size()) return false;
  const auto* units = reinterpret_cast<const char16_t*>(name.constData());
  const auto four = [](const char16_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
  };
  if (length < 4) {
    for (qsizetype k = 0; k < length; ++k) {
      if (text[k] != units[k]) return false;
    }
    return true;
  }
  for (qsizetype k = 0; k + 4 < length; k += 4) {
    if (four(text + k) != four(units + k)) return false;
  }
  return four(text + length - 4) == four(units + length - 4);
}

constexpr bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Whether a character reference names a character that a document may hold.
constexpr bool IsXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Position of a unit as 1-based line and column, counting characters (a surrogate pair is one).
std::pair<qint64, qint64> LineAndColumn(QStringView text, qsizetype at) {
  at = std::clamp<qsizetype>(at, 0, text.size());
  const char16_t* units = text.utf16();
  qint64 line = 1;
  qsizetype lineStart = 0;
  for (qsizetype i = detail::FindEither(units, 0, at, u'\n', u'\n'); i < at;
       i = detail::FindEither(units, i + 1, at, u'\n', u'\n')) {
    ++line;
    lineStart = i + 1;
  }
  qint64 column = 1;
  for (qsizetype i = lineStart; i < at; ++i) {
    if (!(QChar::isLowSurrogate(units[i]) && i > lineStart && QChar::isHighSurrogate(units[i - 1])))
      ++column;
  }
  return {line, column};
}

// Thrown inside the reader when the document is found not well-formed; the fault is kept.
struct NotWellFormed {};

}  // namespace

// Reads a document into its rows in one pass over the UTF-16 text, checking it as it goes.
// Values stand as views into the shared source where they read as they stand there, and are
// copied (normalised, references resolved) otherwise.
class XmlRowBuilder {
 public:
  // Parses `text` into a new document; `source`, when given, is the text it is a piece of.
  static std::shared_ptr<const XmlDocument> Parse(QStringView text, const QString* source,
                                                  std::shared_ptr<const XmlDocument>* previous) {
    auto doc = std::make_shared<XmlDocument>();
    if (previous != nullptr) previous->reset();
    // A document that holds units no XML text may hold is not text at all (a binary file,
    // a string with a NUL); that is said first. An unpaired surrogate is no character either.
    if (const qsizetype at = detail::FindNonCharacter(text.utf16(), text.size());
        at < text.size()) {
      const auto [line, column] = LineAndColumn(text, at);
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
      : mDoc(doc), mText(text), s(text.utf16()), n(text.size()) {
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
    try {
      if (!mShared) {
        // Every value is copied into one buffer. A value never takes more units than its
        // source text, so the document's length bounds them all.
        mDoc.mValues.resize(n);
        AdviseLargeWrite(mDoc.mValues.data(), static_cast<std::size_t>(n) * sizeof(QChar));
      }
      Document();
    } catch (const NotWellFormed&) {
    } catch (const std::bad_alloc&) {
      mFault = Fault::TooLarge;
      mFaultAt = i;
      mFailed = true;
    }
    if (mFailed) {
      // Let the partial rows go before the reason is put together.
      decltype(mDoc.mRows)().swap(mDoc.mRows);
      decltype(mDoc.mAttributes)().swap(mDoc.mAttributes);
      std::vector<QString>().swap(mDoc.mNames);
      mDoc.mValues = QString();
      mDoc.mSource = QString();
      mDoc.mValueBase = 0;
      mOpen = {};
      mTagNames = {};
      const auto [line, column] = LineAndColumn(mText, mFaultAt);
      mDoc.mReason =
          QStringLiteral("%1, at line %2, column %3.").arg(Describe(mFault)).arg(line).arg(column);
      mDoc.mErrorLine = line;
      mDoc.mErrorColumn = column;
      return;
    }
    mDoc.mValues.truncate(mFilled);
    mDoc.mValues.squeeze();
  }

  [[noreturn]] void Fail(Fault fault, qsizetype at) {
    mFault = fault;
    mFaultAt = at;
    mFailed = true;
    throw NotWellFormed{};
  }

  bool StartsWith(qsizetype at, std::u16string_view what) const {
    return n - at >= static_cast<qsizetype>(what.size()) &&
           std::memcmp(s + at, what.data(), what.size() * sizeof(char16_t)) == 0;
  }

  // Fails for markup cut short by the end of the text, or for markup of no kind allowed here.
  [[noreturn]] void FailMarkup(qsizetype at, std::u16string_view expected) {
    const qsizetype left = n - at;
    if (left < static_cast<qsizetype>(expected.size()) &&
        std::memcmp(s + at, expected.data(), static_cast<std::size_t>(left) * 2) == 0) {
      Fail(Fault::EndsInMarkup, n);
    }
    Fail(Fault::Invalid, at);
  }

  void SkipBlanks() {
    while (i < n && IsBlank(s[i])) ++i;
  }

  void Need(qsizetype at) {
    if (at >= n) Fail(Fault::EndsInMarkup, n);
  }

  // A name from i on; i is left past it.
  void Name() {
    Need(i);
    if (!detail::IsNameStart(s[i])) Fail(Fault::Invalid, i);
    ++i;
    while (i < n && detail::IsNameChar(s[i])) ++i;
  }

  void Document() {
    if (n > 0 && s[0] == 0xFEFF) i = 1;  // a byte-order mark
    const qsizetype declarationAt = i;
    // The prolog: comments, processing instructions and blanks, with the XML declaration
    // first of all if there is one.
    for (;;) {
      SkipBlanks();
      if (i == n) Fail(Fault::NoRoot, n);
      if (s[i] != u'<') Fail(Fault::Invalid, i);
      Need(i + 1);
      if (s[i + 1] == u'?') {
        Instruction(i == declarationAt);
      } else if (s[i + 1] == u'!') {
        if (StartsWith(i, u"<!--")) {
          Comment();
        } else if (StartsWith(i, u"<!DOCTYPE")) {
          Fail(Fault::Doctype, i);
        } else {
          FailMarkup(i, u"<!--");
        }
      } else {
        break;
      }
    }
    Elements();
    // After the root element: comments, processing instructions and blanks only.
    for (;;) {
      SkipBlanks();
      if (i == n) return;
      if (StartsWith(i, u"<?")) {
        Instruction(false);
      } else if (StartsWith(i, u"<!--")) {
        Comment();
      } else {
        Fail(Fault::AfterRoot, i);
      }
    }
  }

  // The root element and all it holds, from its "<" to past its end tag.
  void Elements() {
    StartTag();
    while (!mOpen.empty()) {
      if (mOpen.size() == 1) {
        // Text among the rows forms a node unless it is blank.
        while (i < n && s[i] != u'<' && s[i] != u'&') {
          if (s[i] == u']') NoCDataEnd();
          if (!IsBlank(s[i])) mTextNonBlank = true;
          ++i;
        }
      } else {
        i = detail::FindDataStop(s, i, n);
        if (i < n && s[i] == u']') {
          NoCDataEnd();
          ++i;
          continue;
        }
      }
      if (i == n) Fail(Fault::EndsOpen, n);
      if (s[i] == u'&') {
        const char32_t c = Reference();
        if (mOpen.size() == 1 && !(c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')) {
          mTextNonBlank = true;
        }
        continue;
      }
      Need(i + 1);
      const bool rowLevel = mOpen.size() == 1;
      switch (s[i + 1]) {
        case u'/': EndTag(); break;
        case u'?':
          if (rowLevel) AddRow(NodeKind::ProcessingInstruction);
          Instruction(false);
          break;
        case u'!':
          if (StartsWith(i, u"<!--")) {
            if (rowLevel) AddRow(NodeKind::Comment);
            Comment();
          } else if (StartsWith(i, u"<![CDATA[")) {
            if (rowLevel) AddRow(NodeKind::CData);
            CData();
          } else {
            FailMarkup(i, i + 2 < n && s[i + 2] == u'-' ? std::u16string_view(u"<!--")
                                                        : std::u16string_view(u"<![CDATA["));
          }
          break;
        default:
          if (rowLevel) FlushText();
          StartTag();
          break;
      }
    }
  }

  // Character data must not hold "]]>"; s[i] is a "]".
  void NoCDataEnd() {
    if (StartsWith(i, u"]]>")) Fail(Fault::Invalid, i);
  }

  void StartTag() {
    ++i;  // "<"
    const qsizetype nameStart = i;
    Name();
    const qsizetype nameLength = i - nameStart;
    const bool row = mOpen.size() == 1;
    bool recent = true;  // whether every attribute's name is the one last seen at its place
    if (row) {
      AddRow(NodeKind::Element);
      mDoc.mRows.back().name = InternElement(QStringView(s + nameStart, nameLength));
    }
    mTagNames.clear();
    for (;;) {
      Need(i);
      if (IsBlank(s[i])) {
        SkipBlanks();
        Need(i);
        if (detail::IsNameStart(s[i])) {
          recent = Attribute(row) && recent;
          continue;
        }
      }
      if (s[i] == u'>') {
        ++i;
        mOpen.push_back({nameStart, nameLength});
        break;
      }
      if (s[i] == u'/') {
        Need(i + 1);
        if (s[i + 1] != u'>') Fail(Fault::Invalid, i + 1);
        i += 2;
        break;
      }
      Fail(Fault::Invalid, i);
    }
    if (mTagNames.size() > 1) {
      if (!(row && recent && mTagNames.size() <= mRecentDistinct)) NoDuplicates();
    }
    if (row) {
      mRecentDistinct = mTagNames.size() <= kRecentPositions ? mTagNames.size() : 0;
      if (mDoc.mRows.size() == kRowsForEstimate) ReserveFor(i);
    }
  }

  void NoDuplicates() {
    const std::size_t count = mTagNames.size();
    const auto name = [&](std::size_t k) {
      return std::u16string_view(s + mTagNames[k].first,
                                 static_cast<std::size_t>(mTagNames[k].second));
    };
    if (count <= 16) {
      for (std::size_t a = 1; a < count; ++a) {
        for (std::size_t b = 0; b < a; ++b) {
          if (name(a) == name(b)) Fail(Fault::DuplicateAttribute, mTagNames[a].first);
        }
      }
      return;
    }
    std::unordered_set<std::u16string_view> seen;
    seen.reserve(count);
    for (std::size_t a = 0; a < count; ++a) {
      if (!seen.insert(name(a)).second) Fail(Fault::DuplicateAttribute, mTagNames[a].first);
    }
  }

  // One attribute from its name on; true when the name is the one last seen at its place in a
  // row. The value is kept when the element is a row.
  bool Attribute(bool row) {
    const qsizetype nameStart = i;
    const std::size_t position = mTagNames.size();
    // A row's attribute mostly has the name that the row before had at its place: those units,
    // followed by one that cannot continue a name, are that name, whose characters were
    // checked when it was first read.
    bool recent = false;
    if (row && position < mRecent.size()) {
      const QString& known = mRecent[position].first;
      const qsizetype end = i + known.size();
      if (end < n && SameUnits(s + i, known.size(), known) && !detail::IsNameChar(s[end])) {
        i = end;
        recent = true;
      }
    }
    if (!recent) {
      Name();
      recent = row && position < mRecent.size() &&
               SameUnits(s + nameStart, i - nameStart, mRecent[position].first);
    }
    const qsizetype nameLength = i - nameStart;
    mTagNames.push_back({nameStart, nameLength});
    SkipBlanks();
    Need(i);
    if (s[i] != u'=') Fail(Fault::Invalid, i);
    ++i;
    SkipBlanks();
    Need(i);
    const char16_t quote = s[i];
    if (quote != u'"' && quote != u'\'') Fail(Fault::Invalid, i);
    ++i;
    std::uint32_t nameIndex = 0;
    if (row) {
      nameIndex = recent ? mRecent[position].second
                         : Intern(QStringView(s + nameStart, nameLength), position);
    }
    const qsizetype valueStart = i;
    qsizetype stop = detail::FindValueStop(s, i, n, quote);
    if (stop < n && s[stop] == quote) {
      // The value reads as it stands.
      i = stop + 1;
      if (row) {
        if (mShared) {
          AddAttribute(nameIndex, mSourceOffset + valueStart, stop - valueStart);
        } else {
          const qsizetype offset = mFilled;
          Append(s + valueStart, stop - valueStart);
          AddAttribute(nameIndex, mDoc.mValueBase + offset, mFilled - offset);
        }
      }
      return recent;
    }
    // The value needs normalising: blanks and line ends become spaces, references resolve.
    const qsizetype offset = mFilled;
    for (;;) {
      if (row) Append(s + i, stop - i);
      i = stop;
      Need(i);
      const char16_t c = s[i];
      if (c == quote) {
        ++i;
        break;
      }
      if (c == u'<') Fail(Fault::Invalid, i);
      if (c == u'&') {
        const char32_t resolved = Reference();
        if (row) AppendCharacter(resolved);
      } else {
        // A tab or a line end; a carriage return and line feed are one line end.
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
        ++i;
        if (row) {
          const char16_t blank = u' ';
          Append(&blank, 1);
        }
      }
      stop = detail::FindValueStop(s, i, n, quote);
    }
    if (row) AddAttribute(nameIndex, mDoc.mValueBase + offset, mFilled - offset);
    return recent;
  }

  void EndTag() {
    i += 2;  // "</"
    const qsizetype nameStart = i;
    Name();
    const auto [openStart, openLength] = mOpen.back();
    if (i - nameStart != openLength ||
        std::memcmp(s + nameStart, s + openStart, static_cast<std::size_t>(openLength) * 2) != 0) {
      Fail(Fault::TagMismatch, nameStart);
    }
    SkipBlanks();
    Need(i);
    if (s[i] != u'>') Fail(Fault::Invalid, i);
    ++i;
    if (mOpen.size() == 1) FlushText();
    mOpen.pop_back();
  }

  // A character or entity reference from its "&" on; gives the character it stands for.
  char32_t Reference() {
    const qsizetype at = i;
    ++i;
    Need(i);
    if (s[i] == u'#') {
      ++i;
      const bool hex = i < n && s[i] == u'x';
      if (hex) ++i;
      char32_t value = 0;
      qsizetype digits = 0;
      for (; i < n; ++i, ++digits) {
        const char16_t c = s[i];
        int digit = -1;
        if (c >= u'0' && c <= u'9') {
          digit = c - u'0';
        } else if (hex && c >= u'a' && c <= u'f') {
          digit = c - u'a' + 10;
        } else if (hex && c >= u'A' && c <= u'F') {
          digit = c - u'A' + 10;
        } else {
          break;
        }
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) Fail(Fault::BadCharacterReference, at);
      }
      Need(i);
      if (digits == 0 || s[i] != u';') Fail(Fault::Invalid, i);
      ++i;
      if (!IsXmlCharacter(value)) Fail(Fault::BadCharacterReference, at);
      return value;
    }
    const qsizetype nameStart = i;
    Name();
    Need(i);
    if (s[i] != u';') Fail(Fault::Invalid, i);
    const QStringView name(s + nameStart, i - nameStart);
    ++i;
    if (name == u"amp") return u'&';
    if (name == u"lt") return u'<';
    if (name == u"gt") return u'>';
    if (name == u"quot") return u'"';
    if (name == u"apos") return u'\'';
    Fail(Fault::UndefinedEntity, at);
  }

  void Comment() {
    i += 4;  // "<!--"
    for (;;) {
      const qsizetype dash = detail::FindEither(s, i, n, u'-', u'-');
      if (dash + 1 >= n) Fail(Fault::EndsInMarkup, n);
      if (s[dash + 1] == u'-') {
        // "--" ends the comment and must be followed by ">".
        Need(dash + 2);
        if (s[dash + 2] != u'>') Fail(Fault::Invalid, dash);
        i = dash + 3;
        return;
      }
      i = dash + 1;
    }
  }

  // A processing instruction, or the XML declaration where `declaration` allows one.
  void Instruction(bool declaration) {
    const qsizetype start = i;
    i += 2;  // "<?"
    const qsizetype target = i;
    Name();
    if (i - target == 3 && (s[target] | 0x20) == u'x' && (s[target + 1] | 0x20) == u'm' &&
        (s[target + 2] | 0x20) == u'l') {
      // "xml" in any case is reserved: in lower case it is the declaration, which stands first.
      if (!StartsWith(target, u"xml")) Fail(Fault::Invalid, target);
      if (!declaration) Fail(Fault::MisplacedDeclaration, start);
      XmlDeclaration(start);
      return;
    }
    Need(i);
    if (s[i] == u'?') {
      Need(i + 1);
      if (s[i + 1] != u'>') Fail(Fault::Invalid, i + 1);
      i += 2;
      return;
    }
    if (!IsBlank(s[i])) Fail(Fault::Invalid, i);
    i = InstructionEnd(i) + 2;
  }

  // The position of the "?>" that ends an instruction, from `from` on.
  qsizetype InstructionEnd(qsizetype from) {
    for (;;) {
      const qsizetype mark = detail::FindEither(s, from, n, u'?', u'?');
      if (mark + 1 >= n) Fail(Fault::EndsInMarkup, n);
      if (s[mark + 1] == u'>') return mark;
      from = mark + 1;
    }
  }

  // The declaration's pseudo-attributes: version, then optionally encoding, then optionally
  // standalone, each with a value of ASCII letters, digits, ".", "-" and "_". i stands past
  // "<?xml".
  void XmlDeclaration(qsizetype start) {
    Need(i);
    qsizetype end = 0;
    if (s[i] == u'?') {
      Need(i + 1);
      if (s[i + 1] != u'>') Fail(Fault::Invalid, i + 1);
      Fail(Fault::MalformedDeclaration, start);
    }
    if (!IsBlank(s[i])) Fail(Fault::Invalid, i);
    end = InstructionEnd(i);
    PseudoAttribute a;
    qsizetype p = i;
    const auto bad = [&](qsizetype at) { Fail(Fault::MalformedDeclaration, at); };
    if (!ReadPseudoAttribute(p, end, a) || !a.present) bad(p);
    if (a.name != u"version") bad(a.nameAt);
    if (!ReadPseudoAttribute(p, end, a)) bad(p);
    if (a.present && a.name == u"encoding") {
      const char16_t first = a.value.isEmpty() ? u'"' : a.value.front().unicode();
      if (!((first >= u'a' && first <= u'z') || (first >= u'A' && first <= u'Z'))) bad(a.valueAt);
      if (!ReadPseudoAttribute(p, end, a)) bad(p);
    }
    if (a.present) {
      if (a.name != u"standalone") bad(a.nameAt);
      if (a.value != u"yes" && a.value != u"no") bad(a.valueAt);
      while (p < end && IsBlank(s[p])) ++p;
      if (p != end) bad(p);
    }
    i = end + 2;
  }

  struct PseudoAttribute {
    bool present = false;
    QStringView name;
    QStringView value;
    qsizetype nameAt = 0;
    qsizetype valueAt = 0;
  };

  // One pseudo-attribute of the declaration between p and end, with the blanks before it;
  // false when it is malformed, with p where it went wrong. None is there when only blanks are.
  bool ReadPseudoAttribute(qsizetype& p, qsizetype end, PseudoAttribute& a) {
    a.present = false;
    if (p == end) return true;
    if (!IsBlank(s[p])) return false;
    while (p < end && IsBlank(s[p])) ++p;
    if (p == end) return true;
    a.nameAt = p;
    qsizetype nameEnd = 0;
    for (;;) {
      if (p == end || s[p] >= 0x80) return false;
      if (s[p] == u'=') {
        nameEnd = p;
        break;
      }
      if (IsBlank(s[p])) {
        nameEnd = p;
        while (p < end && IsBlank(s[p])) ++p;
        if (p == end || s[p] != u'=') return false;
        break;
      }
      ++p;
    }
    if (nameEnd == a.nameAt) return false;
    a.name = QStringView(s + a.nameAt, nameEnd - a.nameAt);
    ++p;  // "="
    while (p < end && IsBlank(s[p])) ++p;
    if (p == end || (s[p] != u'"' && s[p] != u'\'')) return false;
    const char16_t quote = s[p++];
    a.valueAt = p;
    for (;; ++p) {
      if (p == end) return false;
      const char16_t c = s[p];
      if (c == quote) break;
      if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
            c == u'.' || c == u'-' || c == u'_')) {
        return false;
      }
    }
    a.value = QStringView(s + a.valueAt, p - a.valueAt);
    ++p;
    a.present = true;
    return true;
  }

  void CData() {
    const qsizetype start = i;
    i += 9;  // "<![CDATA["
    for (;;) {
      const qsizetype bracket = detail::FindEither(s, i, n, u']', u']');
      if (bracket == n) Fail(Fault::OpenCData, start);
      if (StartsWith(bracket, u"]]>")) {
        i = bracket + 3;
        return;
      }
      i = bracket + 1;
    }
  }

  void AddRow(NodeKind kind) {
    FlushText();
    mDoc.mRows.push_back(
        {kind, XmlDocument::kNoName, static_cast<std::uint32_t>(mDoc.mAttributes.size()), 0});
  }

  // Text directly under the root forms a node unless it is whitespace only.
  void FlushText() {
    if (!mTextNonBlank) return;
    mTextNonBlank = false;
    AddRow(NodeKind::Text);
  }

  void AddAttribute(std::uint32_t name, qsizetype offset, qsizetype length) {
    if (offset + length > qsizetype{0xFFFFFFFF}) Fail(Fault::TooLarge, i);
    mDoc.mAttributes.push_back(
        {name, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
    ++mDoc.mRows.back().count;
  }

  void Append(const char16_t* units, qsizetype count) {
    QString& values = mDoc.mValues;
    if (count > values.size() - mFilled) {
      values.resize(std::max(mFilled + count, std::max<qsizetype>(values.size() * 2, 4096)));
    }
    std::memcpy(static_cast<void*>(values.data() + mFilled), units,
                static_cast<std::size_t>(count) * 2);
    mFilled += count;
  }

  void AppendCharacter(char32_t c) {
    if (c < 0x10000) {
      const auto unit = static_cast<char16_t>(c);
      Append(&unit, 1);
    } else {
      const char16_t pair[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
      Append(pair, 2);
    }
  }

  // Rows nearly always repeat the attributes of the row before in the same order, so the name
  // at each position is first checked against the one last seen there (by the caller).
  std::uint32_t Intern(QStringView qualified, std::size_t position) {
    const std::uint32_t index = InternLocalName(qualified);
    if (position < kRecentPositions) {
      if (position >= mRecent.size()) mRecent.resize(position + 1);
      mRecent[position] = {qualified.toString(), index};
    }
    return index;
  }

  std::uint32_t InternElement(QStringView qualified) {
    if (qualified == QStringView(mRecentElement.first)) return mRecentElement.second;
    const std::uint32_t index = InternLocalName(qualified);
    mRecentElement = {qualified.toString(), index};
    return index;
  }

  std::uint32_t InternLocalName(QStringView name) {
    if (const qsizetype colon = name.lastIndexOf(u':'); colon >= 0) {
      name = name.sliced(colon + 1);
    }
    std::u16string local(name.utf16(), static_cast<std::size_t>(name.size()));
    if (const auto it = mNameIndex.find(local); it != mNameIndex.end()) return it->second;
    const auto index = static_cast<std::uint32_t>(mDoc.mNames.size());
    mDoc.mNames.push_back(name.toString());
    mNameIndex.emplace(std::move(local), index);
    return index;
  }

  // Makes room for the rows and attributes that the whole text should hold, judged by the
  // part read so far, so that the storage of a large document is not copied as it grows. Only
  // an estimate: a document that holds more still grows, and room that cannot be had is not
  // needed.
  void ReserveFor(qsizetype parsed) {
    if (parsed <= 0 || parsed >= n) return;
    const double scale = static_cast<double>(n) / static_cast<double>(parsed) * 1.05;
    try {
      const auto rows = static_cast<std::size_t>(static_cast<double>(mDoc.mRows.size()) * scale);
      if (rows > mDoc.mRows.capacity()) mDoc.mRows.reserve(rows);
      const auto attributes =
          static_cast<std::size_t>(static_cast<double>(mDoc.mAttributes.size()) * scale);
      if (attributes > mDoc.mAttributes.capacity()) mDoc.mAttributes.reserve(attributes);
    } catch (const std::bad_alloc&) {
    }
  }

  static constexpr std::size_t kRecentPositions = 64;
  static constexpr std::size_t kRowsForEstimate = 512;

  XmlDocument& mDoc;
  QStringView mText;
  const char16_t* s;
  qsizetype n;
  qsizetype i = 0;  // where the reader stands
  bool mShared = false;
  qsizetype mSourceOffset = 0;  // where mText starts in the shared source
  bool mFailed = false;
  Fault mFault = Fault::Invalid;
  qsizetype mFaultAt = 0;
  bool mTextNonBlank = false;
  std::vector<std::pair<qsizetype, qsizetype>> mOpen;      // names of the open elements
  std::vector<std::pair<qsizetype, qsizetype>> mTagNames;  // attribute names of the tag
  std::unordered_map<std::u16string, std::uint32_t> mNameIndex;
  std::vector<std::pair<QString, std::uint32_t>> mRecent;  // qualified name by position
  std::size_t mRecentDistinct = 0;  // leading names of mRecent known to differ from each other
  std::pair<QString, std::uint32_t> mRecentElement{QString(), XmlDocument::kNoName};
  qsizetype mFilled = 0;  // units of mValues in use
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

QStringView XmlDocument::RowName(int row) const {
  const std::uint32_t name = mRows[row].name;
  return name == kNoName ? QStringView() : QStringView(mNames[name]);
}

QStringView XmlDocument::AttributeName(int row, int attribute) const {
  return mNames[mAttributes[mRows[row].first + attribute].name];
}

}  // namespace varnex::platform
