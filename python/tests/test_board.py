"""The board from Python: the three members, the escaped text, picking a line with the keyboard,
a form of Qt Designer through uic, the message boxes through a Python callable, the layout
property and printing."""

import threading

import pytest
from PyQt6.QtCore import QTimer, Qt
from PyQt6.QtGui import QPdfWriter
from PyQt6.QtPrintSupport import QPrinter
from PyQt6.QtTest import QTest
from PyQt6.QtWidgets import QApplication, QLabel, QMessageBox, QPushButton, QVBoxLayout, QWidget

import varnex
from conftest import EXAMPLES, SOURCE_DIR, run_python


def test_is_a_qwidget_with_the_stored_size(board):
    assert isinstance(board, QWidget)
    assert varnex.VarnexWidget is varnex.control.VarnexWidget
    assert (board.width(), board.height()) == (965, 552)
    assert board.metaObject().className() == "varnex::control::VarnexWidget"
    assert varnex.ProductName() == "Kestrova"
    assert varnex.VersionText() == "1.00"


def test_order_out_is_empty_on_a_fresh_board(board):
    assert board.OrderOut() == ""
    assert isinstance(board.OrderOut(), str)


def test_loading_returns_the_escaped_text(board, header_text, orders_text):
    messages = []
    board.SetMessageBoxPort(lambda *box: messages.append(box))
    escaped_header = board.TimeSet(header_text)
    escaped_orders = board.PopulateWorkOrder(orders_text)
    assert messages == []
    assert escaped_header == header_text.replace("&", "&amp;").replace("'", "&apos;")
    assert escaped_orders == orders_text.replace("&", "&amp;").replace("'", "&apos;")
    assert "Kestrel &amp; Sons" in escaped_header and "D&apos;Souza" in escaped_header
    # The caller's own string is unchanged: Python strings cannot be written back.
    assert "Kestrel & Sons" in header_text


def test_the_members_by_dispid(board):
    assert varnex.VarnexWidget.DispIdOf("TimeSet") == 0x60030008
    assert varnex.VarnexWidget.DispIdOf("PopulateWorkOrder") == 0x60030009
    assert varnex.VarnexWidget.DispIdOf("OrderOut") == 0x6003000A
    assert varnex.VarnexWidget.DispIdOf("Other") == -1


class PlanningPage(QWidget):
    """The host under test of docs/python.md: the board, a button and the answer."""

    def __init__(self):
        super().__init__()
        layout = QVBoxLayout(self)
        self.board = varnex.VarnexWidget(self)
        self.use = QPushButton("Use picked order", self)
        self.answer = QLabel(self)
        for widget in (self.board, self.use, self.answer):
            layout.addWidget(widget)
        self.use.clicked.connect(lambda: self.answer.setText(self.board.OrderOut()))


def test_picks_a_line_with_the_keyboard(app, header_text, orders_text):
    page = PlanningPage()
    page.board.TimeSet(header_text)
    page.board.PopulateWorkOrder(orders_text)
    page.show()
    page.activateWindow()
    assert QTest.qWaitForWindowActive(page)
    assert QApplication.focusWidget().objectName() == "ctWOSched"
    QTest.keyClick(QApplication.focusWidget(), Qt.Key.Key_Down)  # the first line
    assert page.board.OrderOut() == "WO100000"
    QTest.keyClick(page.board, Qt.Key.Key_Down)  # the second, through the board itself
    QTest.mouseClick(page.use, Qt.MouseButton.LeftButton)
    assert page.answer.text() == "WO100001"
    page.deleteLater()


def test_a_designer_form_loads_with_uic(app, header_text):
    from PyQt6 import uic

    form = uic.loadUi(str(EXAMPLES / "designer_form" / "board_form.ui"))
    board = form.Zeb_Varnex
    assert isinstance(board, varnex.VarnexWidget)
    assert board.parent() is form
    assert board.sizing() == varnex.VarnexWidget.Sizing.Fill
    assert form.lblRun.text() == "Planning run"
    board.SetMessageBoxPort(lambda *box: pytest.fail(f"a message box: {box}"))
    board.TimeSet(header_text)
    form.resize(1400, 900)
    form.show()
    QApplication.processEvents()
    assert board.width() > 965
    form.deleteLater()


def test_a_designer_form_as_a_class_with_load_ui_type(app):
    from PyQt6 import uic

    form_class, base_class = uic.loadUiType(str(EXAMPLES / "designer_form" / "board_form.ui"))
    form = base_class()
    ui = form_class()
    ui.setupUi(form)
    assert isinstance(ui.Zeb_Varnex, varnex.VarnexWidget)
    assert ui.Zeb_Varnex.sizing() == varnex.VarnexWidget.Fill
    form.deleteLater()


