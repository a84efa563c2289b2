#pragma once

#include <QtGlobal>

class QIODevice;
class QTextStream;

namespace varnex::app {

/// Runs a trace script (JSON Lines commands) against one headless control on the grid model and
/// writes every effect of the control as JSON Lines. Returns the process exit code: 0 when the
/// script ran to its end, whatever the control reported. With `elide` above 0, a text longer
/// than `elide` UTF-16 code units is printed as its start, with its whole length beside it.
int RunTrace(QIODevice& script, QTextStream& out, qsizetype elide = 0);

}  // namespace varnex::app
