// The view's state: layout, scrolling, the time scale, picking and what each paint pass gets.
#include "grid/schedule_view_p.h"

#include "grid/text_fit.h"

#include <QApplication>
#include <QDateTime>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace varnex::grid {

namespace {

// The object a view shows: the one given, or else a fresh one of the view's own in `own`; an
// own one that is no longer shown goes.
template <typename T>
T* shown(T* given, std::unique_ptr<T>& own) {
  if (!given) {
    own = std::make_unique<T>();
    return own.get();
  }
  if (own.get() != given)
    own.reset();
  return given;
}

// Room that the tooltip's frame and margins take beside its text, with some to spare for a style
// that pads it.
constexpr int kToolTipFrame = 24;

// What the tooltip shows of text: one line as wide as the screen at globalPos allows. A wider
// text, which the tooltip would otherwise wrap over as many lines as it takes, shows its start
// elided, and only that much of it is laid out (the settings keep the whole text).
QString toolTipLine(const QString& text, const QPoint& globalPos, const QWidget* body) {
  const QScreen* screen = QGuiApplication::screenAt(globalPos);
  if (!screen)
    screen = body->screen();
  const int room = std::max(kToolTipFrame, screen->availableGeometry().width() - kToolTipFrame);
  return detail::fitText(QFontMetrics(QToolTip::font()), text, Qt::ElideRight, room).text;
}

}  // namespace

ScheduleView::Private::Private(ScheduleView* view)
    : q(view), today(dayOfDate(QDate::currentDate())) {}

void ScheduleView::Private::attach(ScheduleModel* newModel) {
  // The old listener goes first: the old model, even the view's own, is no longer heard.
  modelListener = std::make_unique<QObject>();
  model = shown(newModel, ownModel);
  currentLine = focusLine = focusBar = hoverLine = 0;
  chosenKind = -1;
  chosenLabel.clear();
  walkNote.clear();

  QObject* const context = modelListener.get();
  const auto relayoutSoon = [this] { scheduleRelayout(); };
  QObject::connect(model, &QAbstractItemModel::rowsInserted, context, relayoutSoon);
  QObject::connect(model, &QAbstractItemModel::dataChanged, context,
                   [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                     if (roles.isEmpty() || roles.contains(ScheduleModel::BarsRole))
                       scheduleRelayout();
                   });
  QObject::connect(model, &QAbstractItemModel::headerDataChanged, context,
                   [this] { syncColumns(false); });
  QObject::connect(model, &QAbstractItemModel::modelReset, context, [this] {
    currentLine = focusLine = focusBar = hoverLine = 0;
    onKindsChanged();
    syncColumns(false);
    scheduleRelayout();
  });
  QObject::connect(model, &ScheduleModel::loadCompared, context, [this] {
    onKindsChanged();
    listBody->update();
  });
  QObject::connect(model, &QObject::destroyed, context, [this] { attach(nullptr); });
  syncColumns(true);
  updateMetrics();
  period.span = {0, 0};  // no period is empty: the new model's period and zoom take over
  relayout();
  updateBodies();
}

void ScheduleView::Private::attachSettings(ScheduleSettings* newSettings) {
  settingsListener = std::make_unique<QObject>();
  settings = shown(newSettings, ownSettings);

  QObject* const context = settingsListener.get();
  QObject::connect(settings, &ScheduleSettings::horizonChanged, context,
                   [this] { scheduleRelayout(); });
  QObject::connect(settings, &ScheduleSettings::zoomChanged, context, [this] { onZoomChanged(); });
  QObject::connect(settings, &ScheduleSettings::appearanceChanged, context, [this] {
    updateMetrics();
    scheduleRelayout();
    title->update();
  });
  QObject::connect(settings, &QObject::destroyed, context, [this] { attachSettings(nullptr); });
  if (!model)
    return;  // being built: the first attach() lays the view out
  updateMetrics();
  period.span = {0, 0};  // the new settings' period and zoom take over
  relayout();
  updateBodies();
}

void ScheduleView::Private::syncColumns(bool force) {
  const int count = model->columnCount();
  if (!force && count == header->count())
    return;
  captions->refresh();
  for (int column = 0; column < count; ++column) {
    frozenHeader->resizeSection(column, model->columnWidth(column + 1));
    header->resizeSection(column, model->columnWidth(column + 1));
    frozenHeader->setSectionHidden(column, column > 0);
    header->setSectionHidden(column, column == 0);
  }
  layoutDirty = true;
}

