"""The Kestrova planning board (Zeb_Varnex) for PyQt6 programs.

``VarnexWidget`` is the board as a ``QWidget``: put it on a window or in a layout, give it the
header document with ``TimeSet`` and the work orders with ``PopulateWorkOrder``, and ask it with
``OrderOut`` which order the planner picked. docs/python.md tells the whole story.

The C++ names are kept: ``varnex.control.VarnexWidget`` is the same class, as a form of Qt
Designer names it. Importing this package also teaches PyQt6's ``uic`` where that class is, so
``uic.loadUi`` loads the forms that C++ programs compile.
"""

import os as _os

from PyQt6 import QtWidgets as _QtWidgets  # noqa: F401  (the module's base classes)

from ._varnex import varnex  # the C++ namespace varnex, as uic resolves "varnex::..."

control = varnex.control
VarnexWidget = control.VarnexWidget
ProductName = varnex.ProductName
VersionText = varnex.VersionText
CanUnloadNow = varnex.CanUnloadNow

# The enumerators of Sizing also under the class, as C++ and the forms of Designer name them
# (VarnexWidget::Fill).
VarnexWidget.Fixed = VarnexWidget.Sizing.Fixed
VarnexWidget.Fill = VarnexWidget.Sizing.Fill

__all__ = ["VarnexWidget", "ProductName", "VersionText", "CanUnloadNow"]
__version__ = "1.0"


def __getattr__(name):
    # uic's loader imports this package with the board's whole path in the import's list of
    # names (see uic_plugins/varnex_board.py): the path names the board, so Python does not
    # look for a submodule of that name.
    if name == "varnex.control.VarnexWidget":
        return VarnexWidget
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def _teach_uic():
    # uic reads its widget plugins when a form is loaded, from the folders of this list (a part
    # of its documented interface); ours maps the namespace varnex to this package.
    try:
        from PyQt6.uic import objcreator
    except ImportError:
        return
    folder = _os.path.join(_os.path.dirname(__file__), "uic_plugins")
    if folder not in objcreator.widgetPluginPath:
        objcreator.widgetPluginPath.append(folder)


_teach_uic()
