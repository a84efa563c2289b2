"""Runs a Python example of the documentation as the C++ examples run (example_harness.cpp):
an example that runs an event loop ends once the loop runs and its windows have been painted,
as if the user had closed them; one that shows a modal message box instead fails, naming it.

    python3 python_harness.py EXAMPLE.py ARGS...
"""

import os
import runpy
import sys

from PyQt6.QtCore import QTimer
from PyQt6.QtWidgets import QApplication, QMessageBox

_exec = QApplication.exec


def _finish():
    for window in QApplication.topLevelWidgets():
        if not window.isVisible():
            continue
        if isinstance(window, QMessageBox):
            sys.stderr.write("a message box was shown: %s\n" % window.text())
            sys.stderr.flush()
            os._exit(70)
        window.grab()
    QApplication.quit()


def _exec_then_finish(*_args):
    QTimer.singleShot(0, _finish)
    return _exec()


QApplication.exec = _exec_then_finish

script = sys.argv[1]
sys.argv = sys.argv[1:]
sys.path.insert(0, os.path.dirname(os.path.abspath(script)))
runpy.run_path(script, run_name="__main__")
