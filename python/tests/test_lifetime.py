"""What a Python program may do wrong, each in a fresh interpreter: none of it ends the
interpreter; the board's failures stay reports."""

import textwrap

from conftest import run_python

PRELUDE = """
import gc, sys
from PyQt6.QtWidgets import QApplication, QWidget
import varnex
"""


def run(code):
    finished = run_python(PRELUDE + textwrap.dedent(code))
    assert finished.returncode == 0, (finished.returncode, finished.stdout, finished.stderr)
    return finished


def test_a_board_without_an_application_is_refused():
    finished = run("""
        try:
            varnex.VarnexWidget()
        except RuntimeError as error:
            print("refused:", error)
        from PyQt6.QtCore import QCoreApplication
        core = QCoreApplication([])
        try:
            varnex.VarnexWidget()
        except RuntimeError as error:
            print("refused:", error)
    """)
    assert finished.stdout.count("refused: VarnexWidget:") == 2
    assert "QApplication first" in finished.stdout and "need a QApplication" in finished.stdout


def test_the_board_dropped_before_the_application():
    finished = run("""
        app = QApplication([])
        board = varnex.VarnexWidget()
        board.TimeSet(open("header.xml").read())
        del board
        gc.collect()
        print("can unload:", varnex.CanUnloadNow())
        del app
        print("done")
    """)
    assert finished.stdout == "can unload: True\ndone\n"


def test_the_application_dropped_before_the_board():
    finished = run("""
        app = QApplication([])
        window = QWidget()
        board = varnex.VarnexWidget()
        child = varnex.VarnexWidget(window)
        board.SetMessageBoxPort(lambda *box: print(box))
        del app
        gc.collect()
        for made in (board, child):
            try:
                made.OrderOut()
            except RuntimeError as error:
                print("gone")
        del board, child, window
        gc.collect()
        print("done")
    """)
    assert finished.stdout == "gone\ngone\ndone\n"


def test_both_alive_when_the_interpreter_ends():
    finished = run("""
        app = QApplication([])
        window = QWidget()
        board = varnex.VarnexWidget(window)
        loose = varnex.VarnexWidget()
        # A callable that holds the board, as a host's bound method does.
        loose.SetMessageBoxPort(lambda title, text, detail: print(loose, text))
        loose.TimeSet("<header/>")
        window.show()
        print("leaving")
    """)
    assert finished.stdout.endswith("leaving\n")


def test_a_raising_callable_is_reported_on_standard_error_and_the_board_goes_on():
    finished = run("""
        app = QApplication([])
        board = varnex.VarnexWidget()
        def handler(title, text, detail):
            raise ValueError("a mistake of the host: " + detail)
        board.SetMessageBoxPort(handler)
        board.TimeSet("<header/>")
        print("escaped:", board.TimeSet("<header><row a='&'/></header>"))
        print("went on:", repr(board.OrderOut()))
    """)
    assert "went on: ''" in finished.stdout
    assert "ValueError: a mistake of the host: TimeSet, header document" in finished.stderr
    assert "Traceback" in finished.stderr


def test_a_raising_callable_may_even_exit():
    # SystemExit from a message callable is reported like any other exception: the board's
    # member returns, and the program decides.
    finished = run("""
        app = QApplication([])
        board = varnex.VarnexWidget()
        board.SetMessageBoxPort(lambda *box: sys.exit(3))
        board.TimeSet("<header/>")
        print("after")
    """)
    assert finished.stdout == "after\n"
    assert "SystemExit" in finished.stderr


def test_the_docs_host_runs_with_the_board_deleted_on_close():
    finished = run("""
        from PyQt6.QtCore import Qt, QTimer
        app = QApplication([])
        board = varnex.VarnexWidget()
        board.setAttribute(Qt.WidgetAttribute.WA_DeleteOnClose)
        board.show()
        QTimer.singleShot(0, board.close)
        QTimer.singleShot(50, app.quit)
        app.exec()
        try:
            board.OrderOut()
        except RuntimeError:
            print("closed and deleted")
    """)
    assert finished.stdout == "closed and deleted\n"
