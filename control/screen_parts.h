#pragma once

#include "control/screen_style.h"

#include <QFrame>
#include <QList>
#include <QString>
#include <QWidget>

namespace varnex::control {

/// A legend band: a strip of marks (swatches and marker captions), each explained by the legend
/// text to its right. Assistive technology reads the band as a group with the band's name whose
/// items are its marks, each read together with its words ("X: Cancel Orders", a swatch as
/// "Suggested"); the texts are not read a second time.
class LegendBand : public QFrame {
  Q_OBJECT
 public:
  explicit LegendBand(const QString& name, QWidget* parent = nullptr);
  /// Makes a child one of the band's marks; swatches made in the band are marks already.
  void AddMark(QWidget* mark);
  [[nodiscard]] bool IsMark(const QWidget* child) const;
  /// The marks from left to right.
  [[nodiscard]] QList<QWidget*> Marks() const;
  /// What a mark reads as: its words, after the mark's own caption when it has one.
  [[nodiscard]] QString MarkName(const QWidget* mark) const;

 private:
  QList<QWidget*> mMarks;
};

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
/// Made in a LegendBand, it is one of the band's marks.
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
/// through to whatever lies beneath, and assistive technology passes over it.
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

namespace detail {

/// Registers how the screen's parts read to assistive technology: the control and its toolbars
/// offer only their shown children, in reading order, and legend bands read as legends. Legend
/// bands and toolbars call it when they are made, before a reader can ask for the control.
void InstallScreenAccessibility();

}  // namespace detail

}  // namespace varnex::control
