// What assistive technology hears of the schedule view. The view reads as a group named for its
// lines and period; its parts are the title strip, the list as a table of every line (the
// model's columns, then the start and end of the line's bar), the time ruler, and the timeline,
// which holds the current line's bars. Cells are made when a reader first asks for them, so
// 32,766 lines cost nothing until read. While the view has the keyboard exactly one object reads
// as focused: the timeline right after a zoom step, else the current line's first cell, else
// the table.
#include "grid/schedule_view_accessible_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <algorithm>
#include <initializer_list>

namespace varnex::grid {

namespace {

void send(QObject* object, QAccessible::Event type, int child = -1) {
  QAccessibleEvent event(object, type);
  if (child >= 0)
    event.setChild(child);
  QAccessible::updateAccessibility(&event);
}

}  // namespace

namespace detail {

namespace {

// The title strip and the ruler: what they show, as text.
class AccessibleText final : public AccessiblePart {
 public:
  enum class Kind { Title, Ruler };
  AccessibleText(QWidget* strip, ViewPrivate* owner, Kind which)
      : AccessiblePart(strip, QAccessible::StaticText, owner), kind(which) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid())
      return AccessiblePart::text(t);
    return kind == Kind::Title ? d->q->shownTitle() : rulerWords(*d);
  }
  QAccessible::State state() const override {
    QAccessible::State s = AccessiblePart::state();
    s.focusable = false;
    return s;
  }

 private:
  const Kind kind;
};

// The view: a group named for its lines and period and described by its scale.
class AccessibleView final : public QAccessibleWidget {
 public:
  AccessibleView(ScheduleView* view, ViewPrivate* owner)
      : QAccessibleWidget(view, QAccessible::Grouping), d(owner), listBody(owner->listBody) {}

  // The parts go before the view's state does; without them the view tells nothing more.
  bool isValid() const override { return QAccessibleWidget::isValid() && listBody; }
  QString text(QAccessible::Text t) const override {
    if (isValid() && t == QAccessible::Name)
      return gridName(*d);
    if (isValid() && t == QAccessible::Description)
      return scaleWords(*d);
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focused = false;
    return s;
  }
  int childCount() const override { return int(parts().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> all = parts();
    return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index])
                                            : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QList<QWidget*> all = parts();
    const QObject* object = child ? child->object() : nullptr;
    const auto it = std::find(all.cbegin(), all.cend(), object);
    return object && it != all.cend() ? int(it - all.cbegin()) : -1;
  }
  QAccessibleInterface* focusChild() const override {
    if (!isValid())
      return nullptr;
    switch (focusOf(*d)) {
      case AccessibleFocus::Table:
        return QAccessible::queryAccessibleInterface(d->listBody);
      case AccessibleFocus::Timeline:
        return QAccessible::queryAccessibleInterface(d->timelineBody);
      case AccessibleFocus::Cell: {
        const AccessibleTable* table = tableOf(*d);
        return table ? table->focusChild() : nullptr;
      }
      case AccessibleFocus::None:
        break;
    }
    return nullptr;
  }

  /// The name readers last heard of, to tell them only when it changes.
  QString notedName;

 private:
  // On-screen order: the title over the table and, to its right, the ruler over the timeline.
  QList<QWidget*> parts() const {
    if (!isValid())
      return {};
    return {d->title.get(), d->listBody, d->ruler, d->timelineBody};
  }

  ViewPrivate* const d;
  QPointer<QWidget> listBody;
};

ViewPrivate* ownerOf(const ScheduleView* view) {
  auto* body = dynamic_cast<ViewPrivate::Body*>(view->listBody());
  return body ? body->owner() : nullptr;
}

// Parts are recognised by what they are once the view is built; what is asked for earlier
// gets the toolkit's plain interface, which installAccessibility() replaces.
QAccessibleInterface* create(const QString&, QObject* object) {
  if (!object || !object->isWidgetType())
    return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (auto* view = qobject_cast<ScheduleView*>(widget)) {
    ViewPrivate* d = ownerOf(view);
    return d ? new AccessibleView(view, d) : nullptr;
  }
  if (auto* body = dynamic_cast<ViewPrivate::Body*>(widget)) {
    if (body->pane() == ScheduleView::Pane::List)
      return new AccessibleTable(body, body->owner());
    return new AccessibleTimeline(body, body->owner());
  }
  for (QWidget* holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
    if (auto* view = qobject_cast<ScheduleView*>(holder)) {
      ViewPrivate* d = ownerOf(view);
      if (d && widget == d->title.get())
        return new AccessibleText(widget, d, AccessibleText::Kind::Title);
      if (d && widget == d->ruler)
        return new AccessibleText(widget, d, AccessibleText::Kind::Ruler);
      return nullptr;
    }
  }
  return nullptr;
}

