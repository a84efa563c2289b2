#pragma once

namespace varnex::app {

/// `varnex show HEADER ORDERS`: the control in a host window. Returns the exit code.
int RunShow(int argc, char** argv);

/// `varnex render HEADER ORDERS -o FILE`: the loaded control drawn offscreen to PNG, or the
/// whole planning run printed to PDF. Returns the exit code.
int RunRender(int argc, char** argv);

}  // namespace varnex::app
