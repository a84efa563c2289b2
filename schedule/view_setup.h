#pragma once

#include "platform/date_time.h"

namespace varnex::platform {
class Dispatch;
}

namespace varnex::schedule {

/// Gives the grid's title its fixed appearance. Every value is assigned again on each call;
/// the first refused assignment ends the routine and its error reaches the caller.
void SchedTitleSet(platform::Dispatch& grid);

/// Gives the grid its fixed time-scale settings, resets the zoom value and assigns the
/// horizon as day numbers of `horizonStart` and `horizonEnd`, unchecked.
void SchedGridSet(platform::Dispatch& grid, platform::Date horizonStart, platform::Date horizonEnd);

}  // namespace varnex::schedule
