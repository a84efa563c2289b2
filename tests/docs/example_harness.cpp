// Linked into every C++ example of the documentation when the tests build it. An example that
// runs an event loop ends once the loop runs and its windows have been painted, as if the user
// had closed them; one that shows a modal message box instead fails, naming the box.

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

void FinishOnceRunning() {
  QTimer::singleShot(0, qApp, [] {
    // Events processed before the loop starts are not the loop: wait for it.
    if (QThread::currentThread()->loopLevel() == 0) return FinishOnceRunning();
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible()) continue;
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        std::fprintf(stderr, "a message box was shown: %s\n", qPrintable(box->text()));
        std::_Exit(70);
      }
      [[maybe_unused]] const QPixmap painted = window->grab();
    }
    QCoreApplication::quit();
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(FinishOnceRunning)
