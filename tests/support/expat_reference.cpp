#include "tests/support/expat_reference.h"

#include "platform/text_scan.h"

#include <expat.h>

#include <memory>

namespace varnex::test {
namespace {

QString LocalName(const char* qualified) {
  const QString name = QString::fromUtf8(qualified);
  return name.sliced(name.lastIndexOf(QLatin1Char(':')) + 1);
}

class ExpatOutliner {
 public:
  explicit ExpatOutliner(DocumentOutline& out) : mOut(out) {}

  void Run(const QByteArray& utf8) {
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate("UTF-8"), &XML_ParserFree);
    mParser = parser.get();
    XML_SetUserData(mParser, this);
    XML_SetParamEntityParsing(mParser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(mParser, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(mParser, &OnText);
    XML_SetCommentHandler(mParser, &OnComment);
    XML_SetProcessingInstructionHandler(mParser, &OnInstruction);
    XML_SetCdataSectionHandler(mParser, &OnCDataStart, &OnCDataEnd);
    XML_SetStartDoctypeDeclHandler(mParser, &OnDoctype);
    const bool ok = XML_Parse(mParser, utf8.constData(), static_cast<int>(utf8.size()), XML_TRUE) ==
                    XML_STATUS_OK;
    mOut.wellFormed = ok && !mDoctype;
    if (!mOut.wellFormed) {
      mOut.reason = mDoctype ? QStringLiteral("DOCTYPE")
                             : QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(mParser)));
      mOut.rows.clear();
    }
  }

 private:
  static ExpatOutliner& Self(void* data) { return *static_cast<ExpatOutliner*>(data); }

  void Add(platform::NodeKind kind) {
    Flush();
    mOut.rows.push_back({kind, {}, {}});
  }
  void Flush() {
    if (mNonBlank) mOut.rows.push_back({platform::NodeKind::Text, {}, {}});
    mNonBlank = false;
  }

  static void OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
    auto& self = Self(data);
    if (++self.mDepth != 2) return;
    self.Add(platform::NodeKind::Element);
    auto& row = self.mOut.rows.back();
    row.name = LocalName(name);
    for (const XML_Char** a = atts; *a != nullptr; a += 2) {
      row.attributes.emplace_back(LocalName(a[0]), QString::fromUtf8(a[1]));
    }
  }
  static void OnEnd(void* data, const XML_Char*) {
    auto& self = Self(data);
    if (self.mDepth-- == 1) self.Flush();
  }
  static void OnText(void* data, const XML_Char* text, int length) {
    auto& self = Self(data);
    if (self.mDepth != 1 || self.mInCData) return;
    for (int k = 0; k < length; ++k) {
      const char c = text[k];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') self.mNonBlank = true;
    }
  }
  static void OnComment(void* data, const XML_Char*) {
    if (Self(data).mDepth == 1) Self(data).Add(platform::NodeKind::Comment);
  }
  static void OnInstruction(void* data, const XML_Char*, const XML_Char*) {
    if (Self(data).mDepth == 1) Self(data).Add(platform::NodeKind::ProcessingInstruction);
  }
  static void OnCDataStart(void* data) {
    auto& self = Self(data);
    if (self.mDepth != 1) return;
    self.Add(platform::NodeKind::CData);
    self.mInCData = true;
  }
  static void OnCDataEnd(void* data) { Self(data).mInCData = false; }
  static void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& self = Self(data);
    self.mDoctype = true;
    XML_StopParser(self.mParser, XML_FALSE);
  }

  DocumentOutline& mOut;
  XML_Parser mParser = nullptr;
  int mDepth = 0;
  bool mNonBlank = false;
  bool mInCData = false;
  bool mDoctype = false;
};

}  // namespace

DocumentOutline ReadWithExpat(QStringView text) {
  DocumentOutline out;
  if (platform::detail::FindNonCharacter(text.utf16(), text.size()) < text.size()) {
    out.reason = QStringLiteral("not text");
    return out;
  }
  ExpatOutliner(out).Run(text.toUtf8());
  return out;
}

DocumentOutline Outline(const platform::XmlDocument& doc) {
  DocumentOutline out;
  out.wellFormed = !doc.HasParseError();
  out.reason = doc.ParseErrorReason();
  for (int row = 0; row < doc.RowCount(); ++row) {
    DocumentOutline::Node node{doc.RowKind(row), doc.RowName(row).toString(), {}};
    for (int a = 0; a < doc.AttributeCount(row); ++a) {
      node.attributes.emplace_back(doc.AttributeName(row, a).toString(),
                                   doc.AttributeValue(row, a).toString());
    }
    out.rows.push_back(std::move(node));
  }
  return out;
}

std::string Describe(const DocumentOutline& outline) {
  QString text = outline.wellFormed ? QStringLiteral("well-formed")
                                    : QStringLiteral("not well-formed: ") + outline.reason;
  for (const auto& row : outline.rows) {
    text += QStringLiteral("\n  %1 %2").arg(static_cast<int>(row.kind)).arg(row.name);
    for (const auto& [name, value] : row.attributes) {
      text += QStringLiteral(" %1=[%2]").arg(name, value);
    }
  }
  return text.toStdString();
}

}  // namespace varnex::test
