#include "control/tool_bar.h"

#include "control/screen_parts.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

#include <utility>

namespace varnex::control {

namespace {

constexpr int kIconSize = 24;
constexpr int kMargin = 2;

QPixmap DrawZoomPixmap(bool zoomIn, const QColor& ink, qreal ratio) {
  QPixmap pixmap(QSize(kIconSize, kIconSize) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // The lens: a pale glass disc in a dark rim; the handle runs down to the right.
  const QPointF centre(10, 10);
  constexpr qreal radius = 7.5;
  p.setPen(QPen(QColor(120, 80, 40), 3.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(15.6, 15.6), QPointF(21.5, 21.5));
  p.setPen(QPen(ink, 1.8));
  p.setBrush(QColor(222, 238, 255));
  p.drawEllipse(centre, radius, radius);
  p.setPen(QPen(QColor(0, 0, 192), 2.2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(6, 10), QPointF(14, 10));
  if (zoomIn) p.drawLine(QPointF(10, 6), QPointF(10, 14));
  return pixmap;
}

}  // namespace

QIcon ZoomIcon(bool zoomIn, const QColor& ink) {
  QIcon icon;
  icon.addPixmap(DrawZoomPixmap(zoomIn, ink, 1.0));
  icon.addPixmap(DrawZoomPixmap(zoomIn, ink, 2.0));
  return icon;
}

ToolBar::ToolBar(const QList<Button>& buttons, OleColour background, QWidget* parent)
    : QWidget(parent), mBackground(background) {
  detail::InstallScreenAccessibility();
  const QColor ink = ResolveColour(system_colours::kBtnText, palette());
  for (qsizetype i = 0; i < buttons.size(); ++i) {
    const Button& entry = buttons[i];
    const int number = int(i) + 1;
    auto* button = new QToolButton(this);
    button->setObjectName(entry.caption);
    button->setText(entry.caption);
    button->setAccessibleName(entry.caption);
    button->setAutoRaise(true);
    if (entry.icon != ButtonIcon::None) {
      button->setIcon(ZoomIcon(entry.icon == ButtonIcon::ZoomIn, ink));
      button->setIconSize(QSize(kIconSize, kIconSize));
      // The stored buttons carry no tooltip; the caption stays their accessible name.
      button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    button->setVisible(entry.shown);
    connect(button, &QToolButton::clicked, this,
            [this, number, caption = entry.caption] { Q_EMIT ButtonClicked(number, caption); });
    mButtons.append(button);
    mWhyNot.append(QString());
  }
  UpdateFocusPolicies();
  LayoutButtons();
}

int ToolBar::ButtonCount() const {
  return int(mButtons.size());
}

QAbstractButton* ToolBar::ButtonAt(int number) const {
  return number >= 1 && number <= mButtons.size() ? mButtons[number - 1] : nullptr;
}

void ToolBar::SetButtonDescription(const QString& text) {
  mDescription = text;
  for (int i = 0; i < mButtons.size(); ++i) UpdateDescription(i);
}

void ToolBar::SetButtonAvailable(int number, bool available, const QString& whyNot) {
  QAbstractButton* const button = ButtonAt(number);
  if (!button) return;
  mWhyNot[number - 1] = available ? QString() : whyNot;
  if (!available && button->hasFocus()) {
    // The nearest shown button that still acts, looking after this one first.
    for (int distance = 1; distance < mButtons.size(); ++distance) {
      QAbstractButton* other = nullptr;
      for (const int index : {number - 1 + distance, number - 1 - distance}) {
        if (index < 0 || index >= mButtons.size()) continue;
        QAbstractButton* candidate = mButtons[index];
        if (!candidate->isHidden() && candidate->isEnabled()) {
          other = candidate;
          break;
        }
      }
      if (other) {
        other->setFocus(Qt::OtherFocusReason);
        break;
      }
    }
  }
  button->setEnabled(available);
  UpdateDescription(number - 1);
}

void ToolBar::UpdateDescription(int index) {
  QAbstractButton* const b = mButtons[index];
  if (b->isHidden()) return;
  const QString& whyNot = mWhyNot[index];
  const QString text = whyNot.isEmpty()         ? mDescription
                       : mDescription.isEmpty() ? whyNot
                                                : whyNot + QStringLiteral(". ") + mDescription;
  // Readers hear every change, so an unchanged text is not set again.
  if (text != b->accessibleDescription()) b->setAccessibleDescription(text);
}

bool ToolBar::event(QEvent* event) {
  if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
    UpdateFocusPolicies();
  }
  return QWidget::event(event);
}

void ToolBar::UpdateFocusPolicies() {
  // A button nobody sees takes no focus, so Tab never lands on it: one not shown, or any on a
  // bar that was hidden (a bar not yet shown with its parent is not).
  const bool barHidden = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
  for (QAbstractButton* b : std::as_const(mButtons)) {
    b->setFocusPolicy(!barHidden && !b->isHidden() ? Qt::TabFocus : Qt::NoFocus);
  }
}

void ToolBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ResolveColour(mBackground, palette()));
}

void ToolBar::resizeEvent(QResizeEvent*) {
  LayoutButtons();
}

void ToolBar::LayoutButtons() {
  // The shown buttons share the width in one row, each no wider than the bar is high.
  int shown = 0;
  for (const QAbstractButton* b : mButtons) shown += b->isVisibleTo(this) ? 1 : 0;
  if (shown == 0) return;
  const int height = std::max(0, this->height() - 2 * kMargin);
  const int width = std::min(height, std::max(0, this->width() - 2 * kMargin) / shown);
  int x = kMargin;
  for (QAbstractButton* b : mButtons) {
    if (!b->isVisibleTo(this)) continue;
    b->setGeometry(x, kMargin, width, height);
    x += width;
  }
}

}  // namespace varnex::control
