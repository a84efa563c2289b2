"""PyQt6's pyuic6 with the board known to it: writes the Python code of a form of Qt Designer,
boards included.

    /usr/bin/python3 -m varnex.pyuic FORM.ui -o ui_form.py

Takes the options of pyuic6, which alone stops at the board with "Unknown Qt widget"; the code
it writes imports varnex.
"""

import sys

import varnex  # noqa: F401  (teaches uic the board)
from PyQt6.uic.pyuic import main

if __name__ == "__main__":
    sys.exit(main())