def test_a_designer_form_compiled_by_varnex_pyuic(tmp_path):
    import subprocess
    import sys

    generated = tmp_path / "ui_board_form.py"
    subprocess.run([sys.executable, "-m", "varnex.pyuic",
                    str(EXAMPLES / "designer_form" / "board_form.ui"), "-o", str(generated)],
                   check=True)
    code = generated.read_text(encoding="utf-8")
    assert "import varnex" in code
    assert "varnex.VarnexWidget(parent=BoardForm)" in code
    finished = run_python(f"""
import sys
sys.path.insert(0, {str(tmp_path)!r})
from PyQt6.QtWidgets import QApplication, QWidget
from ui_board_form import Ui_BoardForm
app = QApplication([])
form = QWidget()
ui = Ui_BoardForm()
ui.setupUi(form)
print(type(ui.Zeb_Varnex).__name__, ui.Zeb_Varnex.sizing())
""")
    assert finished.stdout == "VarnexWidget Sizing.Fill\n", finished.stderr


def test_a_form_uses_the_names_of_the_designer_plugin():
    # The form of examples/designer_form is the one the C++ example compiles with uic; the
    # Python loader reads the same class, header and enumerator names.
    text = (EXAMPLES / "designer_form" / "board_form.ui").read_text(encoding="utf-8")
    assert '<widget class="varnex::control::VarnexWidget" name="Zeb_Varnex">' in text
    assert "<enum>varnex::control::VarnexWidget::Fill</enum>" in text
    plugin = (SOURCE_DIR / "designer" / "varnex_designer_plugin.cpp").read_text(encoding="utf-8")
    assert 'QStringLiteral("varnex::control::VarnexWidget")' in plugin


def test_a_failure_goes_to_the_callable_with_its_detail(board):
    messages = []
    board.SetMessageBoxPort(lambda title, text, detail: messages.append((title, text, detail)))
    board.TimeSet("<header/>")
    board.PopulateWorkOrder("<workorders><wo docuemntno='WO1'/></workorders>")
    assert messages == [
        ("Kestrova",
         "3021 Either BOF or EOF is True, or the current record has been deleted. Requested "
         "operation requires a current record.",
         "TimeSet, header document: its root element holds no row"),
        ("Kestrova",
         "The work-order document is not well-formed (a character or markup that is not "
         "allowed here), at line 1, column 28.",
         'work-order document, line 1, column 28, near '
         '"<workorders><wo docuemntno=&apos;WO1&apos;/></workorders>"'),
    ]


def test_a_cleared_callable_brings_the_modal_box_back(board):
    board.SetMessageBoxPort(lambda *box: pytest.fail("the cleared callable was called"))
    board.SetMessageBoxPort(None)
    shown = []

    def close_the_box():
        box = QApplication.activeModalWidget()
        if not isinstance(box, QMessageBox):
            QTimer.singleShot(10, close_the_box)
            return
        shown.append((box.windowTitle(), box.text()))
        box.accept()

    QTimer.singleShot(0, close_the_box)
    board.TimeSet("<header/>")
    assert shown == [("Kestrova", "3021 Either BOF or EOF is True, or the current record has "
                                  "been deleted. Requested operation requires a current record.")]


def test_a_callable_that_raises_is_reported_and_the_board_goes_on(board, header_text,
                                                                   monkeypatch):
    reported = []
    monkeypatch.setattr("sys.unraisablehook", lambda report: reported.append(report))
    calls = []

    def raising(title, text, detail):
        calls.append(text)
        raise ValueError("the host's own mistake")

    board.SetMessageBoxPort(raising)
    board.TimeSet("<header/>")
    board.TimeSet("<header/>")
    assert len(calls) == 2
    assert [type(r.exc_value) for r in reported] == [ValueError, ValueError]
    assert board.TimeSet(header_text).startswith("<?xml")
    assert board.OrderOut() == ""


def test_the_message_callable_must_be_callable(board):
    with pytest.raises(TypeError, match="callable"):
        board.SetMessageBoxPort("not a function")
    with pytest.raises(TypeError, match="callable"):
        board.PrintRun(QPdfWriter("unused.pdf"), 42)


def test_the_callable_may_delete_the_board(app, monkeypatch):
    from PyQt6 import sip

    made = varnex.VarnexWidget()
    seen = []

    def delete_it(title, text, detail):
        seen.append(text)
        sip.delete(made)

    made.SetMessageBoxPort(delete_it)
    made.TimeSet("<header/>")
    assert len(seen) == 1 and sip.isdeleted(made)
    with pytest.raises(RuntimeError):
        made.OrderOut()


