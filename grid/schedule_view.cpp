#include "grid/schedule_view.h"

#include "grid/schedule_view_p.h"
#include "grid/text_fit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace varnex::grid {

ScheduleView::ScheduleView(QWidget* parent) : ScheduleView(nullptr, parent) {}

ScheduleView::ScheduleView(ScheduleModel* model, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(this)) {
  QFont base = font();
  base.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  setFont(base);
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("Schedule grid"));
  d->build();
  d->attachSettings(nullptr);
  d->attach(model);
}

ScheduleView::~ScheduleView() = default;

ScheduleModel* ScheduleView::model() const {
  return d->model;
}

void ScheduleView::setModel(ScheduleModel* model) {
  if (model && model == d->model)
    return;
  d->attach(model);
}

ScheduleSettings* ScheduleView::settings() const {
  return d->settings;
}

void ScheduleView::setSettings(ScheduleSettings* settings) {
  if (settings && settings == d->settings)
    return;
  d->attachSettings(settings);
}

void ScheduleView::focusBar(int line, int barIndex) {
  d->onFocusRequested(line, barIndex);
}

int ScheduleView::currentLine() const {
  return d->currentLine;
}

void ScheduleView::setCurrentLine(int line) {
  if (line < 0 || line > d->model->lineCount() || line == d->currentLine)
    return;
  const int previous = d->currentLine;
  d->currentLine = line;
  d->ensureLineVisible(line, false);
  d->listBody->update();
  d->timelineBody->update();
  d->ruler->update();  // it marks the current line's bar
  d->announceCurrentLine(previous);
  // The position in the chosen kind follows the current line; what the last step said goes.
  d->walkNote.clear();
  if (d->chosenKind >= 0)
    d->title->update();
  Q_EMIT currentLineChanged(line);
}

std::vector<EdgeMarker> ScheduleView::edgeMarkers(int line) const {
  d->ensureLayout();
  std::vector<EdgeMarker> markers =
      detail::edgeMarkers(d->screenContext(), d->timelineBody->rect(), line);
  const QPoint offset = d->timelineBody->mapTo(this, QPoint(0, 0));
  for (EdgeMarker& marker : markers)
    marker.rect.translate(offset);
  return markers;
}

int ScheduleView::chosenKind() const {
  return d->chosenKind;
}

void ScheduleView::chooseKind(int kind) {
  d->chooseKind(kind);
}

void ScheduleView::goToKind(int direction) {
  d->walkKind(direction);
}

QString ScheduleView::positionText() const {
  d->ensureLayout();
  return d->positionText();
}

std::int32_t ScheduleView::today() const {
  return d->today;
}

void ScheduleView::setToday(std::int32_t day) {
  d->today = day;
  d->timelineBody->update();
}

void ScheduleView::scrollToLine(int line) {
  d->ensureLineVisible(line, true);
}

void ScheduleView::scrollToTime(TimePoint time) {
  d->ensureLayout();
  const double x = d->scale.offsetOf(TimeAxis::dayPosition(time));
  d->timeHScroll->setValue(int(std::lround(std::clamp(x, 0.0, double(d->timeHScroll->maximum())))));
}

int ScheduleView::rowHeight() const {
  return d->rowHeight;
}

int ScheduleView::headerHeight() const {
  return d->headerHeight;
}

int ScheduleView::titleHeight() const {
  return d->titleHeight;
}

double ScheduleView::pixelsPerDay() const {
  return d->scale.pixelsPerDay();
}

bool ScheduleView::canZoom(int direction) const {
  d->ensureLayout();
  return d->zoomChanges(direction);
}

QString ScheduleView::zoomEndText(int direction) const {
  d->ensureLayout();
  return d->zoomEndWords(direction);
}

RowGeometry ScheduleView::rowGeometry() const {
  d->ensureLayout();
  return d->rows();
}

TimeAxis ScheduleView::timeAxis() const {
  d->ensureLayout();
  return d->axis();
}

