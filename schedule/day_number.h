#pragma once

#include "platform/date_time.h"

#include <cstdint>

namespace varnex::schedule {

/// Whole calendar days from 1 January 1900 to the day of `date`, time of day ignored, negative
/// before it; the zero date (a date never set) gives -2. Fails with 6 "Overflow" outside the
/// 32-bit range.
[[nodiscard]] std::int32_t DayNumber(platform::Date date);

}  // namespace varnex::schedule
