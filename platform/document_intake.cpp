#include "platform/document_intake.h"

#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/version_info.h"

namespace varnex::platform {

std::shared_ptr<const XmlDocument> ReceiveDocument(Variant& document, ControlSite& site,
                                                   const QString& box) {
  const QString escaped = EscapeDocument(ToBstr(document));
  document.Assign(Variant::Bstr(escaped));
  site.SetBoxText(box, escaped);
  auto parsed = XmlDocument::Parse(StripBlanks(escaped));
  if (parsed->HasParseError()) {
    site.ShowMessage(QString::fromUtf16(kProductName), parsed->ParseErrorReason());
  }
  return parsed;
}

}  // namespace varnex::platform