std::int32_t ScheduleView::firstDay() const {
  d->ensureLayout();
  return d->scale.span().first;
}

std::int32_t ScheduleView::lastDay() const {
  d->ensureLayout();
  return d->scale.span().last();
}

QRect ScheduleView::lineRect(int line, Pane pane) const {
  if (line < 1 || line > d->model->lineCount())
    return {};
  d->ensureLayout();
  QWidget* body = pane == Pane::List ? static_cast<QWidget*>(d->listBody) : d->timelineBody;
  const QRect band(0, d->rows().lineTop(line), body->width(), d->rowHeight);
  return band.translated(body->mapTo(this, QPoint(0, 0)));
}

QRect ScheduleView::barRect(int line, int barIndex) const {
  const Bar* bar = d->model->bar(line, barIndex);
  if (!bar)
    return {};
  d->ensureLayout();
  return detail::barRect(d->screenContext(), line, *bar)
      .translated(d->timelineBody->mapTo(this, QPoint(0, 0)));
}

int ScheduleView::lineAt(const QPoint& pos) const {
  d->ensureLayout();
  for (QWidget* body :
       {static_cast<QWidget*>(d->listBody), static_cast<QWidget*>(d->timelineBody)}) {
    const QPoint local = body->mapFrom(this, pos);
    if (body->rect().contains(local))
      return d->rows().lineAt(local.y(), d->model->lineCount());
  }
  return 0;
}

int ScheduleView::barAt(const QPoint& pos, int* line) const {
  d->ensureLayout();
  const QPoint local = d->timelineBody->mapFrom(this, pos);
  const int row = d->timelineBody->rect().contains(local)
                      ? d->rows().lineAt(local.y(), d->model->lineCount())
                      : 0;
  if (line)
    *line = row;
  if (row == 0)
    return 0;
  // The last bar drawn is on top; narrow bars get a few pixels of grace.
  const detail::PaintContext ctx = d->screenContext();
  for (int index = d->model->barCount(row); index >= 1; --index) {
    const QRect r = detail::barRect(ctx, row, *d->model->bar(row, index));
    if (local.x() >= r.left() - 2 && local.x() <= r.right() + 2)
      return index;
  }
  return 0;
}

int ScheduleView::focusedBarLine() const {
  return d->focusLine;
}

int ScheduleView::focusedBarIndex() const {
  return d->focusBar;
}

QWidget* ScheduleView::listPane() const {
  return d->listPane;
}

QWidget* ScheduleView::timelinePane() const {
  return d->timelinePane;
}

QWidget* ScheduleView::listBody() const {
  return d->listBody;
}

QWidget* ScheduleView::timelineBody() const {
  return d->timelineBody;
}

QHeaderView* ScheduleView::header() const {
  return d->header;
}

QSplitter* ScheduleView::splitter() const {
  return d->splitter.get();
}

QScrollBar* ScheduleView::verticalScrollBar() const {
  d->ensureLayout();
  return d->vScroll;
}

QScrollBar* ScheduleView::listScrollBar() const {
  d->ensureLayout();
  return d->listHScroll;
}

QScrollBar* ScheduleView::timelineScrollBar() const {
  d->ensureLayout();
  return d->timeHScroll;
}

