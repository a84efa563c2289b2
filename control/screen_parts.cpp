#include "control/screen_parts.h"

#include <QPainter>
#include <QRegion>

namespace varnex::control {

TextBox::TextBox(QWidget* parent) : QWidget(parent) {}

void TextBox::SetText(const QString& text) {
  mText = text;
  update();
}

void TextBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  p.setPen(palette().color(QPalette::Text));
  // Only what fits is drawn; a whole document would be laid out for nothing.
  p.drawText(rect().adjusted(2, 2, -2, -2), Qt::TextWrapAnywhere, mText.left(2000));
}

Swatch::Swatch(OleColour fill, QWidget* parent) : QWidget(parent), mFill(fill) {}

void Swatch::SetFill(OleColour fill) {
  mFill = fill;
  update();
}

QColor Swatch::FillColour() const { return ResolveColour(mFill, palette()); }

void Swatch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), FillColour());
  p.setPen(QPen(ResolveColour(system_colours::kWindow, palette()), 0));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

OutlineShape::OutlineShape(OleColour line, int lineWidth, QWidget* parent)
    : QWidget(parent), mLine(line), mLineWidth(lineWidth) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QColor OutlineShape::LineColour() const { return ResolveColour(mLine, palette()); }

void OutlineShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  const QColor colour = LineColour();
  p.fillRect(r.left(), r.top(), r.width(), mLineWidth, colour);
  p.fillRect(r.left(), r.bottom() - mLineWidth + 1, r.width(), mLineWidth, colour);
  p.fillRect(r.left(), r.top(), mLineWidth, r.height(), colour);
  p.fillRect(r.right() - mLineWidth + 1, r.top(), mLineWidth, r.height(), colour);
}

void OutlineShape::resizeEvent(QResizeEvent*) {
  // The inside is left to the children beneath, so the grid never repaints on its account.
  setMask(QRegion(rect()) - QRegion(rect().adjusted(mLineWidth, mLineWidth, -mLineWidth,
                                                    -mLineWidth)));
}

}  // namespace varnex::control
