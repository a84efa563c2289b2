#pragma once

#include <QString>

class QWidget;

namespace varnex::control {

/// Where the control's message boxes go. The control shows every failure and every refused
/// document through its port; a host replaces the port to record the messages or to keep a
/// batch run from blocking.
class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  /// Shows the text under the title with an OK button only and returns once it is dismissed.
  /// `parent` is the control that reports.
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text) = 0;
};

/// The default port: a modal message box with an OK button and no icon.
class ModalMessageBoxPort final : public MessageBoxPort {
 public:
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace varnex::control