QString ScheduleView::shownTitle() const {
  d->ensureLayout();
  // Where the planner stands in the chosen kind comes first, so that it stays in view.
  const QString position = d->positionText();
  const QString lead = position.isEmpty() ? QString() : position + QStringLiteral("  \u00B7  ");
  const QString format = QStringLiteral("d MMM yyyy");
  const auto period = [&](std::int32_t first, std::int32_t last) {
    return QStringLiteral("%1 \u2013 %2")
        .arg(locale().toString(dateOfDay(first), format),
             locale().toString(dateOfDay(last), format));
  };
  QString text = QStringLiteral("%1  \u00B7  %2")
                     .arg(d->model->countText(d->model->lineCount()),
                          period(d->scale.span().first, d->scale.span().last()));
  // Say why the period is not the horizon.
  if (d->period.source == TimeScale::Source::Bars) {
    const std::int32_t start = d->settings->horizonStart();
    const std::int32_t end = d->settings->horizonEnd();
    text += end >= start && start > 0
                ? QStringLiteral("  \u00B7  span of the bars: the horizon %1 holds none")
                      .arg(period(start, end))
                : QStringLiteral("  \u00B7  span of the bars: no horizon set");
  }
  const ChangeCounts changes = d->model->changeCounts();
  if (changes.any()) {
    QStringList counts;
    const QLocale l = locale();
    for (const auto& [count, words] : {std::pair{changes.added, "new"},
                                       {changes.moved, "moved"},
                                       {changes.changed, "changed"},
                                       {changes.gone, "gone"}}) {
      if (count > 0)
        counts << QStringLiteral("%1 %2").arg(l.toString(count), QLatin1String(words));
    }
    text +=
        QStringLiteral("  \u00B7  %1 since the last load").arg(counts.join(QStringLiteral(", ")));
  }
  return lead + text;
}

QList<int> ScheduleView::fittedColumnWidths(int width) const {
  const int count = d->model->columnCount();
  const int lines = d->model->lineCount();
  // Measured in the font the paint functions use, with the cells' padding on both sides.
  const QFontMetrics metrics(Private::inPixels(font()));
  std::vector<int> need(static_cast<std::size_t>(count), 0);
  for (int column = 0; column < count; ++column) {
    int widest = 0;
    for (int line = 1; line <= lines; ++line) {
      const QStringView cell = d->model->cellView(line, column + 1);
      // A text wider than `width` gets its column no more than a share of `width` however wide
      // it is, so a huge one is measured only that far.
      if (!cell.isEmpty())
        widest = std::max(widest, detail::advanceUpTo(metrics, cell, width));
    }
    // Each part of the caption fits, so that a caption on two lines reads in full.
    const QString caption = d->model->columnCaption(column + 1);
    const QFontMetrics captionMetrics(Private::inPixels(d->headerFont));
    qsizetype start = 0;
    for (qsizetype i = 1; i <= caption.size(); ++i) {
      const bool end = i == caption.size() || caption[i] == u' ' || caption[i - 1] == u'_' ||
                       (caption[i].isUpper() && caption[i - 1].isLower());
      if (!end)
        continue;
      widest = std::max(widest,
                        captionMetrics.horizontalAdvance(caption.mid(start, i - start).trimmed()));
      start = i;
    }
    need[std::size_t(column)] = widest + 2 * detail::kCellPadding + 2;
  }
  // The narrowest needs are met first; whatever they leave is shared by the rest.
  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return need[a] < need[b]; });
  QList<int> widths(count, 0);
  int left = width;
  for (int i = 0; i < count; ++i) {
    const int share = left / (count - i);
    const int column = order[std::size_t(i)];
    widths[column] = std::min(need[std::size_t(column)], share);
    left -= widths[column];
  }
  return widths;
}

void ScheduleView::paintTitle(QPainter* painter, const QRect& target, const QString& text) const {
  detail::paintTitle(*painter, *d->settings, target, text.isNull() ? shownTitle() : text,
                     d->colours);
}

void ScheduleView::paintHeader(QPainter* painter, const QRect& target,
                               const PaintOptions& options) const {
  d->ensureLayout();
  int listWidth = 0;
  const detail::PaintContext ctx = d->exportContext(target, options, 1, &listWidth);
  painter->save();
  painter->setClipRect(target);
  if (listWidth > 0)
    detail::paintCaptions(*painter, ctx,
                          QRect(target.left(), target.top(), listWidth, target.height()));
  const QRect rulerArea(target.left() + listWidth, target.top(), target.width() - listWidth,
                        target.height());
  if (rulerArea.width() > 0) {
    painter->setClipRect(rulerArea);
    detail::paintRuler(*painter, ctx, rulerArea);
  }
  painter->restore();
}

