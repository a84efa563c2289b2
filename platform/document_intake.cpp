#include "platform/document_intake.h"

#include "platform/automation_error.h"
#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/escaping.h"
#include "platform/load_log.h"
#include "platform/variant.h"
#include "platform/version_info.h"

#include <algorithm>

namespace varnex::platform {

namespace {

// The text around a position of a document, for a message's detail: up to 30 characters on
// either side, on the position's line.
QString TextAround(QStringView text, qint64 line, qint64 column) {
  qsizetype start = 0;
  for (qint64 l = 1; l < line; ++l) {
    const qsizetype next = text.indexOf(u'\n', start);
    if (next < 0) return {};
    start = next + 1;
  }
  qsizetype end = text.indexOf(u'\n', start);
  if (end < 0) end = text.size();
  // Columns count characters; a pair of surrogates is one.
  qsizetype at = start;
  for (qint64 c = 1; c < column && at < end; ++c) at += text[at].isHighSurrogate() ? 2 : 1;
  constexpr qsizetype kSide = 30;
  const qsizetype from = std::max(start, at - kSide);
  const qsizetype to = std::min(end, at + kSide);
  return QuoteText(text.sliced(from, to - from));
}

}  // namespace

bool ReceiveDocument(Variant& document, ControlSite& site, const QString& box,
                     QStringView documentName, std::shared_ptr<const XmlDocument>& doc) {
  if (document.IsNull()) {
    AutomationError failure(errors::kInvalidUseOfNull,
                            StandardDescription(errors::kInvalidUseOfNull));
    failure.AddContext(documentName.toString() + QStringLiteral(": a null value instead of text"));
    throw failure;
  }
  const QString escaped = EscapeDocument(ToBstr(document));
  document.Assign(Variant::Bstr(escaped));
  site.SetBoxText(box, escaped);
  const QStringView stripped = StripBlanks(escaped);
  doc = XmlDocument::Parse(escaped, stripped, &doc);
  if (!doc->HasParseError()) return true;
  // Nothing of the caller's is touched after the box.
  const QString reason = doc->ParseErrorReason(documentName);
  QString detail = QStringLiteral("%1, line %2, column %3")
                       .arg(documentName)
                       .arg(doc->ParseErrorLine())
                       .arg(doc->ParseErrorColumn());
  if (const QString around = TextAround(stripped, doc->ParseErrorLine(), doc->ParseErrorColumn());
      !around.isEmpty()) {
    detail += QStringLiteral(", near ") + around;
  }
  LogMessage(reason, detail);
  site.ShowMessage(QString::fromUtf16(kProductName), reason, detail);
  return false;
}

}  // namespace varnex::platform
