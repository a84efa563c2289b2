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

/// Reads the header document: escapes `hdrxml` in place, keeps a copy in "Box1", parses it,
/// checks every header row against the twelve typed header columns, and takes the first row's
/// period as the horizon, which it assigns to the grid as day numbers. A document that does not
/// parse gets the parser's reason in a message box and changes nothing else. Any other failure
/// is thrown; the horizon is all or nothing: on a failure both members and the grid keep
/// their earlier values.
void TimeSet(platform::Variant& hdrxml, platform::Dispatch& grid, platform::ControlSite& site,
             HorizonMembers members);

}  // namespace varnex::schedule
