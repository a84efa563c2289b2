#include "control/screen_parts.h"

#include "control/tool_bar.h"
#include "control/varnex_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <utility>

namespace varnex::control {

namespace {

// A container that offers assistive technology only its shown children, in reading order (top
// to bottom, then left to right): hidden holders, hidden buttons and the outline stay out.
class ShownChildrenAccessible final : public QAccessibleWidget {
 public:
  ShownChildrenAccessible(QWidget* widget, QAccessible::Role role)
      : QAccessibleWidget(widget, role) {}

  int childCount() const override { return int(Shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = Shown();
    return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index])
                                              : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QList<QWidget*> shown = Shown();
    const QObject* object = child ? child->object() : nullptr;
    const auto it = std::find(shown.cbegin(), shown.cend(), object);
    return object && it != shown.cend() ? int(it - shown.cbegin()) : -1;
  }

 private:
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    if (!isValid()) return shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      const bool decoration = dynamic_cast<OutlineShape*>(child) != nullptr;
      if (child && !child->isWindow() && !child->isHidden() && !decoration) shown.append(child);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const QWidget* a, const QWidget* b) {
      return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    return shown;
  }
};

// A legend band: a named group of its marks.
class LegendAccessible final : public QAccessibleWidget {
 public:
  explicit LegendAccessible(LegendBand* band) : QAccessibleWidget(band, QAccessible::Grouping) {}

  int childCount() const override { return int(Band()->Marks().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> marks = Band()->Marks();
    return index >= 0 && index < marks.size() ? QAccessible::queryAccessibleInterface(marks[index])
                                              : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QList<QWidget*> marks = Band()->Marks();
    const QObject* object = child ? child->object() : nullptr;
    const auto it = std::find(marks.cbegin(), marks.cend(), object);
    return object && it != marks.cend() ? int(it - marks.cbegin()) : -1;
  }

 private:
  LegendBand* Band() const { return static_cast<LegendBand*>(widget()); }
};

// An item of a legend band. A mark reads with its words; the words alone are not offered.
// Items are told apart when read, since a label becomes a mark only after it is made.
class LegendItemAccessible final : public QAccessibleWidget {
 public:
  explicit LegendItemAccessible(QWidget* item) : QAccessibleWidget(item, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return QAccessibleWidget::text(t);
    const auto* band = qobject_cast<const LegendBand*>(widget()->parentWidget());
    if (band && band->IsMark(widget())) return band->MarkName(widget());
    const auto* label = qobject_cast<const QLabel*>(widget());
    return label ? label->text() : QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = false;
    return s;
  }
};

QAccessibleInterface* CreateScreenInterface(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (qobject_cast<VarnexWidget*>(widget)) {
    return new ShownChildrenAccessible(widget, QAccessible::Client);
  }
  if (qobject_cast<ToolBar*>(widget)) {
    return new ShownChildrenAccessible(widget, QAccessible::ToolBar);
  }
  if (auto* band = qobject_cast<LegendBand*>(widget)) return new LegendAccessible(band);
  if (qobject_cast<LegendBand*>(widget->parentWidget())) return new LegendItemAccessible(widget);
  return nullptr;
}

}  // namespace

namespace detail {

void InstallScreenAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(CreateScreenInterface);
    return true;
  }();
  Q_UNUSED(installed);
}

}  // namespace detail

LegendBand::LegendBand(const QString& name, QWidget* parent) : QFrame(parent) {
  detail::InstallScreenAccessibility();
  setAccessibleName(name);
}

void LegendBand::AddMark(QWidget* mark) {
  Q_ASSERT(mark && mark->parentWidget() == this);
  if (!mMarks.contains(mark)) mMarks.append(mark);
}

bool LegendBand::IsMark(const QWidget* child) const {
  return std::find(mMarks.cbegin(), mMarks.cend(), child) != mMarks.cend();
}

QList<QWidget*> LegendBand::Marks() const {
  QList<QWidget*> marks = mMarks;
  std::stable_sort(marks.begin(), marks.end(),
                   [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
  return marks;
}

QString LegendBand::MarkName(const QWidget* mark) const {
  // The words are the nearest text to the right of the mark.
  const QLabel* words = nullptr;
  for (const QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (IsMark(label) || label->x() <= mark->x()) continue;
    if (!words || label->x() < words->x()) words = label;
  }
  const auto* caption = qobject_cast<const QLabel*>(mark);
  const QString own = caption ? caption->text() : QString();
  if (!words) return own;
  return own.isEmpty() ? words->text() : QStringLiteral("%1: %2").arg(own, words->text());
}

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

Swatch::Swatch(OleColour fill, QWidget* parent) : QWidget(parent), mFill(fill) {
  if (auto* band = qobject_cast<LegendBand*>(parent)) band->AddMark(this);
}

void Swatch::SetFill(OleColour fill) {
  mFill = fill;
  update();
}

QColor Swatch::FillColour() const {
  return ResolveColour(mFill, palette());
}

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

QColor OutlineShape::LineColour() const {
  return ResolveColour(mLine, palette());
}

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
  setMask(QRegion(rect()) -
          QRegion(rect().adjusted(mLineWidth, mLineWidth, -mLineWidth, -mLineWidth)));
}

}  // namespace varnex::control
