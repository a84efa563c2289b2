#include "grid/schedule_view.h"

#include "grid/schedule_view_p.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QFontInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QCursor>
#include <QPolygonF>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace varnex::grid {

// A pane of the splitter; its children are placed by Private::layoutPanes() and cover it
// all but the corners beside the vertical scroll bar, which it paints itself.
class ScheduleView::Private::PaneWidget : public QWidget {
 public:
  PaneWidget(Private* owner, QWidget* parent) : QWidget(parent), d(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void resizeEvent(QResizeEvent*) override { d->layoutPanes(); }
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    for (const QRect& r : event->region())
      p.fillRect(r, d->colours.headerBackground);
  }

 private:
  Private* const d;
};

// A flat scroll bar in the grid's colours. It draws its parts where the style places them, so
// the style's own hit testing still applies, and it paints with opaque fills only.
class ScheduleView::Private::ScrollBar : public QScrollBar {
 public:
  ScrollBar(Private* owner, Qt::Orientation orientation, QWidget* parent)
      : QScrollBar(orientation, parent), d(owner) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const detail::GridColours& c = d->colours;
    p.fillRect(rect(), c.headerBackground);
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto part = [&](QStyle::SubControl control) {
      return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
    };
    const bool vertical = orientation() == Qt::Vertical;
    p.setPen(QPen(c.headerLine, 0));
    if (vertical)
      p.drawLine(0, 0, 0, height() - 1);
    else
      p.drawLine(0, 0, width() - 1, 0);
    const bool enabled = maximum() > minimum();
    const QColor arrow = enabled ? c.headerText : c.headerLine;
    for (const QStyle::SubControl control : {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
      const QRect r = part(control);
      if (r.isEmpty())
        continue;
      // A small solid triangle pointing along the bar.
      const QPointF m = QRectF(r).center();
      const double s = std::min(r.width(), r.height()) / 5.0;
      const double sign = control == QStyle::SC_ScrollBarAddLine ? 1 : -1;
      const QPointF tip = vertical ? QPointF(m.x(), m.y() + sign * s) : QPointF(m.x() + sign * s, m.y());
      const QPointF a = vertical ? QPointF(m.x() - s * 1.4, m.y() - sign * s)
                                 : QPointF(m.x() - sign * s, m.y() - s * 1.4);
      const QPointF b = vertical ? QPointF(m.x() + s * 1.4, m.y() - sign * s)
                                 : QPointF(m.x() - sign * s, m.y() + s * 1.4);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(Qt::NoPen);
      p.setBrush(arrow);
      p.drawPolygon(QPolygonF({tip, a, b}));
      p.setRenderHint(QPainter::Antialiasing, false);
    }
    if (!enabled)
      return;
    const QRect slider = part(QStyle::SC_ScrollBarSlider);
    const bool active = isSliderDown() || (underMouse() && slider.contains(mapFromGlobal(QCursor::pos())));
    const QRect thumb = vertical ? slider.adjusted(3, 1, -3, -1) : slider.adjusted(1, 3, -1, -3);
    p.fillRect(thumb, active ? c.strongLine.darker(125) : c.strongLine);
  }

 private:
  Private* const d;
};

ScheduleView::Private::Body::Body(Private* owner, Pane pane, QWidget* parent)
    : QWidget(parent), d(owner), which(pane) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setFocusProxy(d->q);
}

bool ScheduleView::Private::Body::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    d->showToolTip(this, help->pos(), help->globalPos());
    return true;
  }
  return QWidget::event(event);
}

void ScheduleView::Private::Body::mousePressEvent(QMouseEvent* event) {
  QToolTip::hideText();
  d->ensureLayout();
  const int line = d->rows().lineAt(event->position().toPoint().y(), d->model->lineCount());
  if (line > 0)
    d->pick(line);
}

void ScheduleView::Private::Body::mouseMoveEvent(QMouseEvent* event) {
  const int line = d->rows().lineAt(event->position().toPoint().y(), d->model->lineCount());
  if (line == 0)
    d->hoverAt(0);
}

void ScheduleView::Private::Body::leaveEvent(QEvent*) {
  d->hoverAt(0);
}

