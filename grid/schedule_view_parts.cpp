// The parts of the schedule view: panes, bodies, ruler, title strip, captions and scroll bars,
// and how the view builds them.
#include "grid/schedule_view_p.h"

#include <QCursor>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
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
    for (const QStyle::SubControl control :
         {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
      const QRect r = part(control);
      if (r.isEmpty())
        continue;
      // A small solid triangle pointing along the bar.
      const QPointF m = QRectF(r).center();
      const double s = std::min(r.width(), r.height()) / 5.0;
      const double sign = control == QStyle::SC_ScrollBarAddLine ? 1 : -1;
      const QPointF tip =
          vertical ? QPointF(m.x(), m.y() + sign * s) : QPointF(m.x() + sign * s, m.y());
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
    const bool active =
        isSliderDown() || (underMouse() && slider.contains(mapFromGlobal(QCursor::pos())));
    const QRect thumb = vertical ? slider.adjusted(3, 1, -3, -1) : slider.adjusted(1, 3, -1, -3);
    p.fillRect(thumb, active ? c.strongLine.darker(125) : c.strongLine);
    if (vertical && d->chosenKind >= 0)
      paintKindMap(p, part(QStyle::SC_ScrollBarGroove));
  }

  // A tick at the height of each line of the chosen kind, over the thumb, as editors mark
  // search hits. Lines that fall on one pixel row share its tick, so any number costs one pass.
  void paintKindMap(QPainter& p, const QRect& groove) {
    const std::vector<int>& lines = d->model->linesOf(d->chosenKind);
    const int count = d->model->lineCount();
    if (lines.empty() || count == 0 || groove.height() <= 0)
      return;
    // Lines on neighbouring rows make one run of ticks, drawn as one rectangle.
    const QColor tick = d->colours.pickBorder;
    const int height = groove.height();
    int runTop = -1;
    int runBottom = -1;
    const auto flush = [&] {
      if (runTop >= 0)
        p.fillRect(QRect(groove.left() + 2, groove.top() + runTop, groove.width() - 3,
                         runBottom - runTop + 1),
                   tick);
    };
    for (const int line : lines) {
      const int row = std::min(int((double(line) - 0.5) * height / count), height - 2);
      if (row <= runBottom + 1 && runTop >= 0) {
        runBottom = std::max(runBottom, row + 1);
        continue;
      }
      flush();
      runTop = row;
      runBottom = row + 1;
    }
    flush();
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
  const QPoint pos = event->position().toPoint();
  const int line = d->rows().lineAt(pos.y(), d->model->lineCount());
  if (line > 0 && !(which == Pane::Timeline && d->clickEdgeMarker(line, pos)))
    (void)d->pick(line);
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
    setAccessibleName(QStringLiteral("Line list"));
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
    setAccessibleName(QStringLiteral("Timeline"));
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
      Q_EMIT d->q->barActivated(line, barIndex, -1);
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

void ScheduleView::Private::build() {
  title = std::make_unique<TitleStrip>(this, q);
  splitter = std::make_unique<QSplitter>(Qt::Horizontal, q);
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(5);
  // The panes and handles cover the splitter and the title and splitter cover the view, so
  // neither needs its background filled under them.
  splitter->setAttribute(Qt::WA_OpaquePaintEvent);
  q->setAttribute(Qt::WA_OpaquePaintEvent);
  listPane = new PaneWidget(this, splitter.get());
  listPane->setAccessibleName(QStringLiteral("List pane"));
  timelinePane = new PaneWidget(this, splitter.get());
  timelinePane->setAccessibleName(QStringLiteral("Timeline pane"));
  splitter->addWidget(listPane);
  splitter->addWidget(timelinePane);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->handle(1)->setAutoFillBackground(true);

  captions = std::make_unique<CaptionModel>(this);
  auto* listPaneWidget = static_cast<PaneWidget*>(listPane);
  header = new Header(this, listPaneWidget);
  header->setModel(captions.get());
  frozenHeader = new Header(this, listPaneWidget);
  frozenHeader->setModel(captions.get());
  listBody = new ListBody(this, listPane);
  listHScroll = new ScrollBar(this, Qt::Horizontal, listPane);
  ruler = new Ruler(this, timelinePane);
  timelineBody = new TimelineBody(this, timelinePane);
  vScroll = new ScrollBar(this, Qt::Vertical, timelinePane);
  timeHScroll = new ScrollBar(this, Qt::Horizontal, timelinePane);

  auto* layout = new QVBoxLayout(q);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(title.get());
  layout->addWidget(splitter.get(), 1);

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
  for (Header* captionsPart : {header, frozenHeader}) {
    QObject::connect(captionsPart, &QHeaderView::sectionResized, q, [this] {
      layoutPanes();
      listBody->update();
      header->viewport()->update();
    });
  }
  installAccessibility();
}

}  // namespace varnex::grid
