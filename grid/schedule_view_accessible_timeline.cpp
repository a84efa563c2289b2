// The timeline as assistive technology reads it: described by its scale, holding the current
// line's bars, each made when a reader first asks for it.
#include "grid/schedule_view_accessible_p.h"

#include <QAccessible>

#include <utility>

namespace varnex::grid::detail {

namespace {

// One bar of a line in the timeline.
class AccessibleBar final : public AccessibleLeaf {
 public:
  AccessibleBar(QWidget* timeline, ViewPrivate* owner, int lineNumber, int barIndex)
      : AccessibleLeaf(timeline, owner), line(lineNumber), index(barIndex) {}

  bool isValid() const override { return body && d->model->bar(line, index); }
  QString text(QAccessible::Text t) const override {
    if (!isValid() || t != QAccessible::Name)
      return {};
    return barWords(*d, *d->model->bar(line, index));
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    return isValid() ? globalRect(d->q, d->q->barRect(line, index)) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::Graphic; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invalid = !isValid();
    s.offscreen = !s.invalid && !globalRect(body, body->rect()).intersects(rect());
    return s;
  }

 private:
  const int line;
  const int index;
};

}  // namespace

AccessibleTimeline* timelineOf(const ViewPrivate& d) {
  return dynamic_cast<AccessibleTimeline*>(QAccessible::queryAccessibleInterface(d.timelineBody));
}

AccessibleTimeline::AccessibleTimeline(QWidget* body, ViewPrivate* owner)
    : AccessiblePart(body, QAccessible::Chart, owner, AccessibleFocus::Timeline) {}

AccessibleTimeline::~AccessibleTimeline() {
  for (const QAccessible::Id id : std::as_const(bars))
    QAccessible::deleteAccessibleInterface(id);
}

QString AccessibleTimeline::text(QAccessible::Text t) const {
  if (t == QAccessible::Description && isValid())
    return scaleWords(*d);
  return AccessiblePart::text(t);
}

int AccessibleTimeline::childCount() const {
  return isValid() && d->currentLine > 0 ? d->model->barCount(d->currentLine) : 0;
}

QAccessibleInterface* AccessibleTimeline::child(int i) const {
  if (i < 0 || i >= childCount())
    return nullptr;
  const quint64 key = keyOf(d->currentLine, i + 1);
  if (const auto it = bars.constFind(key); it != bars.constEnd())
    return QAccessible::accessibleInterface(*it);
  auto* made = new AccessibleBar(widget(), d, d->currentLine, i + 1);
  bars.insert(key, QAccessible::registerAccessibleInterface(made));
  return made;
}

int AccessibleTimeline::indexOfChild(const QAccessibleInterface* item) const {
  for (int i = 0; i < childCount(); ++i) {
    if (child(i) == item)
      return i;
  }
  return -1;
}

QAccessibleInterface* AccessibleTimeline::childAt(int x, int y) const {
  if (!isValid())
    return nullptr;
  int line = 0;
  const int index = d->q->barAt(d->q->mapFromGlobal(QPoint(x, y)), &line);
  return index > 0 && line == d->currentLine ? child(index - 1) : nullptr;
}

}  // namespace varnex::grid::detail