template <typename PaintRows>
void ScheduleView::Private::Body::paintExposedLines(QPaintEvent* event, QPainter& p,
                                                    PaintRows paintRows) {
  d->ensureLayout();
  const QRect area(0, event->rect().top(), width(), event->rect().height());
  const detail::PaintContext ctx = d->screenContext();
  const auto [first, last] = ctx.rows.linesIn(area.top(), area.bottom() + 1, d->model->lineCount());
  paintRows(p, ctx, area, first, last);
}

class ScheduleView::Private::ListBody : public Body {
 public:
  ListBody(Private* owner, QWidget* parent) : Body(owner, Pane::List, parent) {
    setAccessibleName(QStringLiteral("Order list"));
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    paintExposedLines(event, p, detail::paintListRows);
    if (d->q->hasFocus() && d->currentLine == 0) {
      QStyleOptionFocusRect option;
      option.initFrom(this);
      option.rect = rect().adjusted(1, 1, -1, -1);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
  }
  void wheelEvent(QWheelEvent* event) override { d->wheel(event, d->listHScroll); }
};

class ScheduleView::Private::TimelineBody : public Body {
 public:
  TimelineBody(Private* owner, QWidget* parent) : Body(owner, Pane::Timeline, parent) {
    setAccessibleName(QStringLiteral("Order timeline"));
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    paintExposedLines(event, p, detail::paintTimelineRows);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QToolTip::hideText();
    int line = 0;
    const int barIndex = d->q->barAt(mapTo(d->q, event->position().toPoint()), &line);
    if (barIndex > 0)
      d->model->raiseBarActivated(line, barIndex, -1);
  }
  void wheelEvent(QWheelEvent* event) override { d->wheel(event, d->timeHScroll); }
};

class ScheduleView::Private::Ruler : public QWidget {
 public:
  Ruler(Private* owner, QWidget* parent) : QWidget(parent), d(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Time ruler"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    d->ensureLayout();
    QPainter p(this);
    detail::paintRuler(p, d->screenContext(), rect());
  }

 private:
  Private* const d;
};

class ScheduleView::Private::TitleStrip : public QWidget {
 public:
  TitleStrip(Private* owner, QWidget* parent) : QWidget(parent), d(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Schedule title"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    d->q->paintTitle(&p, rect());
  }

