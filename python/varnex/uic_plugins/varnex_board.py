# A widget plugin of PyQt6's uic (the package varnex adds its folder to uic's search path).
#
# A form made in Qt Designer names the board by its C++ class, varnex::control::VarnexWidget,
# and its layout property by the C++ enumerator, varnex::control::VarnexWidget::Fill. uic makes
# both Python paths (varnex.control.VarnexWidget) and looks their first part, "varnex", up among
# the modules it knows: this plugin makes it the C++ namespace of the same name, which the
# package offers as varnex.varnex, so the same .ui file serves C++ and Python.

# pylint: disable=undefined-variable
pluginType = MODULE  # noqa: F821  (given by uic's plugin loader)


def moduleInformation():
    # The board's class by its whole path (uic's loader takes varnex.VarnexWidget for it, and
    # pyuic6 writes that), and the namespace that the path and the enumerators start with.
    return "varnex", ("varnex.control.VarnexWidget", "varnex")
