#pragma once

#include <cstddef>

namespace varnex::platform {

/// Asks the system to back a large buffer that is about to be written through with huge pages,
/// so that filling it costs a few page faults instead of thousands. Only a hint: it does nothing
/// for buffers under a few megabytes or where the system offers no such pages.
void AdviseLargeWrite(void* data, std::size_t bytes);

}  // namespace varnex::platform