// Sends the focus event for whatever reads as focused now.
void sendFocus(const ViewPrivate& d, const AccessibleTable& table) {
  switch (focusOf(d)) {
    case AccessibleFocus::Cell:
      send(d.listBody, QAccessible::Focus, table.childIndex(d.currentLine, 0));
      break;
    case AccessibleFocus::Table:
      send(d.listBody, QAccessible::Focus);
      break;
    case AccessibleFocus::Timeline:
      send(d.timelineBody, QAccessible::Focus);
      break;
    case AccessibleFocus::None:
      break;
  }
}

bool isOwn(QAccessibleInterface* iface) {
  return dynamic_cast<AccessibleView*>(iface) || dynamic_cast<AccessiblePart*>(iface);
}

}  // namespace

AccessibleFocus focusOf(const ViewPrivate& d) {
  if (!d.q->hasFocus())
    return AccessibleFocus::None;
  if (const AccessibleTimeline* timeline = timelineOf(d); timeline && timeline->holdsFocus)
    return AccessibleFocus::Timeline;
  return d.currentLine > 0 ? AccessibleFocus::Cell : AccessibleFocus::Table;
}

}  // namespace detail

void ScheduleView::Private::installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(detail::create);
    return true;
  }();
  Q_UNUSED(installed);
  // Interfaces asked for while the view was being built are the toolkit's plain ones; they go,
  // so that the next reader gets the view's own.
  for (QObject* part :
       std::initializer_list<QObject*>{q, title.get(), listBody, ruler, timelineBody}) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(part);
    if (iface && !detail::isOwn(iface))
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
  }
}

void ScheduleView::Private::announceFocus() {
  if (!QAccessible::isActive())
    return;
  // After the toolkit's own focus event for the view, which readers pass over since the view
  // does not read as focused.
  QMetaObject::invokeMethod(
      q,
      [this] {
        detail::AccessibleTable* table = detail::tableOf(*this);
        detail::AccessibleTimeline* timeline = detail::timelineOf(*this);
        if (!table || !timeline)
          return;
        timeline->holdsFocus = false;
        detail::sendFocus(*this, *table);
      },
      Qt::QueuedConnection);
}

void ScheduleView::Private::announceCurrentLine(int previous) {
  detail::AccessibleTable* table = QAccessible::isActive() ? detail::tableOf(*this) : nullptr;
  detail::AccessibleTimeline* timeline = table ? detail::timelineOf(*this) : nullptr;
  if (!timeline)
    return;
  timeline->holdsFocus = false;
  if (previous > 0 && previous <= model->lineCount() && previous != currentLine)
    send(listBody, QAccessible::SelectionRemove, table->childIndex(previous, 0));
  if (currentLine == 0)
    return;
  detail::sendFocus(*this, *table);
  send(listBody, QAccessible::Selection, table->childIndex(currentLine, 0));
}

void ScheduleView::Private::announcePosition() {
  title->update();
  detail::AccessibleTable* table = QAccessible::isActive() ? detail::tableOf(*this) : nullptr;
  if (!table)
    return;
  send(title.get(), QAccessible::NameChanged);
  // The current line's cell has the reader's focus and tells the position in its description.
  if (currentLine > 0 && q->hasFocus())
    send(listBody, QAccessible::DescriptionChanged, table->childIndex(currentLine, 0));
}

void ScheduleView::Private::announceScale() {
  detail::AccessibleTimeline* timeline =
      QAccessible::isActive() ? detail::timelineOf(*this) : nullptr;
  if (!timeline)
    return;
  send(timelineBody, QAccessible::DescriptionChanged);
  send(q, QAccessible::DescriptionChanged);
  send(ruler, QAccessible::NameChanged);
  // With the keyboard in the view, the timeline takes the reader's focus so that the new scale
  // is read out; moving the current line gives it back to the table.
  if (q->hasFocus()) {
    timeline->holdsFocus = true;
    send(timelineBody, QAccessible::Focus);
  }
}

void ScheduleView::Private::announceLines() {
  detail::AccessibleTable* table = QAccessible::isActive() ? detail::tableOf(*this) : nullptr;
  auto* view = table
                   ? dynamic_cast<detail::AccessibleView*>(QAccessible::queryAccessibleInterface(q))
                   : nullptr;
  if (!view)
    return;
  if (table->noteSize()) {
    QAccessibleTableModelChangeEvent reset(listBody, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
  }
  const QString name = detail::gridName(*this);
  if (name != view->notedName) {
    view->notedName = name;
    send(q, QAccessible::NameChanged);
    send(title.get(), QAccessible::NameChanged);
  }
}

}  // namespace varnex::grid