void ScheduleView::paintLines(QPainter* painter, const QRect& target, int firstLine, int lastLine,
                              const PaintOptions& options) const {
  d->ensureLayout();
  firstLine = std::max(1, firstLine);
  int listWidth = 0;
  const detail::PaintContext ctx = d->exportContext(target, options, firstLine, &listWidth);
  const auto [fitFirst, fitLast] =
      ctx.rows.linesIn(target.top(), target.bottom() + 1, d->model->lineCount());
  lastLine = std::min(lastLine, fitLast);
  painter->save();
  const QRect listArea(target.left(), target.top(), listWidth, target.height());
  if (listWidth > 0) {
    painter->setClipRect(listArea);
    detail::paintListRows(*painter, ctx, listArea, fitFirst, lastLine);
  }
  const QRect timeArea(target.left() + listWidth, target.top(), target.width() - listWidth,
                       target.height());
  if (timeArea.width() > 0) {
    painter->setClipRect(timeArea);
    detail::paintTimelineRows(*painter, ctx, timeArea, fitFirst, lastLine);
    if (listWidth > 0) {
      painter->setPen(QPen(d->colours.strongLine, 0));
      painter->drawLine(timeArea.topLeft(), timeArea.bottomLeft());
    }
  }
  painter->restore();
}

QSize ScheduleView::sizeHint() const {
  return QSize(1100, 600);
}

void ScheduleView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!d->splitterSized && width() > 0) {
    d->splitterSized = true;
    const int list = std::min(d->listLength() + 2, width() * 9 / 20);
    d->splitter->setSizes({list, width() - list});
  }
}

void ScheduleView::keyPressEvent(QKeyEvent* event) {
  QToolTip::hideText();
  // Ctrl + plus (or =) and Ctrl + minus ask for a zoom step, as a wheel notch does.
  if (event->modifiers() & Qt::ControlModifier) {
    const int key = event->key();
    if (key == Qt::Key_Plus || key == Qt::Key_Equal || key == Qt::Key_Minus) {
      // Past an end of the zoom range the keys do nothing, so that no step is counted unseen.
      const int direction = key == Qt::Key_Minus ? -1 : 1;
      d->ensureLayout();
      if (d->zoomChanges(direction))
        Q_EMIT zoomRequested(direction);
      event->accept();
      return;
    }
  }
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      d->ensureLayout();
      d->moveCurrent(event->key());
      event->accept();
      return;
    case Qt::Key_F3:
      d->walkKind(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
      event->accept();
      return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int step = d->timeHScroll->singleStep();
      d->timeHScroll->setValue(d->timeHScroll->value() +
                               (event->key() == Qt::Key_Left ? -step : step));
      event->accept();
      return;
    }
    default:
      // Typing jumps to the next line whose first column starts with the text.
      if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
          d->typeAhead(event->text())) {
        event->accept();
        return;
      }
      QWidget::keyPressEvent(event);
  }
}

void ScheduleView::contextMenuEvent(QContextMenuEvent* event) {
  // From the keyboard the menu opens at the current line.
  QPoint at = event->globalPos();
  if (event->reason() != QContextMenuEvent::Mouse) {
    const QRect line = d->currentLine > 0 ? lineRect(d->currentLine, Pane::List) : QRect();
    at = mapToGlobal(line.isValid() && rect().contains(line.center())
                         ? QPoint(line.left() + 24, line.bottom())
                         : rect().center());
  }
  d->showKindMenu(at);
  event->accept();
}

void ScheduleView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  d->listBody->update();
  d->timelineBody->update();
  d->announceFocus();
}

void ScheduleView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  d->listBody->update();
  d->timelineBody->update();
}

void ScheduleView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (!d->title)
    return;
  if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
      event->type() == QEvent::StyleChange) {
    d->updateMetrics();
    d->relayout();
    d->updateBodies();
  }
}

}  // namespace varnex::grid