 private:
  Private* const d;
};

QVariant ScheduleView::Private::CaptionModel::headerData(int section, Qt::Orientation orientation,
                                                         int role) const {
  if (orientation != Qt::Horizontal || !d->model)
    return {};
  return d->model->headerData(section, orientation, role);
}

ScheduleView::Private::Header::Header(Private* owner, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), d(owner) {
  setSectionsMovable(false);
  setSectionsClickable(false);
  setHighlightSections(false);
  setStretchLastSection(false);
  setMinimumSectionSize(24);
  setSectionResizeMode(QHeaderView::Interactive);
  setAccessibleName(QStringLiteral("Column captions"));
}

void ScheduleView::Private::Header::paintSection(QPainter* painter, const QRect& rect,
                                                 int logicalIndex) const {
  detail::paintCaption(*painter, d->screenContext(), rect, logicalIndex + 1);
}

void ScheduleView::Private::Header::paintEvent(QPaintEvent* event) {
  // The space right of the last caption continues the caption strip.
  {
    QPainter p(viewport());
    p.fillRect(event->rect(), d->colours.headerBackground);
    p.setPen(QPen(d->colours.headerLine, 0));
    p.drawLine(0, height() - 1, width(), height() - 1);
  }
  QHeaderView::paintEvent(event);
}

// --- Private ---------------------------------------------------------------------------------

ScheduleView::Private::Private(ScheduleView* view)
    : q(view), today(dayOfDate(QDate::currentDate())) {}

void ScheduleView::Private::build() {
  installAccessibility();
  title = new TitleStrip(this, q);
  splitter = new QSplitter(Qt::Horizontal, q);
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(5);
  // The panes and handles cover the splitter and the title and splitter cover the view, so
  // neither needs its background filled under them.
  splitter->setAttribute(Qt::WA_OpaquePaintEvent);
  q->setAttribute(Qt::WA_OpaquePaintEvent);
  listPane = new PaneWidget(this, splitter);
  listPane->setAccessibleName(QStringLiteral("Order list pane"));
  timelinePane = new PaneWidget(this, splitter);
  timelinePane->setAccessibleName(QStringLiteral("Timeline pane"));
  splitter->addWidget(listPane);
  splitter->addWidget(timelinePane);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->handle(1)->setAutoFillBackground(true);

  captions = new CaptionModel(this);
  captions->setParent(q);
  header = new Header(this, listPane);
  header->setModel(captions);
  listBody = new ListBody(this, listPane);
  listHScroll = new ScrollBar(this, Qt::Horizontal, listPane);
  ruler = new Ruler(this, timelinePane);
  timelineBody = new TimelineBody(this, timelinePane);
  vScroll = new ScrollBar(this, Qt::Vertical, timelinePane);
  timeHScroll = new ScrollBar(this, Qt::Horizontal, timelinePane);

  auto* layout = new QVBoxLayout(q);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(title);
  layout->addWidget(splitter, 1);

  QObject::connect(vScroll, &QScrollBar::valueChanged, q, [this] {
    QToolTip::hideText();
    listBody->update();
    timelineBody->update();
  });
  QObject::connect(timeHScroll, &QScrollBar::valueChanged, q, [this] {
    QToolTip::hideText();
    timelineBody->update();
    ruler->update();
  });
  QObject::connect(listHScroll, &QScrollBar::valueChanged, q, [this](int value) {
    QToolTip::hideText();
    header->setOffset(value);
    listBody->update();
  });
  QObject::connect(header, &QHeaderView::sectionResized, q, [this] {
    layoutPanes();
    listBody->update();
  });
}

void ScheduleView::Private::attach(ScheduleModel* newModel) {
  for (const auto& connection : connections)
    QObject::disconnect(connection);
  connections.clear();
  if (!newModel) {
    ownModel = std::make_unique<ScheduleModel>();
    newModel = ownModel.get();
  } else if (ownModel.get() != newModel) {
    ownModel.reset();
  }
  model = newModel;
  currentLine = focusLine = focusBar = hoverLine = 0;

  const auto relayoutSoon = [this] { scheduleRelayout(); };
  connections << QObject::connect(model, &QAbstractItemModel::rowsInserted, q, relayoutSoon)
              << QObject::connect(model, &ScheduleModel::barsChanged, q, relayoutSoon)
              << QObject::connect(model, &ScheduleModel::horizonChanged, q, relayoutSoon)
              << QObject::connect(model, &QAbstractItemModel::modelReset, q, [this] {
                   currentLine = focusLine = focusBar = hoverLine = 0;
                   scheduleRelayout();
                 })
              << QObject::connect(model, &ScheduleModel::zoomChanged, q,
                                  [this] { onZoomChanged(); })
              << QObject::connect(model, &ScheduleModel::settingsChanged, q, [this] {
                   updateMetrics();
                   scheduleRelayout();
                   title->update();
                 })
              << QObject::connect(model, &ScheduleModel::barFocusRequested, q,
                                  [this](int line, int barIndex) {
                                    onFocusRequested(line, barIndex);
                                  })
              << QObject::connect(model, &ScheduleModel::linePicked, q,
                                  [this](int line) { q->setCurrentLine(line); })
              << QObject::connect(model, &QObject::destroyed, q, [this] { attach(nullptr); });
  pixelsPerDay = pixelsPerDayForZoom(model->zoom());
  for (int column = 0; column < ScheduleModel::kColumnCount; ++column)
    header->resizeSection(column, model->columnWidth(column + 1));
  updateMetrics();
  relayout();
  updateBodies();
}

void ScheduleView::Private::updateMetrics() {
  const QFont font = q->font();
  markFont = font;
  markFont.setBold(true);
  headerFont = font;
  headerFont.setWeight(QFont::DemiBold);
  rowHeight = std::max(QFontMetrics(font).height() + 8, 18);
  // A month tier over a day tier of two text lines (date and weekday).
  headerHeight = 3 * QFontMetrics(headerFont).height() + 16;
  titleHeight = model ? QFontMetrics(detail::titleFont(*model)).height() + 14 : 28;
  title->setFixedHeight(titleHeight);
  colours = detail::GridColours::fromPalette(q->palette());
  layoutDirty = true;
}

void ScheduleView::Private::scheduleRelayout() {
  layoutDirty = true;
  if (relayoutPosted)
    return;
  relayoutPosted = true;
  QMetaObject::invokeMethod(
      q,
      [this] {
        relayoutPosted = false;
        ensureLayout();
        updateBodies();
      },
      Qt::QueuedConnection);
}

void ScheduleView::Private::ensureLayout() {
  if (layoutDirty)
    relayout();
}

void ScheduleView::Private::relayout() {
  layoutDirty = false;
  updateSpan();
  layoutPanes();
}

void ScheduleView::Private::updateSpan() {
  std::int32_t first = model->horizonStart();
  std::int32_t last = model->horizonEnd();
  const bool horizonSet = last >= first && !(first == 0 && last == 0);
  if (!horizonSet) {
    if (model->totalBarCount() > 0) {
      // The bars' span, widened to whole weeks from Monday so the ruler starts cleanly.
      const QDate from = dateOfDay(model->earliestBarStart().day);
      first = dayOfDate(from.addDays(1 - from.dayOfWeek()));
      last = std::max(first, model->latestBarEnd().day + 7);
    } else {
      first = today - 7;
      last = today + 56;
    }
  }
  spanFirst = first;
  spanEnd = last + 1;
}

double ScheduleView::Private::timelineContentWidth() const {
  return std::min(double(spanEnd - spanFirst) * pixelsPerDay, double(INT_MAX / 4));
}

void ScheduleView::Private::layoutPanes() {
  if (laying)
    return;
  laying = true;
  const int scrollBarHeight = listHScroll->sizeHint().height();
  const int scrollBarWidth = vScroll->sizeHint().width();
  const int listWidth = listPane->width();
  const int timeWidth = std::max(0, timelinePane->width() - scrollBarWidth);
  const bool listWide = header->length() > listWidth;
  const bool timeWide = timelineContentWidth() > timeWidth;
  // Both panes reserve the same bottom strip, so their bodies are always equally tall.
  const int bottom = (listWide || timeWide) ? scrollBarHeight : 0;

  const int listHeight = std::max(0, listPane->height() - headerHeight - bottom);
  header->setGeometry(0, 0, listWidth, headerHeight);
  listBody->setGeometry(0, headerHeight, listWidth, listHeight);
  listHScroll->setGeometry(0, headerHeight + listHeight, listWidth, bottom);
  listHScroll->setVisible(bottom > 0);

  const int timeHeight = std::max(0, timelinePane->height() - headerHeight - bottom);
  ruler->setGeometry(0, 0, timeWidth, headerHeight);
  timelineBody->setGeometry(0, headerHeight, timeWidth, timeHeight);
  vScroll->setGeometry(timeWidth, headerHeight, scrollBarWidth, timeHeight);
  timeHScroll->setGeometry(0, headerHeight + timeHeight, timeWidth, bottom);
  timeHScroll->setVisible(bottom > 0);
  laying = false;
  updateRanges();
}

void ScheduleView::Private::updateRanges() {
  const int bodyHeight = timelineBody->height();
  const qint64 contentHeight = qint64(model->lineCount()) * rowHeight;
  vScroll->setRange(0, int(std::clamp<qint64>(contentHeight - bodyHeight, 0, INT_MAX / 2)));
  vScroll->setPageStep(std::max(1, bodyHeight));
  vScroll->setSingleStep(rowHeight);

  const int timeWidth = timelineBody->width();
  timeHScroll->setRange(0, std::max(0, int(std::ceil(timelineContentWidth())) - timeWidth));
  timeHScroll->setPageStep(std::max(1, timeWidth));
  timeHScroll->setSingleStep(std::max(8, int(pixelsPerDay)));

  listHScroll->setRange(0, std::max(0, header->length() - listBody->width()));
  listHScroll->setPageStep(std::max(1, listBody->width()));
  listHScroll->setSingleStep(20);
}

void ScheduleView::Private::updateBodies() {
  listBody->update();
  timelineBody->update();
  ruler->update();
  header->viewport()->update();
  title->update();
}

RowGeometry ScheduleView::Private::rows() const {
  return RowGeometry{-vScroll->value(), rowHeight};
}

TimeAxis ScheduleView::Private::axis() const {
  return TimeAxis{spanFirst, pixelsPerDay, -double(timeHScroll->value())};
}

int ScheduleView::Private::visibleRowCount() const {
  return std::max(1, timelineBody->height() / rowHeight);
}

detail::PaintContext ScheduleView::Private::screenContext() const {
  detail::PaintContext ctx;
  ctx.model = model;
  ctx.font = q->font();
  ctx.markFont = markFont;
  ctx.headerFont = headerFont;
  ctx.locale = q->locale();
  ctx.colours = colours;
  ctx.rows = rows();
  ctx.axis = axis();
  ctx.spanFirst = spanFirst;
  ctx.spanEnd = spanEnd;
  for (int column = 0; column < ScheduleModel::kColumnCount; ++column)
    ctx.columns[column] = {header->sectionViewportPosition(column), header->sectionSize(column)};
  ctx.currentLine = currentLine;
  ctx.focused = q->hasFocus();
  ctx.focusLine = focusLine;
  ctx.focusBar = focusBar;
  ctx.today = today;
  ctx.todayWidth = model->todayLineWidth();
  return ctx;
}

detail::PaintContext ScheduleView::Private::exportContext(const QRect& target,
                                                          const PaintOptions& options,
                                                          int firstLine, int* listWidth) const {
  detail::PaintContext ctx = screenContext();
  // Fonts in pixels at the screen's size, so the painter's scale alone sizes the output.
  const auto inPixels = [](QFont font) {
    font.setPixelSize(QFontInfo(font).pixelSize());
    return font;
  };
  ctx.font = inPixels(ctx.font);
  ctx.markFont = inPixels(ctx.markFont);
  ctx.headerFont = inPixels(ctx.headerFont);
  ctx.rows = RowGeometry{target.top() - (std::max(1, firstLine) - 1) * rowHeight, rowHeight};

  const int total = std::max(1, header->length());
  const int width = std::clamp(options.listWidth < 0 ? total : options.listWidth, 0,
                               target.width());
  int used = 0;
  int x = target.left();
  for (int column = 0; column < ScheduleModel::kColumnCount; ++column) {
    used += header->sectionSize(column);
    const int next = target.left() + int(qint64(used) * width / total);
    ctx.columns[column] = {x, next - x};
    x = next;
  }
  *listWidth = width;

  std::int32_t first = options.firstDay;
  std::int32_t last = options.lastDay;
  if (last < first) {
    first = spanFirst;
    last = spanEnd - 1;
  }
  const int timeWidth = target.width() - width;
  ctx.axis = TimeAxis{first, std::max(0.01, double(timeWidth) / double(last - first + 1)),
                      double(target.left() + width)};
  ctx.spanFirst = first;
  ctx.spanEnd = last + 1;
  if (!options.highlights) {
    ctx.currentLine = 0;
    ctx.focusLine = ctx.focusBar = 0;
    ctx.focused = false;
  }
  return ctx;
}

void ScheduleView::Private::pick(int line) {
  q->setCurrentLine(line);
  model->raiseLinePicked(line);
}

void ScheduleView::Private::moveCurrent(int key) {
  const int count = model->lineCount();
  if (count == 0)
    return;
  const int page = std::max(1, visibleRowCount() - 1);
  int target = currentLine;
  switch (key) {
    case Qt::Key_Up:
      target = currentLine <= 1 ? 1 : currentLine - 1;
      break;
    case Qt::Key_Down:
      target = currentLine + 1;
      break;
    case Qt::Key_PageUp:
      target = currentLine - page;
      break;
    case Qt::Key_PageDown:
      target = currentLine + page;
      break;
    case Qt::Key_Home:
      target = 1;
      break;
    case Qt::Key_End:
      target = count;
      break;
    default:
      return;
  }
  target = std::clamp(target, 1, count);
  if (target != currentLine)
    pick(target);
}

void ScheduleView::Private::ensureLineVisible(int line, bool centre) {
  ensureLayout();
  if (line < 1 || line > model->lineCount())
    return;
  const int top = (line - 1) * rowHeight;
  const int viewHeight = timelineBody->height();
  const int scroll = vScroll->value();
  if (top >= scroll && top + rowHeight <= scroll + viewHeight)
    return;
  if (centre)
    vScroll->setValue(top - (viewHeight - rowHeight) / 2);
  else if (top < scroll)
    vScroll->setValue(top);
  else
    vScroll->setValue(top + rowHeight - viewHeight);
}

void ScheduleView::Private::onZoomChanged() {
  QToolTip::hideText();
  ensureLayout();
  // The moment under the middle of the timeline stays where it is.
  const double half = timelineBody->width() / 2.0;
  const double centre = axis().dayAt(half);
  pixelsPerDay = pixelsPerDayForZoom(model->zoom());
  layoutPanes();
  const double x = (centre - spanFirst) * pixelsPerDay - timelineBody->width() / 2.0;
  timeHScroll->setValue(int(std::lround(std::clamp(x, 0.0, double(timeHScroll->maximum())))));
  updateBodies();
}

void ScheduleView::Private::onFocusRequested(int line, int barIndex) {
  const Bar* bar = model->bar(line, barIndex);
  if (!bar)
    return;
  ensureLayout();
  focusLine = line;
  focusBar = barIndex;
  ensureLineVisible(line, true);
  const double left = (TimeAxis::dayPosition(bar->start) - spanFirst) * pixelsPerDay;
  const double right = (TimeAxis::dayPosition(bar->end) - spanFirst) * pixelsPerDay;
  const double viewLeft = timeHScroll->value();
  const double viewWidth = timelineBody->width();
  if (left < viewLeft || right > viewLeft + viewWidth) {
    const double x = right - left < viewWidth ? left - (viewWidth - (right - left)) / 2
                                              : left - 24;
    timeHScroll->setValue(int(std::lround(std::clamp(x, 0.0, double(timeHScroll->maximum())))));
  }
  updateBodies();
}

void ScheduleView::Private::hoverAt(int line) {
  if (line == hoverLine)
    return;
  hoverLine = line;
  if (line == 0)
    model->raiseHover(0, 0);
}

void ScheduleView::Private::showToolTip(QWidget* body, const QPoint& pos,
                                        const QPoint& globalPos) {
  ensureLayout();
  const int line = rows().lineAt(pos.y(), model->lineCount());
  if (line == 0) {
    hoverAt(0);
    QToolTip::hideText();
    return;
  }
  hoverLine = line;
  model->raiseHover(line, 1);
  const QString text = model->toolTipText();
  if (text.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  const QRect band(0, rows().lineTop(line), body->width(), rowHeight);
  QToolTip::showText(globalPos, text, body, band);
}

void ScheduleView::Private::wheel(QWheelEvent* event, QScrollBar* horizontal) {
  QToolTip::hideText();
  const QPoint delta = event->angleDelta();
  const bool sideways = (event->modifiers() & Qt::ShiftModifier) || std::abs(delta.x()) > std::abs(delta.y());
  QScrollBar* bar = sideways ? horizontal : vScroll;
  const int notch = sideways ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y();
  const int step = sideways ? std::max(24, bar->pageStep() / 8) : 3 * rowHeight;
  bar->setValue(bar->value() - notch * step / 120);
  event->accept();
}

// --- ScheduleView ----------------------------------------------------------------------------

ScheduleView::ScheduleView(QWidget* parent) : ScheduleView(nullptr, parent) {}

ScheduleView::ScheduleView(ScheduleModel* model, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(this)) {
  QFont base = font();
  base.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  setFont(base);
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("Schedule grid"));
  d->build();
  d->attach(model);
}

ScheduleView::~ScheduleView() {
  for (const auto& connection : d->connections)
    QObject::disconnect(connection);
}

ScheduleModel* ScheduleView::model() const {
  return d->model;
}

void ScheduleView::setModel(ScheduleModel* model) {
  if (model && model == d->model)
    return;
  d->attach(model);
}

int ScheduleView::currentLine() const {
  return d->currentLine;
}

void ScheduleView::setCurrentLine(int line) {
  if (line < 0 || line > d->model->lineCount() || line == d->currentLine)
    return;
  d->currentLine = line;
  d->ensureLineVisible(line, false);
  d->listBody->update();
  d->timelineBody->update();
  if (line > 0 && QAccessible::isActive()) {
    QAccessibleEvent event(d->listBody, QAccessible::Focus);
    event.setChild(line - 1);
    QAccessible::updateAccessibility(&event);
  }
  Q_EMIT currentLineChanged(line);
}

QString ScheduleView::titleText() const {
  return d->titleText;
}

void ScheduleView::setTitleText(const QString& text) {
  d->titleText = text;
  d->title->update();
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
  const double x = (TimeAxis::dayPosition(time) - d->spanFirst) * d->pixelsPerDay;
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
  return d->pixelsPerDay;
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
  return d->spanFirst;
}

std::int32_t ScheduleView::lastDay() const {
  d->ensureLayout();
  return d->spanEnd - 1;
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
  for (QWidget* body : {static_cast<QWidget*>(d->listBody), static_cast<QWidget*>(d->timelineBody)}) {
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

QString ScheduleView::accessibleLineText(int line) const {
  if (line < 1 || line > d->model->lineCount())
    return {};
  const Bar* bar = d->model->bar(line, 1);
  const QString state = bar ? detail::stateName(bar->colour) : QStringLiteral("not scheduled");
  const QString action = d->model->cellText(line, 10).trimmed();
  return QStringLiteral("Order %1, %2, %3")
      .arg(d->model->cellText(line, 1), state,
           action.isEmpty() ? QStringLiteral("no action") : QStringLiteral("action ") + action);
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
  return d->splitter;
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

void ScheduleView::paintTitle(QPainter* painter, const QRect& target) const {
  QString text = d->titleText;
  if (text.isEmpty()) {
    d->ensureLayout();
    const QString format = QStringLiteral("d MMM yyyy");
    text = QStringLiteral("%1 orders  \u00B7  %2 \u2013 %3")
               .arg(QLocale().toString(d->model->lineCount()),
                    locale().toString(dateOfDay(d->spanFirst), format),
                    locale().toString(dateOfDay(d->spanEnd - 1), format));
  }
  detail::paintTitle(*painter, *d->model, target, text, d->colours);
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

void ScheduleView::paintLines(QPainter* painter, const QRect& target, int firstLine,
                              int lastLine, const PaintOptions& options) const {
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

void ScheduleView::paintAll(QPainter* painter, const QRect& target, int firstLine, int lastLine,
                            const PaintOptions& options) const {
  const QRect titleArea(target.left(), target.top(), target.width(), d->titleHeight);
  const QRect headerArea(target.left(), titleArea.bottom() + 1, target.width(), d->headerHeight);
  const QRect linesArea(target.left(), headerArea.bottom() + 1, target.width(),
                        std::max(0, target.bottom() - headerArea.bottom()));
  paintTitle(painter, titleArea);
  paintHeader(painter, headerArea, options);
  paintLines(painter, linesArea, firstLine, lastLine < 1 ? INT_MAX : lastLine, options);
}

QSize ScheduleView::sizeHint() const {
  return QSize(1100, 600);
}

void ScheduleView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!d->splitterSized && width() > 0) {
    d->splitterSized = true;
    const int list = std::min(d->header->length() + 2, width() * 9 / 20);
    d->splitter->setSizes({list, width() - list});
  }
}

void ScheduleView::keyPressEvent(QKeyEvent* event) {
  QToolTip::hideText();
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
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int step = d->timeHScroll->singleStep();
      d->timeHScroll->setValue(d->timeHScroll->value() +
                               (event->key() == Qt::Key_Left ? -step : step));
      event->accept();
      return;
    }
    default:
      QWidget::keyPressEvent(event);
  }
}

void ScheduleView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  d->listBody->update();
  d->timelineBody->update();
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
