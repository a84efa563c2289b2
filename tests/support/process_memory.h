#pragma once

#include <cstdint>

namespace varnex::testing {

/// The resident set size of this process and its high-water mark, in kibibytes, from
/// /proc/self/status; 0 where the system does not tell.
[[nodiscard]] std::int64_t ResidentKiB();
[[nodiscard]] std::int64_t PeakResidentKiB();
/// Starts the high-water mark afresh from the current resident set (where Linux allows it).
void ResetPeakResident();

}  // namespace varnex::testing
