#pragma once

class QIODevice;
class QTextStream;

namespace varnex::app {

/// Runs a trace script (JSON Lines commands) against one headless control on the grid model and
/// writes every effect of the control as JSON Lines. Returns the process exit code: 0 when the
/// script ran to its end, whatever the control reported.
int RunTrace(QIODevice& script, QTextStream& out);

}  // namespace varnex::app
