#pragma once

#include <QString>

class QWidget;

/// The entry points of the component library: create a control by class name, tell whether the
/// library is still in use, and give the library's version information.
namespace varnex {

/// Creates a control of the class named (the one class is "Zeb_Varnex"); nullptr for any other
/// name. The control is a varnex::control::VarnexWidget, owned by `parent` when one is given and
/// by the caller otherwise. It is made only on the GUI thread of a running QApplication: anywhere
/// else this warns with the reason (through Qt's message handler) and returns nullptr. Its
/// members may then be called from any thread.
[[nodiscard]] QWidget* CreateControl(const QString& className, QWidget* parent = nullptr);

/// True when no control made by this library is alive any more, so the library may be unloaded.
[[nodiscard]] bool CanUnloadNow();

/// The version information: product name ("Kestrova") and file and product version ("1.00").
[[nodiscard]] QString ProductName();
[[nodiscard]] QString VersionText();

}  // namespace varnex

/// The same entry points with C linkage, for hosts that load the library at run time and look
/// its symbols up by name. The class name is UTF-8.
extern "C" {
QWidget* varnex_create_control(const char* className, QWidget* parent);
int varnex_can_unload_now(void);
const char* varnex_version_text(void);
}
