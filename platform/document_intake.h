#pragma once

#include "platform/xml_document.h"

#include <QString>

#include <memory>

namespace varnex::platform {

class ControlSite;
class Variant;

/// The first steps that both document calls share: converts the caller's variant to text
/// (a null fails with 94 before anything changes), escapes it and writes the escaped text back
/// into the caller's variant, copies it into the hidden text box `box`, and parses it with
/// leading and trailing blanks stripped into a new document object that `doc` then holds; the
/// document shares the escaped text with the caller instead of copying values out of it. The
/// document `doc` held before is let go as the parse starts, so that a large load never keeps
/// two documents in memory. When the document does not parse, the parser's reason is shown
/// alone in a message box and false is returned: the caller then stops at once, since during
/// the box another call may have replaced `doc`, or the host may have deleted the control.
/// `documentName` ("header document") names the document in the reason and the box's detail.
[[nodiscard]] bool ReceiveDocument(Variant& document, ControlSite& site, const QString& box,
                                   QStringView documentName,
                                   std::shared_ptr<const XmlDocument>& doc);

}  // namespace varnex::platform
