#include "control/message_box_port.h"

#include <QMessageBox>
#include <QPointer>

namespace varnex::control {

void MessageBoxPort::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                 const QString& /*detail*/) {
  ShowMessage(parent, title, text);
}

void MessageBoxPort::ShowNote(QWidget* /*parent*/, const QString& /*note*/) {}

void ModalMessageBoxPort::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
  // The box lives on the heap: a host may delete the control, and with it this child, while the
  // box is open. exec() then returns at once and the pointer is null.
  QPointer<QMessageBox> box =
      new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  box->exec();
  delete box.data();
}

}  // namespace varnex::control