int ScheduleView::Private::columnWidth(int column) const {
  if (column < 0 || column >= header->count())
    return 0;
  return column == 0 ? frozenHeader->sectionSize(0) : header->sectionSize(column);
}

int ScheduleView::Private::frozenWidth() const {
  return std::min(columnWidth(0), listPane->width());
}

int ScheduleView::Private::listLength() const {
  return columnWidth(0) + header->length();
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
  titleHeight = settings ? QFontMetrics(detail::titleFont(*settings)).height() + 14 : 28;
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
        announceLines();
      },
      Qt::QueuedConnection);
}

void ScheduleView::Private::ensureLayout() {
  // Bars reach the view only at the end of a load, but a paint or a query may come first.
  if (layoutDirty || periodShown() != period)
    relayout();
}

TimeScale::Period ScheduleView::Private::periodShown() const {
  return TimeScale::periodFor(settings->horizonStart(), settings->horizonEnd(), *model, today);
}

void ScheduleView::Private::relayout() {
  layoutDirty = false;
  updateSpan();
  layoutPanes();
}

void ScheduleView::Private::updateSpan() {
  const TimeScale::Period shown = periodShown();
  if (shown == period)
    return;
  // A new period is shown from its start.
  period = shown;
  updateScale();
  timeHScroll->setValue(0);
}

int ScheduleView::Private::timelineWidth() const {
  return std::max(0, timelinePane->width() - vScroll->sizeHint().width());
}

void ScheduleView::Private::updateScale() {
  const double width = std::max(1, timelineWidth());
  fit = TimeScale::fitFor(period.span, width);
  zoomRange = TimeScale::zoomRange(period.span, width, fit);
  scale = TimeScale::forZoom(settings->zoom(), period.span, fit, zoomRange);
  const bool in = zoomChanges(1);
  const bool out = zoomChanges(-1);
  if (in != canZoomIn || out != canZoomOut) {
    canZoomIn = in;
    canZoomOut = out;
    Q_EMIT q->zoomLimitsChanged();
  }
}

bool ScheduleView::Private::zoomChanges(int direction) const {
  const double next =
      std::clamp(TimeScale::zoomed(settings->zoom() + direction * TimeScale::kZoomStep, fit),
                 zoomRange.coarsest, zoomRange.finest);
  return direction > 0 ? !zoomRange.atFinest(scale.pixelsPerDay()) && next > scale.pixelsPerDay()
                       : !zoomRange.atCoarsest(scale.pixelsPerDay()) && next < scale.pixelsPerDay();
}

QString ScheduleView::Private::zoomEndWords(int direction) const {
  if (zoomChanges(direction))
    return {};
  const int steps = TimeScale::kStepsFromLoad;
  const double beyondLoad =
      TimeScale::zoomed(TimeScale::kBaseZoom + steps * TimeScale::kZoomStep, fit);
  if (direction > 0) {
    return zoomRange.finest > beyondLoad * 1.000001
               ? QStringLiteral("The largest scale: one day across the timeline")
               : QStringLiteral("The largest scale: %1 steps above the scale of the load")
                     .arg(steps);
  }
  const double belowLoad =
      TimeScale::zoomed(TimeScale::kBaseZoom - steps * TimeScale::kZoomStep, fit);
  return zoomRange.coarsest < belowLoad * 0.999999
             ? QStringLiteral("The smallest scale: the whole period in a sixteenth of the timeline")
             : QStringLiteral("The smallest scale: %1 steps below the scale of the load")
                   .arg(steps);
}

void ScheduleView::Private::keepZoomedScale(double pixelsPerDay) {
  const double target = std::clamp(pixelsPerDay, zoomRange.coarsest, zoomRange.finest);
  const double exact = TimeScale::zoomFor(target, fit);
  // At an end of the range the value goes just past it, so that the scale stays at the end.
  const double rounded = zoomRange.atFinest(target)     ? std::ceil(exact - 1e-6)
                         : zoomRange.atCoarsest(target) ? std::floor(exact + 1e-6)
                                                        : std::round(exact);
  const int zoom = int(std::clamp(rounded, -32768.0, 32767.0));
  if (zoom == settings->zoom())
    return;
  keepingScale = true;
  settings->setZoom(zoom);
  keepingScale = false;
  updateScale();
}

