#include "platform/document_intake.h"

#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/version_info.h"

namespace varnex::platform {

void ReceiveDocument(Variant& document, ControlSite& site, const QString& box,
                     std::shared_ptr<const XmlDocument>& doc) {
  const QString escaped = EscapeDocument(ToBstr(document));
  document.Assign(Variant::Bstr(escaped));
  site.SetBoxText(box, escaped);
  doc = XmlDocument::Parse(escaped, StripBlanks(escaped), &doc);
  if (doc->HasParseError()) {
    site.ShowMessage(QString::fromUtf16(kProductName), doc->ParseErrorReason());
  }
}

}  // namespace varnex::platform
