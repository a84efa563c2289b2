#include "python/python_hooks.h"

#include "control/message_box_port.h"
#include "control/varnex_widget.h"

#include <QApplication>
#include <QObject>
#include <QThread>

namespace varnex::python {

namespace {

// Takes the GIL for the life of the object; the board calls its port and the progress function
// on its own thread, which may run with the GIL released (inside a member, or in exec()).
class Gil {
 public:
  Gil() : mState(PyGILState_Ensure()) {}
  ~Gil() { PyGILState_Release(mState); }
  Gil(const Gil&) = delete;
  Gil& operator=(const Gil&) = delete;

 private:
  PyGILState_STATE mState;
};

// Calls `callable` with `args` (a new reference, consumed). Whatever it raises is reported on
// standard error, as Python reports an exception it cannot raise to anyone, and goes no further:
// the board goes on.
void CallReporting(PyObject* callable, PyObject* args) {
  if (!args) {
    PyErr_WriteUnraisable(callable);
    return;
  }
  PyObject* result = PyObject_CallObject(callable, args);
  Py_DECREF(args);
  if (result) {
    Py_DECREF(result);
  } else {
    PyErr_WriteUnraisable(callable);
  }
}

PyObject* Str(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return PyUnicode_FromStringAndSize(utf8.constData(), utf8.size());
}

constexpr const char* kPortName = "varnexPythonMessagePort";

// The port of a board whose message boxes go to a Python callable. A child of the board, so it
// goes with it; it keeps its callable until then or until the callable is replaced.
class CallablePort final : public QObject, public control::MessageBoxPort {
 public:
  explicit CallablePort(QObject* board) : QObject(board) {
    setObjectName(QString::fromLatin1(kPortName));
  }
  ~CallablePort() override {
    // A board deleted after the interpreter has finished keeps its reference: there is no one
    // to give it back to.
    if (!mCallable || !Py_IsInitialized()) return;
    Gil gil;
    Py_CLEAR(mCallable);
  }
  CallablePort(const CallablePort&) = delete;
  CallablePort& operator=(const CallablePort&) = delete;

  /// Takes a new reference to `callable` (not None) and gives up the one it had.
  void SetCallable(PyObject* callable) {
    Py_XINCREF(callable);
    Py_XSETREF(mCallable, callable);
  }

  using MessageBoxPort::ShowMessage;
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override {
    ShowMessage(parent, title, text, QString());
  }
  void ShowMessage(QWidget*, const QString& title, const QString& text,
                   const QString& detail) override {
    if (!Py_IsInitialized()) return;
    Gil gil;
    // The callable may delete the board, and this port with it, or replace itself: it is held
    // here until it returns, and nothing of the port is touched afterwards.
    PyObject* callable = mCallable;
    if (!callable) return;
    Py_INCREF(callable);
    CallReporting(callable, Py_BuildValue("(NNN)", Str(title), Str(text), Str(detail)));
    Py_DECREF(callable);
  }

 private:
  PyObject* mCallable = nullptr;
};

bool SetRuntimeError(const char* text) {
  PyErr_SetString(PyExc_RuntimeError, text);
  return false;
}

}  // namespace

bool CanMakeBoard() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    return SetRuntimeError(
        "VarnexWidget: create the QApplication first (a widget needs it, and the board is a "
        "widget)");
  }
  if (!qobject_cast<QApplication*>(app)) {
    return SetRuntimeError(
        "VarnexWidget: the application is a QCoreApplication or a QGuiApplication; widgets "
        "need a QApplication");
  }
  if (QThread::currentThread() != app->thread()) {
    return SetRuntimeError(
        "VarnexWidget: create the board on the thread of the QApplication (its members may "
        "then be called from any thread)");
  }
  return true;
}

bool CanCallBoard() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return SetRuntimeError(
        "VarnexWidget: the QApplication is gone; a board can be used only while it exists");
  }
  return true;
}

bool OnBoardThread(const control::VarnexWidget& board, const char* member) {
  if (!CanCallBoard()) return false;
  if (QThread::currentThread() == board.thread()) return true;
  PyErr_Format(PyExc_RuntimeError,
               "VarnexWidget.%s: call it on the board's thread (TimeSet, PopulateWorkOrder, "
               "OrderOut and PrintRun may be called from any thread)",
               member);
  return false;
}

bool SetMessageCallable(control::VarnexWidget& board, PyObject* callable) {
  if (!OnBoardThread(board, "SetMessageBoxPort")) return false;
  if (callable == Py_None) callable = nullptr;
  if (callable && !PyCallable_Check(callable)) {
    PyErr_Format(PyExc_TypeError,
                 "SetMessageBoxPort: expected a callable(title, text, detail) or None, not %s",
                 Py_TYPE(callable)->tp_name);
    return false;
  }
  auto* port = dynamic_cast<CallablePort*>(
      board.findChild<QObject*>(QString::fromLatin1(kPortName), Qt::FindDirectChildrenOnly));
  if (!callable) {
    board.SetMessageBoxPort(nullptr);
    if (port) port->SetCallable(nullptr);
    return true;
  }
  if (!port) port = new CallablePort(&board);
  port->SetCallable(callable);
  board.SetMessageBoxPort(port);
  return true;
}

std::function<void(int, int)> ProgressFunction(PyObject* callable) {
  if (!callable || callable == Py_None) return {};
  return [callable](int done, int total) {
    if (!Py_IsInitialized()) return;
    Gil gil;
    CallReporting(callable, Py_BuildValue("(ii)", done, total));
  };
}

}  // namespace varnex::python
