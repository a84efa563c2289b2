#pragma once

#include "control/screen_style.h"

#include <QString>
#include <QWidget>

namespace varnex::control {

/// A hidden text holder: keeps the text of the last document received. Nothing reads it back;
/// if it were ever shown it would draw the start of its text.
class TextBox : public QWidget {
 public:
  explicit TextBox(QWidget* parent = nullptr);
  void SetText(const QString& text);
  [[nodiscard]] const QString& Text() const { return mText; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString mText;
};

/// A legend swatch: a rectangle filled with its fill colour and outlined in the window colour.
class Swatch : public QWidget {
 public:
  Swatch(OleColour fill, QWidget* parent = nullptr);
  void SetFill(OleColour fill);
  [[nodiscard]] OleColour Fill() const { return mFill; }
  /// The fill as drawn, with a system colour resolved through the palette.
  [[nodiscard]] QColor FillColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  OleColour mFill;
};

/// An outline rectangle with no fill. Only its line takes part in painting; the pointer passes
/// through to whatever lies beneath.
class OutlineShape : public QWidget {
 public:
  OutlineShape(OleColour line, int lineWidth, QWidget* parent = nullptr);
  [[nodiscard]] QColor LineColour() const;
  [[nodiscard]] int LineWidth() const { return mLineWidth; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  OleColour mLine;
  int mLineWidth;
};

}  // namespace varnex::control
