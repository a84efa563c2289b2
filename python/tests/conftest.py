"""Shared pieces of the Python module's tests: one QApplication (offscreen) for the process, the
example documents, and a way to run a script in a fresh interpreter for what must be seen from
outside (standard error, the exit status, a crash)."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from PyQt6.QtWidgets import QApplication  # noqa: E402

import varnex  # noqa: E402,F401  (before any form is loaded: it teaches uic the board)

SOURCE_DIR = Path(__file__).resolve().parents[2]
EXAMPLES = SOURCE_DIR / "examples"


@pytest.fixture(scope="session")
def app():
    application = QApplication.instance() or QApplication([])
    yield application


@pytest.fixture
def header_text():
    return (EXAMPLES / "header.xml").read_text(encoding="utf-8")


@pytest.fixture
def orders_text():
    return (EXAMPLES / "workorders.xml").read_text(encoding="utf-8")


@pytest.fixture
def board(app):
    made = varnex.VarnexWidget()
    yield made
    # A board deleted by an earlier step (sip.delete) stays deleted.
    from PyQt6 import sip

    if not sip.isdeleted(made):
        sip.delete(made)


def run_python(code, timeout=60):
    """Runs `code` in a fresh interpreter (this one's, with this one's module path and the
    offscreen platform) and gives back the finished process."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
               PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          timeout=timeout, env=env, cwd=str(EXAMPLES))
