#include "control/component_library.h"

#include "control/live_controls.h"
#include "control/varnex_widget.h"
#include "platform/version_info.h"

#include <QApplication>
#include <QThread>

#include <atomic>

namespace varnex {

namespace {
std::atomic<int> gLiveControls{0};
}  // namespace

namespace control::detail {
void ControlCreated() {
  ++gLiveControls;
}
void ControlDestroyed() {
  --gLiveControls;
}
int LiveControls() {
  return gLiveControls.load();
}
}  // namespace control::detail

QWidget* CreateControl(const QString& className, QWidget* parent) {
  if (className != QLatin1String("Zeb_Varnex")) return nullptr;
  // A widget can only be made on the GUI thread of a widget application; calls from other
  // threads are then welcome, as the board runs each on its own thread.
  const QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<const QApplication*>(app)) {
    qWarning("Kestrova: a board needs a QApplication; create one before the board.");
    return nullptr;
  }
  if (QThread::currentThread() != app->thread()) {
    qWarning(
        "Kestrova: a board can only be created on the application's GUI thread; create it "
        "there and call its members from any thread.");
    return nullptr;
  }
  return new control::VarnexWidget(parent);
}

bool CanUnloadNow() {
  return control::detail::LiveControls() == 0;
}

QString ProductName() {
  return QString::fromUtf16(platform::kProductName);
}

QString VersionText() {
  return QString::fromUtf16(platform::kVersionText);
}

}  // namespace varnex

QWidget* varnex_create_control(const char* className, QWidget* parent) {
  return className ? varnex::CreateControl(QString::fromUtf8(className), parent) : nullptr;
}

int varnex_can_unload_now(void) {
  return varnex::CanUnloadNow() ? 1 : 0;
}

const char* varnex_version_text(void) {
  static const QByteArray text = varnex::VersionText().toUtf8();
  return text.constData();
}
