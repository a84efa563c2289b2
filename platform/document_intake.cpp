#include "platform/document_intake.h"

#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/version_info.h"

namespace varnex::platform {

bool ReceiveDocument(Variant& document, ControlSite& site, const QString& box,
                     std::shared_ptr<const XmlDocument>& doc) {
  const QString escaped = EscapeDocument(ToBstr(document));
  document.Assign(Variant::Bstr(escaped));
  site.SetBoxText(box, escaped);
  doc = XmlDocument::Parse(escaped, StripBlanks(escaped), &doc);
  if (!doc->HasParseError()) return true;
  // Nothing of the caller's is touched after the box.
  const QString reason = doc->ParseErrorReason();
  site.ShowMessage(QString::fromUtf16(kProductName), reason);
  return false;
}

}  // namespace varnex::platform