void ScheduleView::Private::layoutPanes() {
  if (laying)
    return;
  laying = true;
  const int scrollBarHeight = listHScroll->sizeHint().height();
  const int scrollBarWidth = vScroll->sizeHint().width();
  const int listWidth = listPane->width();
  const int timeWidth = timelineWidth();
  if (timeWidth != timelineBody->width()) {
    // At the load's zoom the scale fits the period to the timeline's new width; once the
    // planner has zoomed it stays. Either way the left edge stays in place.
    const double leftDay = axis().dayAt(0);
    const double zoomedScale = scale.pixelsPerDay();
    const bool zoomed = settings->zoom() != TimeScale::kBaseZoom && laidOut;
    updateScale();
    if (zoomed)
      keepZoomedScale(zoomedScale);
    timeHScroll->setRange(0, std::max(0, int(std::ceil(scale.contentWidth())) - timeWidth));
    timeHScroll->setValue(int(std::lround(std::max(0.0, scale.offsetOf(leftDay)))));
  }
  const bool listWide = listLength() > listWidth;
  const bool timeWide = scale.contentWidth() > timeWidth;
  // Both panes reserve the same bottom strip, so their bodies are always equally tall.
  const int bottom = (listWide || timeWide) ? scrollBarHeight : 0;

  const int listHeight = std::max(0, listPane->height() - headerHeight - bottom);
  const int frozen = frozenWidth();
  frozenHeader->setGeometry(0, 0, frozen, headerHeight);
  header->setGeometry(frozen, 0, listWidth - frozen, headerHeight);
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
  laidOut = laidOut || timeWidth > 0;
  updateRanges();
}

void ScheduleView::Private::updateRanges() {
  const int bodyHeight = timelineBody->height();
  const qint64 contentHeight = qint64(model->lineCount()) * rowHeight;
  vScroll->setRange(0, int(std::clamp<qint64>(contentHeight - bodyHeight, 0, INT_MAX / 2)));
  vScroll->setPageStep(std::max(1, bodyHeight));
  vScroll->setSingleStep(rowHeight);

  const int timeWidth = timelineBody->width();
  timeHScroll->setRange(0, std::max(0, int(std::ceil(scale.contentWidth())) - timeWidth));
  timeHScroll->setPageStep(std::max(1, timeWidth));
  timeHScroll->setSingleStep(std::max(8, int(scale.pixelsPerDay())));

  listHScroll->setRange(0, std::max(0, listLength() - listBody->width()));
  listHScroll->setPageStep(std::max(1, listBody->width()));
  listHScroll->setSingleStep(20);
}

void ScheduleView::Private::updateBodies() {
  listBody->update();
  timelineBody->update();
  ruler->update();
  header->viewport()->update();
  frozenHeader->viewport()->update();
  title->update();
}

RowGeometry ScheduleView::Private::rows() const {
  return RowGeometry{-vScroll->value(), rowHeight};
}

TimeAxis ScheduleView::Private::axis() const {
  return scale.axis(-double(timeHScroll->value()));
}

int ScheduleView::Private::visibleRowCount() const {
  return std::max(1, timelineBody->height() / rowHeight);
}

detail::PaintContext ScheduleView::Private::screenContext() const {
  detail::PaintContext ctx;
  ctx.model = model;
  ctx.settings = settings;
  ctx.font = q->font();
  ctx.markFont = markFont;
  ctx.headerFont = headerFont;
  ctx.locale = q->locale();
  ctx.colours = colours;
  ctx.rows = rows();
  ctx.axis = axis();
  ctx.scale = scale;
  ctx.columns.resize(std::size_t(header->count()));
  const int frozen = frozenWidth();
  for (int column = 0; column < header->count(); ++column) {
    ctx.columns[column] = {column == 0 ? 0 : frozen + header->sectionViewportPosition(column),
                           columnWidth(column)};
  }
  ctx.frozenWidth = header->count() > 0 ? frozen : 0;
  ctx.currentLine = currentLine;
  ctx.focused = q->hasFocus();
  ctx.focusLine = focusLine;
  ctx.focusBar = focusBar;
  ctx.today = today;
  ctx.todayWidth = settings->todayLineWidth();
  return ctx;
}

