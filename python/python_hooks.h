#pragma once

// What the Python module adds around the board: the checks that keep a Python program from
// crashing the interpreter, and the Python callables that stand in for the message box port and
// for the progress function of PrintRun. Every function here is called with the GIL held.

#include <Python.h>

#include <functional>

namespace varnex::control {
class VarnexWidget;
}

namespace varnex::python {

/// True when a board may be made here: a QApplication exists and this is its thread. Otherwise
/// sets a Python RuntimeError that says why and returns false.
bool CanMakeBoard();

/// True when a board's member may be called: the QApplication still exists. Otherwise sets a
/// Python RuntimeError and returns false.
bool CanCallBoard();

/// True when this is the board's thread, for the members that do not go over to it (the
/// message box port, the layout property). Otherwise sets a Python RuntimeError naming `member`
/// and returns false.
bool OnBoardThread(const control::VarnexWidget& board, const char* member);

/// Sends the board's message boxes to `callable` (called with the title, the text and the
/// detail) instead of the modal box; None brings the modal box back. Returns false with a
/// Python TypeError set when `callable` is neither callable nor None.
bool SetMessageCallable(control::VarnexWidget& board, PyObject* callable);

/// The progress function of PrintRun for a Python callable (nothing for None). The callable must
/// outlive the returned function; it is called with the GIL taken, and what it raises is reported
/// on standard error.
std::function<void(int, int)> ProgressFunction(PyObject* callable);

}  // namespace varnex::python
