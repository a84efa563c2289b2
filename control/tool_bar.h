#pragma once

#include "control/screen_style.h"

#include <QList>
#include <QString>
#include <QWidget>

class QAbstractButton;

namespace varnex::control {

/// The picture a toolbar button shows.
enum class ButtonIcon { None, ZoomOut, ZoomIn };

/// A toolbar: a row of buttons numbered from 1 in stored order. Buttons that are not shown
/// keep their number, so the numbers of the others never shift. The caption of an icon-only
/// button is its accessible name and tooltip.
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

 Q_SIGNALS:
  /// A button was pressed (clicked, or activated from the keyboard).
  void ButtonClicked(int number, const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayoutButtons();

  QList<QAbstractButton*> mButtons;
  OleColour mBackground;
};

/// A magnifier with a minus or a plus, drawn for the zoom buttons at 1x and 2x.
[[nodiscard]] QIcon ZoomIcon(bool zoomIn, const QColor& ink);

}  // namespace varnex::control
