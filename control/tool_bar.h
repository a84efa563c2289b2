#pragma once

#include "control/screen_style.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractButton;

namespace varnex::control {

/// The picture a toolbar button shows.
enum class ButtonIcon { None, ZoomOut, ZoomIn };

/// A toolbar: a row of buttons numbered from 1 in stored order. Buttons that are not shown
/// keep their number, so the numbers of the others never shift. A button's caption is its
/// accessible name. Only the shown buttons of a shown bar take the keyboard (Tab) and reach
/// assistive technology.
class ToolBar : public QWidget {
  Q_OBJECT
 public:
  struct Button {
    QString caption;
    ButtonIcon icon = ButtonIcon::None;
    bool shown = false;
  };

  ToolBar(const QList<Button>& buttons, OleColour background, QWidget* parent = nullptr);

  [[nodiscard]] int ButtonCount() const;
  /// The button with that number (from 1), or nullptr.
  [[nodiscard]] QAbstractButton* ButtonAt(int number) const;
  /// Describes the shown buttons to assistive technology, read after their names (the zoom
  /// buttons tell the scale a step led to); readers hear the change on the focused button.
  void SetButtonDescription(const QString& text);
  /// Enables or disables a button; a disabled one tells assistive technology why (whyNot,
  /// before the description). A button that loses the keyboard focus this way hands it to
  /// the nearest shown button that still acts, so that the focus stays on the bar.
  void SetButtonAvailable(int number, bool available, const QString& whyNot = {});

 Q_SIGNALS:
  /// A button was pressed (clicked, or activated from the keyboard).
  void ButtonClicked(int number, const QString& caption);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayoutButtons();
  void UpdateFocusPolicies();
  void UpdateDescription(int index);

  QList<QAbstractButton*> mButtons;
  QStringList mWhyNot;  ///< per button, why it does not act; empty while it does
  QString mDescription;
  OleColour mBackground;
};

/// A magnifier with a minus or a plus, drawn for the zoom buttons at 1x and 2x.
[[nodiscard]] QIcon ZoomIcon(bool zoomIn, const QColor& ink);

}  // namespace varnex::control
