#include "control/message_box_port.h"

#include <QMessageBox>

namespace varnex::control {

void ModalMessageBoxPort::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace varnex::control