def test_the_layout_property(app):
    window = QWidget()
    layout = QVBoxLayout(window)
    layout.setContentsMargins(0, 0, 0, 0)
    board = varnex.VarnexWidget(window)
    layout.addWidget(board)
    changes = []
    board.sizingChanged.connect(changes.append)
    assert board.sizing() == varnex.VarnexWidget.Sizing.Fixed
    assert varnex.VarnexWidget.Fill is varnex.VarnexWidget.Sizing.Fill
    board.setSizing(varnex.VarnexWidget.Sizing.Fill)
    assert changes == [varnex.VarnexWidget.Sizing.Fill]
    assert board.property("sizing") == varnex.VarnexWidget.Sizing.Fill
    window.show()
    window.resize(1920, 1080)
    QApplication.processEvents()
    grid = board.findChild(QWidget, "ctWOSched")
    assert (board.width(), board.height()) == (1920, 1080)
    assert (grid.width(), grid.height()) == (1904, 971)
    board.setSizing(varnex.VarnexWidget.Fixed)
    assert (board.width(), board.height()) == (965, 552)
    window.deleteLater()


def test_prints_the_run_to_pdf(board, header_text, orders_text, tmp_path):
    board.TimeSet(header_text)
    board.PopulateWorkOrder(orders_text)
    pdf_path = tmp_path / "run.pdf"
    pdf = QPdfWriter(str(pdf_path))
    pages = []
    assert board.PrintRun(pdf, lambda done, total: pages.append((done, total)))
    del pdf
    total = pages[-1][1]
    assert pages == [(n, total) for n in range(1, total + 1)]
    assert pdf_path.read_bytes().startswith(b"%PDF")


def test_prints_the_run_on_a_qprinter(board, header_text, orders_text, tmp_path):
    board.TimeSet(header_text)
    board.PopulateWorkOrder(orders_text)
    printer = QPrinter(QPrinter.PrinterMode.HighResolution)
    printer.setOutputFormat(QPrinter.OutputFormat.PdfFormat)
    printer.setOutputFileName(str(tmp_path / "printed.pdf"))
    assert board.PrintRun(printer)
    del printer
    assert (tmp_path / "printed.pdf").read_bytes().startswith(b"%PDF")


def test_a_failing_progress_callable_is_reported_and_printing_goes_on(board, header_text,
                                                                     orders_text, tmp_path,
                                                                     monkeypatch):
    reported = []
    monkeypatch.setattr("sys.unraisablehook", lambda report: reported.append(report))
    board.TimeSet(header_text)
    board.PopulateWorkOrder(orders_text)

    def progress(done, total):
        raise KeyError(done)

    assert board.PrintRun(QPdfWriter(str(tmp_path / "run.pdf")), progress)
    assert reported and all(type(r.exc_value) is KeyError for r in reported)


def test_a_pdf_that_cannot_be_written_prints_nothing(board, tmp_path):
    assert not board.PrintRun(QPdfWriter(str(tmp_path / "no-such-folder" / "run.pdf")))


def test_calls_from_another_thread_run_on_the_boards_thread(board, header_text, orders_text):
    messages = []
    board.SetMessageBoxPort(lambda *box: messages.append(threading.current_thread()))
    results = {}

    def worker():
        results["header"] = board.TimeSet(header_text)
        results["orders"] = board.PopulateWorkOrder(orders_text)
        board.TimeSet("<header/>")  # a failure: its callable runs on the board's thread
        results["picked"] = board.OrderOut()

    thread = threading.Thread(target=worker)
    thread.start()
    while thread.is_alive():  # the board's thread keeps its events turning
        QApplication.processEvents()
        thread.join(0.01)
    assert "Kestrel &amp; Sons" in results["header"]
    assert "&amp;" in results["orders"]
    assert results["picked"] == ""
    assert messages == [threading.main_thread()]


def test_a_board_made_on_another_thread_is_refused(app):
    errors = []

    def worker():
        try:
            varnex.VarnexWidget()
        except RuntimeError as error:
            errors.append(str(error))

    thread = threading.Thread(target=worker)
    thread.start()
    thread.join()
    assert len(errors) == 1 and "thread of the QApplication" in errors[0]


def test_members_that_stay_on_the_boards_thread_refuse_other_threads(board):
    errors = []

    def worker():
        for call in (lambda: board.setSizing(varnex.VarnexWidget.Fill), board.sizing,
                     lambda: board.SetMessageBoxPort(print)):
            try:
                call()
            except RuntimeError as error:
                errors.append(str(error))

    thread = threading.Thread(target=worker)
    thread.start()
    thread.join()
    assert len(errors) == 3 and all("the board's thread" in e for e in errors)
    assert board.sizing() == varnex.VarnexWidget.Fixed
