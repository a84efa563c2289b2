#include "schedule/day_number.h"

#include "calendar/day_number.h"
#include "platform/automation_error.h"

#include <limits>

namespace varnex::schedule {

std::int32_t DayNumber(platform::Date date) {
  const std::int64_t days = date.DaySerial() + calendar::kDayOfZeroDate;
  if (days < std::numeric_limits<std::int32_t>::min() ||
      days > std::numeric_limits<std::int32_t>::max()) {
    platform::ThrowOverflow();
  }
  return static_cast<std::int32_t>(days);
}

}  // namespace varnex::schedule