QFont ScheduleView::Private::inPixels(QFont font) {
  font.setPixelSize(QFontInfo(font).pixelSize());
  return font;
}

detail::PaintContext ScheduleView::Private::exportContext(const QRect& target,
                                                          const PaintOptions& options,
                                                          int firstLine, int* listWidth) const {
  detail::PaintContext ctx = screenContext();
  ctx.font = inPixels(ctx.font);
  ctx.markFont = inPixels(ctx.markFont);
  ctx.headerFont = inPixels(ctx.headerFont);
  ctx.rows = RowGeometry{target.top() - (std::max(1, firstLine) - 1) * rowHeight, rowHeight};

  const int count = header->count();
  const bool given = options.columnWidths.size() == count && count > 0;
  const int total = std::max(1, given ? int(std::accumulate(options.columnWidths.begin(),
                                                            options.columnWidths.end(), 0))
                                      : listLength());
  const int width =
      std::clamp(options.listWidth < 0 || given ? total : options.listWidth, 0, target.width());
  int used = 0;
  int x = target.left();
  for (int column = 0; column < count; ++column) {
    used += given ? options.columnWidths[column] : columnWidth(column);
    const int next = target.left() + int(qint64(used) * width / total);
    ctx.columns[column] = {x, next - x};
    x = next;
  }
  ctx.frozenWidth = 0;
  // Columns fitted to paper may be narrower than their captions: those wrap.
  ctx.wrapCaptions = given;
  *listWidth = width;

  std::int32_t first = options.firstDay;
  std::int32_t last = options.lastDay;
  if (last < first) {
    // Whole weeks, so that the ruler's first and last week are whole too.
    const QDate from = dateOfDay(scale.span().first);
    const QDate to = dateOfDay(scale.span().last());
    first = dayOfDate(from.addDays(1 - from.dayOfWeek()));
    last = dayOfDate(to.addDays(7 - to.dayOfWeek()));
  }
  const int timeWidth = target.width() - width;
  ctx.scale = TimeScale::fitted(DaySpan{first, last + 1}, timeWidth);
  ctx.axis = ctx.scale.axis(double(target.left() + width));
  if (!options.highlights) {
    ctx.currentLine = 0;
    ctx.focusLine = ctx.focusBar = 0;
    ctx.focused = false;
  }
  return ctx;
}

bool ScheduleView::Private::pick(int line) {
  // One selection: the highlight a focused bar carries goes with the next pick.
  if (focusLine != 0) {
    focusLine = focusBar = 0;
    timelineBody->update();
  }
  const QPointer<ScheduleView> alive(q);
  q->setCurrentLine(line);
  if (alive)
    Q_EMIT q->linePicked(line);
  return !alive.isNull();
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
    (void)pick(target);
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
  else  // the line at the bottom, and a whole line at the top
    vScroll->setValue((top + rowHeight - viewHeight + rowHeight - 1) / rowHeight * rowHeight);
}

bool ScheduleView::Private::clickEdgeMarker(int line, const QPoint& pos) {
  for (const EdgeMarker& marker :
       detail::edgeMarkers(screenContext(), timelineBody->rect(), line)) {
    if (!marker.rect.contains(pos))
      continue;
    if (!pick(line))
      return true;
    if (!marker.outside) {
      // The hidden end comes into view a little way in from the edge it was beyond.
      const double x = scale.offsetOf(TimeAxis::dayPosition(marker.time));
      const double width = timelineBody->width();
      const double to = marker.left ? x - width / 8 : x - width * 7 / 8;
      timeHScroll->setValue(int(std::lround(std::clamp(to, 0.0, double(timeHScroll->maximum())))));
    }
    return true;
  }
  return false;
}

void ScheduleView::Private::onZoomChanged() {
  if (keepingScale)
    return;
  QToolTip::hideText();
  ensureLayout();
  // The moment under the pointer (after a wheel gesture) or the middle of the timeline stays
  // where it is.
  const double anchor = zoomAnchor >= 0 ? zoomAnchor : timelineBody->width() / 2.0;
  zoomAnchor = -1;
  const double moment = axis().dayAt(anchor);
  updateScale();
  layoutPanes();
  const double x = scale.offsetOf(moment) - anchor;
  timeHScroll->setValue(int(std::lround(std::clamp(x, 0.0, double(timeHScroll->maximum())))));
  updateBodies();
  announceScale();
}

