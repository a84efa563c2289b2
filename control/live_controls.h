#pragma once

namespace varnex::control::detail {

/// Counts the controls alive in this library, so it can tell when it may be unloaded.
void ControlCreated();
void ControlDestroyed();
[[nodiscard]] int LiveControls();

}  // namespace varnex::control::detail
