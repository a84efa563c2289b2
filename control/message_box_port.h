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
  /// The same with the box's detail: what it is about (the document, the row from 1 and its
  /// order number, the column and the value found there, or the limit that was passed). The
  /// control calls this one; by default it shows the box through the one above and leaves the
  /// detail out, so a port that wants the detail overrides both.
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                           const QString& detail);
  /// A note on a document that loaded as written but may not show what its author meant:
  /// entity references shown as written, values whose ";" moves the cells after them. Nothing
  /// waits for the planner; by default the note is dropped (it is also logged on the
  /// "varnex.load" category).
  virtual void ShowNote(QWidget* parent, const QString& note);
};

/// The default port: a modal message box with an OK button and no icon.
class ModalMessageBoxPort final : public MessageBoxPort {
 public:
  using MessageBoxPort::ShowMessage;
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace varnex::control
