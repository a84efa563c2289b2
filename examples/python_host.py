#!/usr/bin/python3
"""A host page for the planning board in Python: shows the board in a window, loads the header
and work-order documents named on the command line, and prints the picked order whenever the
planner presses "Use picked order".

    PYTHONPATH=PREFIX/lib/python3/dist-packages python3 python_host.py HEADER ORDERS
"""

import sys

from PyQt6.QtWidgets import QApplication, QPushButton, QVBoxLayout, QWidget

import varnex


def read_text(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def main(argv):
    app = QApplication(argv)
    if len(argv) != 3:
        sys.exit("usage: python_host.py HEADER ORDERS")
    window = QWidget()
    layout = QVBoxLayout(window)
    board = varnex.VarnexWidget(window)
    board.setSizing(varnex.VarnexWidget.Sizing.Fill)  # the board follows the window
    use = QPushButton("Use picked order", window)
    layout.addWidget(board)
    layout.addWidget(use)
    use.clicked.connect(lambda: print(board.OrderOut(), flush=True))

    board.TimeSet(read_text(argv[1]))  # the period to show
    board.PopulateWorkOrder(read_text(argv[2]))  # one line per order
    window.setWindowTitle("Planning run")
    window.show()
    return app.exec()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
