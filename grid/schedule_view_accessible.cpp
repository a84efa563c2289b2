// Assistive technology sees each pane body as a list whose items are the lines. Line items are
// made on demand, so 32,766 lines cost nothing until a reader asks for them.
#include "grid/schedule_view_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace varnex::grid {

class ScheduleView::Private::LineAccessible : public QAccessibleInterface {
 public:
  LineAccessible(QWidget* widget, Private* owner, int number) : body(widget), d(owner), line(number) {}

  bool isValid() const override { return body && d->model && line <= d->model->lineCount(); }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(body);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (!isValid())
      return {};
    if (t == QAccessible::Name)
      return d->model->lineText(line);
    if (t == QAccessible::Description)
      return d->model->lineDescription(line);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid())
      return {};
    const QRect band(0, d->rows().lineTop(line), body->width(), d->rowHeight);
    return band.translated(body->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.selectable = true;
    s.focusable = true;
    if (isValid()) {
      s.selected = line == d->currentLine;
      s.focused = s.selected && d->q->hasFocus();
      const QRect band(0, d->rows().lineTop(line), body->width(), d->rowHeight);
      s.offscreen = !body->rect().intersects(band);
    }
    return s;
  }

 private:
  QPointer<QWidget> body;
  Private* const d;
  const int line;
};

class ScheduleView::Private::BodyAccessible : public QAccessibleWidget {
 public:
  explicit BodyAccessible(Body* body) : QAccessibleWidget(body, QAccessible::List), d(body->owner()) {}
  ~BodyAccessible() override {
    for (const QAccessible::Id id : std::as_const(lines))
      QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return d->model ? d->model->lineCount() : 0; }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount())
      return nullptr;
    const auto it = lines.constFind(index + 1);
    if (it != lines.constEnd())
      return QAccessible::accessibleInterface(*it);
    auto* line = new LineAccessible(widget(), d, index + 1);
    lines.insert(index + 1, QAccessible::registerAccessibleInterface(line));
    return line;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (auto it = lines.constBegin(); it != lines.constEnd(); ++it) {
      if (QAccessible::accessibleInterface(it.value()) == child)
        return it.key() - 1;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    const int line = d->rows().lineAt(local.y(), childCount());
    return line > 0 && widget()->rect().contains(local) ? child(line - 1) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    return d->currentLine > 0 ? child(d->currentLine - 1) : nullptr;
  }

 private:
  Private* const d;
  mutable QHash<int, QAccessible::Id> lines;
};

void ScheduleView::Private::installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
      if (auto* body = dynamic_cast<Body*>(object))
        return new BodyAccessible(body);
      return nullptr;
    });
    return true;
  }();
  Q_UNUSED(installed);
}

}  // namespace varnex::grid