void ScheduleView::Private::onFocusRequested(int line, int barIndex) {
  const Bar* bar = model->bar(line, barIndex);
  if (!bar)
    return;
  ensureLayout();
  focusLine = line;
  focusBar = barIndex;
  ensureLineVisible(line, true);
  const double left = scale.offsetOf(TimeAxis::dayPosition(bar->start));
  const double right = scale.offsetOf(TimeAxis::dayPosition(bar->end));
  const double viewLeft = timeHScroll->value();
  const double viewWidth = timelineBody->width();
  if (left < viewLeft || right > viewLeft + viewWidth) {
    const double x = right - left < viewWidth ? left - (viewWidth - (right - left)) / 2 : left - 24;
    timeHScroll->setValue(int(std::lround(std::clamp(x, 0.0, double(timeHScroll->maximum())))));
  }
  updateBodies();
}

void ScheduleView::Private::hoverAt(int line) {
  if (line == hoverLine)
    return;
  hoverLine = line;
  if (line == 0)
    Q_EMIT q->hovered(0, 0);
}

void ScheduleView::Private::showToolTip(QWidget* body, const QPoint& pos, const QPoint& globalPos) {
  ensureLayout();
  const int line = rows().lineAt(pos.y(), model->lineCount());
  if (line == 0) {
    hoverAt(0);
    QToolTip::hideText();
    return;
  }
  hoverLine = line;
  const QPointer<QWidget> alive(body);
  Q_EMIT q->hovered(line, 1);
  if (!alive)
    return;
  const QString text = settings->toolTipText();
  if (text.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  const QRect band(0, rows().lineTop(line), body->width(), rowHeight);
  QToolTip::showText(globalPos, toolTipLine(text, globalPos, body), body, band);
}

void ScheduleView::Private::zoomWheel(QWheelEvent* event, bool overTimeline) {
  // Touchpads send fractions of a notch; they add up to whole requests.
  wheelZoomDelta +=
      event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  const int steps = wheelZoomDelta / 120;
  wheelZoomDelta -= steps * 120;
  event->accept();
  ensureLayout();
  const QPointer<ScheduleView> alive(q);
  const double at = event->position().x();
  for (int i = 0; i < std::abs(steps); ++i) {
    // Past an end of the zoom range a notch does nothing, so that none is counted unseen.
    if (!zoomChanges(steps > 0 ? 1 : -1))
      return;
    zoomAnchor = overTimeline ? at : -1;
    Q_EMIT q->zoomRequested(steps > 0 ? 1 : -1);
    if (!alive)
      return;
    zoomAnchor = -1;
  }
}

bool ScheduleView::Private::typeAhead(const QString& text) {
  const int count = model->lineCount();
  if (count == 0 || text.isEmpty() || !text.at(0).isPrint())
    return false;
  // Keys typed in quick succession search for the whole text, as in Qt's item views.
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (now - typedAt > QApplication::keyboardInputInterval())
    typed.clear();
  typedAt = now;
  typed += text;
  // A longer text may still match the current line; a new first key moves on.
  const int from = typed.size() > text.size() && currentLine > 0 ? currentLine : currentLine + 1;
  for (int i = 0; i < count; ++i) {
    const int line = (from - 1 + i) % count + 1;
    if (model->cellView(line, 1).startsWith(typed, Qt::CaseInsensitive)) {
      if (line != currentLine && !pick(line))
        return true;
      ensureLineVisible(line, false);
      return true;
    }
  }
  return true;
}

void ScheduleView::Private::wheel(QWheelEvent* event, QScrollBar* horizontal) {
  QToolTip::hideText();
  if (event->modifiers() & Qt::ControlModifier) {
    zoomWheel(event, horizontal == timeHScroll);
    return;
  }
  const QPoint delta = event->angleDelta();
  const bool sideways =
      (event->modifiers() & Qt::ShiftModifier) || std::abs(delta.x()) > std::abs(delta.y());
  QScrollBar* bar = sideways ? horizontal : vScroll;
  const int notch = sideways ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y();
  const int step = sideways ? std::max(24, bar->pageStep() / 8) : 3 * rowHeight;
  bar->setValue(bar->value() - notch * step / 120);
  event->accept();
}

}  // namespace varnex::grid
