#pragma once

#include "platform/date_time.h"

#include <memory>

namespace varnex::platform {
class ControlSite;
class Dispatch;
class Variant;
class XmlDocument;
}  // namespace varnex::platform

namespace varnex::schedule {

/// The members of the control that setting the horizon writes.
struct HorizonMembers {
  std::shared_ptr<const platform::XmlDocument>& mHeaderDoc;
  platform::Date& mHorizonStart;
  platform::Date& mHorizonEnd;
};

/// Reads the header document: escapes `hdrxml` in place, keeps a copy in "Box1", parses it into
/// `mHeaderDoc`, loads every row into the twelve typed header columns and takes the first row's
/// period as the horizon, which it assigns to the grid as day numbers. A document that does not
/// parse gets the parser's reason in a message box; any other failure is thrown. Whatever fails,
/// the escaped text, "Box1" and `mHeaderDoc` stay as far as they got (a null `hdrxml` fails with
/// 94 before any of them), and the members and the grid keep their period unless both ends
/// converted: then the members are set, and the grid takes the start and then the end, keeping
/// the start when it refuses the end.
void TimeSet(platform::Variant& hdrxml, platform::Dispatch& grid, platform::ControlSite& site,
             HorizonMembers members);

}  // namespace varnex::schedule
