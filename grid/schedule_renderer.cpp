#include "grid/schedule_renderer.h"

#include <QHash>
#include <QStaticText>

#include "grid/text_fit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace varnex::grid::detail {

namespace {

QColor mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// A translucent colour laid over an opaque one.
QColor over(const QColor& top, const QColor& bottom) {
  return mix(bottom, QColor(top.red(), top.green(), top.blue()), top.alphaF());
}

double linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// x in the context's coordinates, kept well inside int range however far the zoom goes.
int clampedX(double x, const QRect& area) {
  return int(std::lround(std::clamp(x, area.left() - 4096.0, area.right() + 4096.0)));
}

int baselineIn(int top, int height, const QFontMetrics& fm) {
  return top + (height - fm.height()) / 2 + fm.ascent();
}

QStringList weekdayList(const QString& names) {
  QStringList list = names.split(u';');
  while (list.size() < 7)
    list.append(QString());
  return list;
}

// The picked line stands out whether or not the grid has focus, on screen and on paper alike.
QColor rowBackground(const PaintContext& ctx, int line) {
  const GridColours& c = ctx.colours;
  if (line == ctx.currentLine)
    return ctx.focused ? c.pick : c.pickInactive;
  return line % 2 == 0 ? c.alternate : c.base;
}

void paintPickFrame(QPainter& p, const PaintContext& ctx, const QRect& area, int firstLine,
                    int lastLine) {
  if (ctx.currentLine < firstLine || ctx.currentLine > lastLine)
    return;
  p.setPen(QPen(ctx.focused ? ctx.colours.pickBorder : ctx.colours.pickBorderInactive, 0));
  p.drawRect(QRect(area.left(), ctx.rows.lineTop(ctx.currentLine), area.width() - 1,
                   ctx.rows.rowHeight - 1));
}

bool earlierPoint(const TimePoint& a, const TimePoint& b) {
  return a.day != b.day ? a.day < b.day : a.minute < b.minute;
}

bool isWeekend(std::int32_t day) {
  return dateOfDay(day).dayOfWeek() >= Qt::Saturday;
}

// Visits the periods of `months` months (aligned within the year, or to years that are a
// multiple of months / 12) that meet the days [first, last], with each period's start and end.
template <typename F>
void forEachPeriod(std::int32_t first, std::int32_t last, int months, F&& visit) {
  const QDate from = dateOfDay(first);
  QDate start;
  if (months >= 12) {
    const int years = months / 12;
    const int year = from.year() - ((from.year() % years) + years) % years;
    start = QDate(year, 1, 1);
  } else {
    start = QDate(from.year(), (from.month() - 1) / months * months + 1, 1);
  }
  while (start.isValid() && dayOfDate(start) <= last) {
    const QDate next = start.addMonths(months);
    visit(start, next);
    start = next;
  }
}

int monthsIn(TimeScale::Unit unit) {
  switch (unit) {
    case TimeScale::Unit::Quarter:
      return 3;
    case TimeScale::Unit::Year:
      return 12;
    default:
      return 1;
  }
}

// Visits the day boundaries between first and last that get a line at the density: every day,
// Mondays and month starts, or only the starts of months, quarters or years.
template <typename F>
void forEachDayLine(std::int32_t first, std::int32_t last, TimeScale::Unit density, F&& visit) {
  if (density == TimeScale::Unit::Month || density == TimeScale::Unit::Quarter ||
      density == TimeScale::Unit::Year) {
    forEachPeriod(first, last, monthsIn(density), [&](QDate start, QDate) {
      const std::int32_t day = dayOfDate(start);
      if (day >= first)
        visit(day, true);
    });
    return;
  }
  for (std::int32_t day = first; day <= last; ++day) {
    const QDate date = dateOfDay(day);
    const bool monthStart = date.day() == 1;
    if (density == TimeScale::Unit::Day || monthStart || date.dayOfWeek() == Qt::Monday)
      visit(day, monthStart);
  }
}

}  // namespace

GridColours GridColours::fromPalette(const QPalette& palette) {
  GridColours c;
  c.base = palette.color(QPalette::Base);
  c.text = palette.color(QPalette::Text);
  const QColor highlight = palette.color(QPalette::Highlight);
  c.alternate = mix(c.base, c.text, 0.028);
  c.gridLine = mix(c.base, c.text, 0.10);
  c.strongLine = mix(c.base, c.text, 0.28);
  c.headerBackground = mix(palette.color(QPalette::Window), c.base, 0.35);
  c.headerText = palette.color(QPalette::WindowText);
  c.headerLine = mix(c.headerBackground, c.text, 0.25);
  c.weekend = c.text;
  c.weekend.setAlpha(14);
  c.outside = c.text;
  c.outside.setAlpha(26);
  c.pick = mix(c.base, highlight, 0.22);
  c.pickInactive = mix(c.base, highlight, 0.14);
  c.pickBorder = highlight;
  c.pickBorderInactive = mix(c.base, highlight, 0.6);
  c.focusRing = mix(highlight, c.text, 0.25);
  c.today = QColor(0xD9, 0x30, 0x25);
  return c;
}

QColor barFill(std::uint32_t colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QColor markColourOn(const QColor& fill) {
  const double luminance =
      0.2126 * linear(fill.redF()) + 0.7152 * linear(fill.greenF()) + 0.0722 * linear(fill.blueF());
  const double onBlack = (luminance + 0.05) / 0.05;
  const double onWhite = 1.05 / (luminance + 0.05);
  return onBlack >= onWhite ? QColor(Qt::black) : QColor(Qt::white);
}

QString monthLabel(const QString& pattern, QDate month, const QLocale& locale,
                   QLocale::FormatType format) {
  QString label;
  label.reserve(pattern.size() + 12);
  for (const QChar ch : pattern) {
    if (ch == u'M')
      label += locale.standaloneMonthName(month.month(), format);
    else if (ch == u'Y')
      label += QString::number(month.year());
    else
      label += ch;
  }
  return label;
}

QRect barRect(const PaintContext& ctx, int line, const Bar& bar) {
  const int inset = std::max(3, ctx.rows.rowHeight / 5);
  const QRect wide(-1 << 20, 0, 1 << 21, 1);
  int x1 = clampedX(ctx.axis.x(bar.start), wide);
  int x2 = clampedX(ctx.axis.x(bar.end), wide);
  if (x2 < x1)
    std::swap(x1, x2);
  return QRect(x1, ctx.rows.lineTop(line) + inset, std::max(2, x2 - x1),
               ctx.rows.rowHeight - 2 * inset);
}

void paintListRows(QPainter& p, const PaintContext& ctx, const QRect& area, int firstLine,
                   int lastLine) {
  const GridColours& c = ctx.colours;
  const int below = lastLine >= firstLine ? ctx.rows.lineTop(lastLine + 1) : area.top();
  if (below <= area.bottom())
    p.fillRect(QRect(area.left(), below, area.width(), area.bottom() - below + 1), c.base);
  if (lastLine < firstLine)
    return;
  const int rh = ctx.rows.rowHeight;
  p.setFont(ctx.font);
  const QFontMetrics fm(ctx.font);
  const int columnCount = int(ctx.columns.size());

  for (int line = firstLine; line <= lastLine; ++line)
    p.fillRect(QRect(area.left(), ctx.rows.lineTop(line), area.width(), rh),
               rowBackground(ctx, line));

  // The cells of the columns [first, last] whose span meets [left, right].
  const auto paintCells = [&](int first, int last, int left, int right) {
    p.setPen(c.text);
    for (int column = first; column <= last; ++column) {
      const ColumnSpan span = ctx.columns[column];
      const int inner = span.width - 2 * kCellPadding;
      if (inner <= 0 || span.x + span.width <= left || span.x > right)
        continue;
      const Qt::Alignment alignment = ctx.model->columnAlignment(column + 1);
      const Qt::TextElideMode elide = ctx.model->columnElideMode(column + 1);
      for (int line = firstLine; line <= lastLine; ++line) {
        const QStringView cell = ctx.model->cellView(line, column + 1);
        if (cell.isEmpty())
          continue;
        // A value of any length costs what the cell shows of it.
        const FittedText shown = fitText(fm, cell, elide, inner);
        const int x = (alignment & Qt::AlignRight)
                          ? span.x + span.width - kCellPadding - shown.width
                          : span.x + kCellPadding;
        p.drawText(QPoint(x, baselineIn(ctx.rows.lineTop(line), rh, fm)), shown.text);
      }
    }
    // Hairlines between the columns.
    const int top = ctx.rows.lineTop(firstLine);
    const int bottom = ctx.rows.lineTop(lastLine + 1) - 1;
    p.setPen(QPen(c.gridLine, 0));
    for (int column = first; column <= last; ++column) {
      const int x = ctx.columns[column].x + ctx.columns[column].width - 1;
      if (x >= left && x <= right)
        p.drawLine(x, top, x, bottom);
    }
  };
  const int frozen =
      ctx.frozenWidth > 0 && columnCount > 0 ? area.left() + ctx.frozenWidth : area.left();
  if (frozen > area.left()) {
    // The other columns scroll under the first one, which stays in place.
    p.save();
    p.setClipRect(QRect(frozen, area.top(), std::max(0, area.right() - frozen + 1), area.height()),
                  Qt::IntersectClip);
    paintCells(1, columnCount - 1, frozen, area.right());
    p.restore();
    paintCells(0, 0, area.left(), frozen - 1);
  } else {
    paintCells(0, columnCount - 1, area.left(), area.right());
  }

  // What changed since the last load, as a small mark at the right of the first column.
  if (columnCount > 0 && ctx.model->changeCounts().any()) {
    const ColumnSpan first = ctx.columns[0];
    const double size = std::max(6, rh / 3);
    const double x = first.x + first.width - kCellPadding - size / 2 - 1;
    if (x - size / 2 >= area.left() && x + size / 2 <= area.right()) {
      for (int line = firstLine; line <= lastLine; ++line) {
        const LineChange change = ctx.model->lineChange(line);
        if (change != LineChange::None)
          paintChangeMark(p, QPointF(x, ctx.rows.lineTop(line) + rh / 2.0), size, change,
                          ctx.model->movedDays(line));
      }
    }
  }

  // Hairlines under each row, then the frame of the picked line.
  p.setPen(QPen(c.gridLine, 0));
  for (int line = firstLine; line <= lastLine; ++line) {
    const int y = ctx.rows.lineTop(line + 1) - 1;
    p.drawLine(area.left(), y, area.right(), y);
  }
  paintPickFrame(p, ctx, area, firstLine, lastLine);
}

namespace {

// "12 Dec 2024" in the locale; the dates a repaint shows are mostly those of the last one.
QString markerDate(const QLocale& locale, std::int32_t day) {
  thread_local QHash<std::int32_t, QString> dates;
  thread_local QString localeName;
  if (localeName != locale.name() || dates.size() > 4096) {
    dates.clear();
    localeName = locale.name();
  }
  auto at = dates.find(day);
  if (at == dates.end())
    at = dates.insert(day, locale.toString(dateOfDay(day), QStringLiteral("d MMM yyyy")));
  return *at;
}

}  // namespace

std::vector<EdgeMarker> edgeMarkers(const PaintContext& ctx, const QRect& area, int line) {
  return edgeMarkers(ctx, area, line, QFontMetrics(ctx.font));
}

std::vector<EdgeMarker> edgeMarkers(const PaintContext& ctx, const QRect& area, int line,
                                    const QFontMetrics& fm) {
  std::vector<EdgeMarker> markers;
  const int count = ctx.model->barCount(line);
  if (count == 0 || area.width() < 40)
    return markers;
  // The bar's two ends in time order, whichever way round it was given.
  const auto ends = [](const Bar& bar) {
    return earlierPoint(bar.end, bar.start) ? std::pair{bar.end, bar.start}
                                            : std::pair{bar.start, bar.end};
  };
  const double leftDay = ctx.axis.dayAt(area.left());
  const double rightDay = ctx.axis.dayAt(area.right() + 1);
  std::optional<TimePoint> before, after;
  for (int index = 1; index <= count; ++index) {
    const auto [start, end] = ends(*ctx.model->bar(line, index));
    if (TimeAxis::dayPosition(start) < leftDay && (!before || earlierPoint(start, *before)))
      before = start;
    if (TimeAxis::dayPosition(end) > rightDay && (!after || earlierPoint(*after, end)))
      after = end;
  }
  const int inset = std::max(3, ctx.rows.rowHeight / 5) - 1;
  const int top = ctx.rows.lineTop(line) + inset;
  const int height = ctx.rows.rowHeight - 2 * inset;
  const DaySpan span = ctx.scale.span();
  const auto make = [&](TimePoint time, bool left) {
    EdgeMarker marker;
    marker.time = time;
    marker.left = left;
    marker.outside = left ? time.day < span.first : time.day >= span.end;
    const QString date = markerDate(ctx.locale, time.day);
    marker.text = marker.outside ? (left ? QStringLiteral("before the period: %1")
                                         : QStringLiteral("after the period: %1"))
                                       .arg(date)
                                 : date;
    // The date where it fits in a third of the pane, else the triangle alone.
    int width = 14 + fm.horizontalAdvance(marker.text) + 6;
    if (width > area.width() / 3) {
      marker.text.clear();
      width = 14;
    }
    marker.rect = QRect(left ? area.left() + 1 : area.right() - width, top, width, height);
    markers.push_back(marker);
  };
  if (before)
    make(*before, true);
  if (after)
    make(*after, false);
  return markers;
}

void paintChangeMark(QPainter& p, QPointF centre, double size, LineChange change, int movedDays) {
  const double r = size / 2;
  QPolygonF shape;
  QColor colour;
  switch (change) {
    case LineChange::New:
      colour = QColor(0x2e, 0x9d, 0x4f);
      break;
    case LineChange::Moved: {
      // A triangle pointing the way the bar moved.
      colour = QColor(0x2f, 0x6f, 0xd0);
      const double towards = movedDays < 0 ? -1 : 1;
      shape << QPointF(centre.x() + towards * r, centre.y())
            << QPointF(centre.x() - towards * r, centre.y() - r)
            << QPointF(centre.x() - towards * r, centre.y() + r);
      break;
    }
    case LineChange::Changed:
      colour = QColor(0xd9, 0x82, 0x2b);
      shape << QPointF(centre.x(), centre.y() - r) << QPointF(centre.x() + r, centre.y())
            << QPointF(centre.x(), centre.y() + r) << QPointF(centre.x() - r, centre.y());
      break;
    case LineChange::None:
      return;
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  if (shape.isEmpty())
    p.drawEllipse(centre, r, r);
  else
    p.drawPolygon(shape);
  p.restore();
}

void paintTimelineRows(QPainter& p, const PaintContext& ctx, const QRect& area, int firstLine,
                       int lastLine) {
  const GridColours& c = ctx.colours;
  const int rh = ctx.rows.rowHeight;
  const auto firstDay = std::int32_t(std::floor(ctx.axis.dayAt(area.left())));
  const auto lastDay = std::int32_t(std::ceil(ctx.axis.dayAt(area.right() + 1)));

  // Backgrounds band by band (each line, then the space below the last one), with weekends
  // and the time outside the horizon shaded. The shades are composited here and filled
  // opaque: small opaque fills take the painter's fast path.
  const int horizonLeft = clampedX(ctx.axis.x(double(ctx.scale.span().first)), area);
  const int horizonRight = clampedX(ctx.axis.x(double(ctx.scale.span().end)), area);
  struct Column {
    int x1;
    int x2;
    bool outside;
  };
  std::vector<Column> weekends;
  if (ctx.scale.shadesWeekends()) {
    for (std::int32_t day = firstDay; day <= lastDay; ++day) {
      if (isWeekend(day)) {
        const int x1 = clampedX(ctx.axis.x(day), area);
        weekends.push_back(
            {x1, clampedX(ctx.axis.x(day + 1.0), area), x1 < horizonLeft || x1 >= horizonRight});
      }
    }
  }
  const auto fillBand = [&](int y, int height, const QColor& background) {
    p.fillRect(QRect(area.left(), y, area.width(), height), background);
    const QColor outside = over(c.outside, background);
    if (horizonLeft > area.left())
      p.fillRect(QRect(area.left(), y, horizonLeft - area.left(), height), outside);
    if (horizonRight <= area.right())
      p.fillRect(QRect(horizonRight, y, area.right() - horizonRight + 1, height), outside);
    const QColor weekend = over(c.weekend, background);
    const QColor weekendOutside = over(c.weekend, outside);
    for (const Column& column : weekends)
      p.fillRect(QRect(column.x1, y, column.x2 - column.x1, height),
                 column.outside ? weekendOutside : weekend);
  };
  for (int line = firstLine; line <= lastLine; ++line)
    fillBand(ctx.rows.lineTop(line), rh, rowBackground(ctx, line));
  const int below = lastLine >= firstLine ? ctx.rows.lineTop(lastLine + 1) : area.top();
  if (below <= area.bottom())
    fillBand(below, area.bottom() - below + 1, c.base);

  // Day, week and month lines.
  const QPen dayPen(c.gridLine, 0);
  const QPen monthPen(c.strongLine, 0);
  forEachDayLine(firstDay, lastDay, ctx.scale.dayLines(), [&](std::int32_t day, bool monthStart) {
    const int x = clampedX(ctx.axis.x(double(day)), area);
    p.setPen(monthStart ? monthPen : dayPen);
    p.drawLine(x, area.top(), x, area.bottom());
  });
  p.setPen(dayPen);
  for (int line = firstLine; line <= lastLine; ++line) {
    const int y = ctx.rows.lineTop(line + 1) - 1;
    p.drawLine(area.left(), y, area.right(), y);
  }
  paintPickFrame(p, ctx, area, firstLine, lastLine);

  // Bars with their marks; a mark that does not fit inside its bar goes beside it.
  p.setFont(ctx.markFont);
  const QFontMetrics fm(ctx.markFont);
  for (int line = firstLine; line <= lastLine; ++line) {
    const int count = ctx.model->barCount(line);
    const int baseline = baselineIn(ctx.rows.lineTop(line), rh, fm);
    for (int index = 1; index <= count; ++index) {
      const Bar* bar = ctx.model->bar(line, index);
      const QRect r = barRect(ctx, line, *bar);
      const bool hasMark = bar->hasText && !bar->text.isEmpty();
      // A mark too wide for its bar goes beside it and runs at most to the right edge; what lies
      // beyond is never drawn, so a huge mark is laid out only that far.
      const FittedText mark =
          hasMark
              ? leadingText(fm, bar->text, std::max(r.width(), area.right() + 1 - r.right() - 4),
                            p.layoutDirection() == Qt::RightToLeft)
              : FittedText{};
      const int markWidth = mark.width;
      if (r.right() < area.left() - markWidth - 8 || r.left() > area.right())
        continue;
      const QColor fill = barFill(bar->colour);
      p.fillRect(r, fill);
      p.setPen(QPen(fill.darker(165), 0));
      p.drawRect(r.adjusted(0, 0, -1, -1));
      if (line == ctx.focusLine && index == ctx.focusBar) {
        p.setPen(QPen(c.focusRing, 2));
        p.drawRect(QRectF(r).adjusted(-2, -2, 2, 2));
      }
      if (!hasMark)
        continue;
      if (markWidth + 4 <= r.width()) {
        // Centred in the part of the bar in view, so a long bar keeps its mark visible.
        const QRect shown = r.intersected(area);
        const QRect centreOn = shown.width() >= markWidth + 4 ? shown : r;
        p.setPen(markColourOn(fill));
        p.drawText(QPoint(centreOn.left() + (centreOn.width() - markWidth) / 2, baseline),
                   mark.text);
      } else {
        p.setPen(c.text);
        p.drawText(QPoint(r.right() + 4, baseline), mark.text);
      }
    }
  }

  // Bar ends hidden beyond either edge are marked there, with their dates.
  p.setFont(ctx.font);
  const QFontMetrics markerMetrics(ctx.font);
  for (int line = firstLine; line <= lastLine; ++line) {
    for (const EdgeMarker& marker : edgeMarkers(ctx, area, line, markerMetrics)) {
      const Bar* bar = ctx.model->bar(line, 1);
      const QColor ink = barFill(bar ? bar->colour : 0xAAAAAA).darker(165);
      p.fillRect(marker.rect, c.base);
      p.setPen(QPen(ink, 0));
      p.drawRect(marker.rect.adjusted(0, 0, -1, -1));
      // A small triangle pointing off the edge, then the date.
      const QRectF r(marker.rect);
      const double h = std::min(r.height() - 4, 8.0) / 2;
      const double tipX = marker.left ? r.left() + 3 : r.right() - 3;
      const double baseX = marker.left ? tipX + h * 1.2 : tipX - h * 1.2;
      // Row by row, so that a repaint of many markers stays on the painter's fast path.
      const int middle = marker.rect.top() + marker.rect.height() / 2;
      for (int dy = -int(h); dy <= int(h); ++dy) {
        const int reach = int(std::lround((h - std::abs(dy)) * 1.2));
        const int x = marker.left ? int(tipX) + int(h * 1.2) - reach : int(tipX) - int(h * 1.2);
        p.fillRect(QRect(x, middle + dy, reach + 1, 1), ink);
      }
      if (!marker.text.isEmpty()) {
        // Laid out once per text: the same dates come back at every scroll.
        thread_local QHash<QString, QStaticText> laidOut;
        thread_local QString laidOutFont;
        if (laidOut.size() > 4096 || laidOutFont != ctx.font.key()) {
          laidOut.clear();
          laidOutFont = ctx.font.key();
        }
        auto text = laidOut.find(marker.text);
        if (text == laidOut.end()) {
          text = laidOut.insert(marker.text, QStaticText(marker.text));
          text->setTextFormat(Qt::PlainText);
          text->prepare(QTransform(), ctx.font);
        }
        p.setPen(c.text);
        const int width = int(std::ceil(text->size().width()));
        const int textX = marker.left ? int(baseX) + 3 : int(baseX) - 3 - width;
        p.drawStaticText(QPoint(textX, marker.rect.top() +
                                           (marker.rect.height() - int(text->size().height())) / 2),
                         *text);
      }
    }
  }

  // The today line runs through the middle of the current day, over everything else.
  if (ctx.todayWidth > 0) {
    const int x = clampedX(ctx.axis.x(ctx.today + 0.5), area);
    if (x + ctx.todayWidth > area.left() && x <= area.right())
      p.fillRect(QRect(x - ctx.todayWidth / 2, area.top(), ctx.todayWidth, area.height()), c.today);
  }
}

void paintRuler(QPainter& p, const PaintContext& ctx, const QRect& area) {
  const GridColours& c = ctx.colours;
  const double ppd = ctx.axis.pixelsPerDay;
  const int upperHeight = area.height() / 3;
  const QRect upper(area.left(), area.top(), area.width(), upperHeight);
  const QRect lower(area.left(), area.top() + upperHeight, area.width(),
                    area.height() - upperHeight);
  p.fillRect(area, c.headerBackground);
  const auto firstDay = std::int32_t(std::floor(ctx.axis.dayAt(area.left())));
  const auto lastDay = std::int32_t(std::ceil(ctx.axis.dayAt(area.right() + 1)));

  p.setFont(ctx.headerFont);
  const QFontMetrics fm(ctx.headerFont);
  const QPen linePen(c.headerLine, 0);
  const int labelWidth = fm.horizontalAdvance(QStringLiteral("30"));
  const TimeScale::RulerTiers tiers = ctx.scale.rulerTiers(labelWidth);

  // A tier of periods: a line at each start, and each label in its period where it fits, or
  // else its fallback; the label sticks to the left edge while its period is in view (upper)
  // or is centred (lower).
  const auto paintPeriods = [&](const QRect& band, int months, bool sticky, auto labelsOf) {
    forEachPeriod(firstDay, lastDay, months, [&](QDate start, QDate next) {
      const double left = ctx.axis.x(double(dayOfDate(start)));
      const double right = ctx.axis.x(double(dayOfDate(next)));
      const int x1 = clampedX(left, area);
      const int x2 = clampedX(right, area);
      if (x1 >= area.left()) {
        p.setPen(linePen);
        p.drawLine(x1, band.top(), x1, sticky ? area.bottom() : band.bottom());
      }
      const int from = std::max(x1, area.left());
      const int to = std::min(x2, area.right() + 1);
      for (const QString& label : labelsOf(start)) {
        const int width = fm.horizontalAdvance(label);
        if (width > to - from - 2 * kCellPadding)
          continue;
        const int x = sticky ? from + kCellPadding : from + (to - from - width) / 2;
        p.setPen(c.headerText);
        p.drawText(QPoint(x, baselineIn(band.top(), band.height(), fm)), label);
        break;
      }
    });
  };

  const QString pattern = ctx.settings->rulerPattern();
  if (tiers.upper == TimeScale::Unit::Day) {
    // Each day with its weekday, sticking to the left edge while in view, over its hours.
    const QStringList names = weekdayList(ctx.settings->weekdayNames());
    const int step = ctx.scale.hourStep(labelWidth);
    for (std::int32_t day = firstDay; day <= lastDay; ++day) {
      const QDate date = dateOfDay(day);
      const double left = ctx.axis.x(double(day));
      const int x1 = clampedX(left, area);
      const int from = std::max(x1, area.left());
      const int to = std::min(clampedX(left + ppd, area), area.right() + 1);
      if (x1 >= area.left()) {
        p.setPen(linePen);
        p.drawLine(x1, area.top(), x1, area.bottom());
      }
      const QString weekday = names.at(date.dayOfWeek() % 7);
      for (const QString& label :
           {QStringLiteral("%1 %2").arg(weekday, ctx.locale.toString(date, u"d MMM yyyy")),
            QStringLiteral("%1 %2").arg(weekday, ctx.locale.toString(date, u"d MMM")),
            ctx.locale.toString(date, u"d MMM"), QString::number(date.day())}) {
        if (fm.horizontalAdvance(label) > to - from - 2 * kCellPadding)
          continue;
        p.setPen(c.headerText);
        p.drawText(QPoint(from + kCellPadding, baselineIn(upper.top(), upper.height(), fm)), label);
        break;
      }
      for (int hour = step; hour < 24; hour += step) {
        const int x = clampedX(left + ppd * hour / 24, area);
        if (x < area.left() || x > area.right())
          continue;
        p.setPen(linePen);
        p.drawLine(x, lower.top(), x, lower.bottom());
      }
      for (int hour = 0; hour < 24; hour += step) {
        const double cellLeft = left + ppd * hour / 24;
        const double cell = ppd * step / 24;
        for (const QString& label : {QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')),
                                     QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'))}) {
          const int width = fm.horizontalAdvance(label);
          if (width > cell - 2 * kCellPadding)
            continue;
          const int x = int(std::lround(cellLeft + (cell - width) / 2));
          if (x >= area.left() && x + width <= area.right() + 1) {
            p.setPen(c.headerText);
            p.drawText(QPoint(x, baselineIn(lower.top(), lower.height(), fm)), label);
          }
          break;
        }
      }
    }
  }
  if (tiers.upper == TimeScale::Unit::Year) {
    // Years, as many apart as their labels need.
    const int step = ctx.scale.yearStep(labelWidth);
    paintPeriods(upper, 12 * step, true,
                 [](QDate start) { return QStringList{QString::number(start.year())}; });
  }
  // Month tier: the label sticks to the left edge while its month is in view.
  QDate month = dateOfDay(firstDay);
  month = QDate(month.year(), month.month(), 1);
  for (; tiers.upper == TimeScale::Unit::Month && dayOfDate(month) <= lastDay;
       month = month.addMonths(1)) {
    const double left = ctx.axis.x(double(dayOfDate(month)));
    const double right = ctx.axis.x(double(dayOfDate(month.addMonths(1))));
    if (right - left < 3)
      continue;
    const int x1 = clampedX(left, area);
    const int x2 = clampedX(right, area);
    p.setPen(linePen);
    if (x1 >= area.left())
      p.drawLine(x1, area.top(), x1, area.bottom());
    // The label shows only where it fits in the part of its month in view.
    const int visibleLeft = std::max(x1, area.left());
    const int room = std::min(x2, area.right() + 1) - visibleLeft - 2 * kCellPadding;
    // The pattern is the host's: a label too long for its month is measured only that far.
    QString label = monthLabel(pattern, month, ctx.locale, QLocale::LongFormat);
    if (advanceUpTo(fm, label, room) > room)
      label = monthLabel(pattern, month, ctx.locale, QLocale::ShortFormat);
    if (advanceUpTo(fm, label, room) > room) {
      // Months too narrow for any name: the year, once per year (or for the first in view).
      if (month.month() != 1 && x1 >= area.left())
        continue;
      const int yearEnd =
          std::min(clampedX(ctx.axis.x(double(dayOfDate(QDate(month.year() + 1, 1, 1)))), area),
                   area.right() + 1);
      label = QString::number(month.year());
      if (fm.horizontalAdvance(label) > yearEnd - visibleLeft - 2 * kCellPadding)
        continue;
    }
    p.setPen(c.headerText);
    p.drawText(QPoint(visibleLeft + kCellPadding, baselineIn(upper.top(), upper.height(), fm)),
               label);
  }

  // Day tier: the date over the weekday name, each day or, when days get narrow, each week.
  if (ctx.scale.shadesWeekends()) {
    for (std::int32_t day = firstDay; day <= lastDay; ++day) {
      if (isWeekend(day)) {
        const int x1 = clampedX(ctx.axis.x(day), area);
        const int x2 = clampedX(ctx.axis.x(day + 1.0), area);
        p.fillRect(QRect(x1, lower.top(), x2 - x1, lower.height()),
                   over(c.weekend, c.headerBackground));
      }
    }
  }
  // The lower tier's own boundaries, so that every line in the ruler has its label; months,
  // quarters and hours draw theirs with their labels.
  const TimeScale::Unit lowerTier = tiers.lower;
  if (lowerTier == TimeScale::Unit::Day || lowerTier == TimeScale::Unit::Week) {
    forEachDayLine(firstDay, lastDay, lowerTier, [&](std::int32_t day, bool) {
      const int x = clampedX(ctx.axis.x(double(day)), area);
      p.setPen(linePen);
      p.drawLine(x, lower.top(), x, lower.bottom());
    });
  }
  const bool daily = lowerTier == TimeScale::Unit::Day;
  const bool weekly = lowerTier == TimeScale::Unit::Week;
  if (lowerTier == TimeScale::Unit::Month) {
    paintPeriods(lower, 1, false, [&](QDate start) {
      return QStringList{ctx.locale.standaloneMonthName(start.month(), QLocale::ShortFormat),
                         ctx.locale.standaloneMonthName(start.month(), QLocale::NarrowFormat)};
    });
  } else if (lowerTier == TimeScale::Unit::Quarter) {
    paintPeriods(lower, 3, false, [](QDate start) {
      return QStringList{QStringLiteral("Q%1").arg((start.month() - 1) / 3 + 1)};
    });
  }
  if (daily || weekly) {
    const QStringList names = weekdayList(ctx.settings->weekdayNames());
    const QFont nameFont = ctx.font;
    const QFontMetrics nameMetrics(nameFont);
    const int lineGap = (lower.height() - fm.height() - nameMetrics.height()) / 2;
    const int numberBaseline = lower.top() + lineGap + fm.ascent();
    const int nameBaseline = lower.top() + lineGap + fm.height() + nameMetrics.ascent();
    const QColor nameColour = mix(c.headerText, c.headerBackground, 0.35);
    const double cell = daily ? ppd : ppd * 7;
    // All names are cut to one common length, the longest at which every name fits.
    int nameLength = 0;
    for (int length = 1; length <= 16; ++length) {
      bool fits = true;
      for (int i = 0; i < 7 && fits; ++i)
        fits = nameMetrics.horizontalAdvance(names.at(i).left(length)) <= cell - 4;
      if (!fits)
        break;
      nameLength = length;
    }
    for (std::int32_t day = firstDay; day <= lastDay; ++day) {
      const QDate date = dateOfDay(day);
      if (weekly && date.dayOfWeek() != Qt::Monday)
        continue;
      const double left = ctx.axis.x(double(day));
      const QString number = QString::number(date.day());
      p.setFont(ctx.headerFont);
      p.setPen(ctx.todayWidth > 0 && day == ctx.today ? c.today : c.headerText);
      const int numberWidth = fm.horizontalAdvance(number);
      p.drawText(QPoint(weekly ? clampedX(left, area) + 4
                               : clampedX(left + (cell - numberWidth) / 2.0, area),
                        numberBaseline),
                 number);
      const QString name = names.at(date.dayOfWeek() % 7).left(nameLength);
      if (name.isEmpty())
        continue;
      p.setFont(nameFont);
      p.setPen(nameColour);
      const int nameWidth = nameMetrics.horizontalAdvance(name);
      p.drawText(QPoint(weekly ? clampedX(left, area) + 4
                               : clampedX(left + (cell - nameWidth) / 2.0, area),
                        nameBaseline),
                 name);
    }
  }

  p.setPen(linePen);
  p.drawLine(area.left(), lower.top(), area.right(), lower.top());
  p.drawLine(area.left(), area.bottom(), area.right(), area.bottom());

  // The current line's bar along the ruler's foot, its start and end dated where they show.
  const Bar* bar = ctx.currentLine > 0 ? ctx.model->bar(ctx.currentLine, 1) : nullptr;
  if (!bar)
    return;
  const double startX = ctx.axis.x(bar->start);
  const double endX = ctx.axis.x(bar->end);
  const double from = std::min(startX, endX);
  const double to = std::max(startX, endX);
  const int x1 = clampedX(from, area);
  const int x2 = clampedX(to, area);
  const QColor fill = barFill(bar->colour);
  const QRect band(std::max(x1, area.left()), area.bottom() - 4,
                   std::min(x2, area.right() + 1) - std::max(x1, area.left()), 4);
  if (band.width() > 0) {
    p.fillRect(band, fill);
    p.setPen(QPen(fill.darker(165), 0));
    p.drawRect(band.adjusted(0, 0, -1, -1));
  }
  const QFont small = ctx.font;
  const QFontMetrics sm(small);
  p.setFont(small);
  int startRight = area.left() - 1;
  for (const bool start : {true, false}) {
    const int x = start ? x1 : x2;
    if (x < area.left() || x > area.right())
      continue;
    const TimePoint at = earlierPoint(bar->end, bar->start) != start ? bar->start : bar->end;
    const QString date = ctx.locale.toString(dateOfDay(at.day), QStringLiteral("d MMM yyyy"));
    const int width = sm.horizontalAdvance(date) + 6;
    const int left = start ? x : x - width;
    const QRect box(left, band.top() - sm.height() - 2, width, sm.height() + 2);
    if (box.left() < area.left() || box.right() > area.right() || box.left() <= startRight)
      continue;
    p.fillRect(box, c.headerBackground);
    p.setPen(QPen(fill.darker(165), 0));
    p.drawLine(x, box.top(), x, area.bottom());
    p.setPen(c.headerText);
    p.drawText(QPoint(box.left() + 3, box.top() + 1 + sm.ascent()), date);
    startRight = box.right();
  }
}

void paintCaption(QPainter& p, const PaintContext& ctx, const QRect& cell, int column) {
  const GridColours& c = ctx.colours;
  p.fillRect(cell, c.headerBackground);
  p.setPen(QPen(c.headerLine, 0));
  p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
  p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
  p.setFont(ctx.headerFont);
  const QFontMetrics fm(ctx.headerFont);
  const int inner = cell.width() - 2 * kCellPadding;
  if (inner <= 0)
    return;
  const QString caption = ctx.model->columnCaption(column);
  p.setPen(c.headerText);
  const bool right = (ctx.model->columnAlignment(column) & Qt::AlignRight) != 0;
  const auto draw = [&](const QString& text, int baseline) {
    const int width = fm.horizontalAdvance(text);
    p.drawText(QPoint(right ? cell.right() - kCellPadding - width : cell.left() + kCellPadding,
                      baseline),
               text);
  };
  if (ctx.wrapCaptions && fm.horizontalAdvance(caption) > inner &&
      cell.height() >= 2 * fm.height()) {
    // Two lines, broken at the last blank, "_" or change of case that leaves the first fitting.
    qsizetype cut = 0;
    for (qsizetype i = 1; i < caption.size(); ++i) {
      const bool blank = caption[i] == u' ';
      const bool joint =
          caption[i - 1] == u'_' || (caption[i].isUpper() && caption[i - 1].isLower());
      if ((blank || joint) && fm.horizontalAdvance(caption.left(i)) <= inner)
        cut = i;
    }
    if (cut > 0) {
      const QString first = caption.left(cut);
      const QString second = caption.mid(cut).trimmed();
      const int top = cell.top() + (cell.height() - 2 * fm.height()) / 2;
      draw(elidedText(fm, first, Qt::ElideRight, inner), top + fm.ascent());
      draw(elidedText(fm, second, Qt::ElideRight, inner), top + fm.height() + fm.ascent());
      return;
    }
  }
  draw(elidedText(fm, caption, Qt::ElideRight, inner), baselineIn(cell.top(), cell.height(), fm));
}

void paintCaptions(QPainter& p, const PaintContext& ctx, const QRect& area) {
  p.fillRect(area, ctx.colours.headerBackground);
  for (int column = 0; column < int(ctx.columns.size()); ++column) {
    const ColumnSpan span = ctx.columns[column];
    const QRect cell(span.x, area.top(), span.width, area.height());
    if (span.width > 0 && cell.intersects(area))
      paintCaption(p, ctx, cell, column + 1);
  }
}

QFont titleFont(const ScheduleSettings& settings) {
  const FontSpec stored = settings.titleFont();
  QFont font;
  font.setFamilies({stored.family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  // Sized in pixels at 96 dpi, like every other part of the grid, so that painting onto a
  // printer or PDF scales the title with the rest instead of by the device's resolution.
  const double points = stored.pointSize > 0 ? stored.pointSize : 12.0;
  font.setPixelSize(std::max(1, qRound(points * 96.0 / 72.0)));
  font.setBold(stored.bold);
  return font;
}

void paintTitle(QPainter& p, const ScheduleSettings& settings, const QRect& area,
                const QString& text, const GridColours& colours) {
  p.fillRect(area, colours.headerBackground);
  const QColor light = mix(colours.headerBackground, Qt::white, 0.8);
  const QColor dark = mix(colours.headerBackground, colours.text, 0.45);
  const QRect frame = area.adjusted(0, 0, -1, -1);
  switch (settings.titleBorder()) {
    case TitleBorder::BottomLine:
      p.setPen(QPen(colours.headerLine, 0));
      p.drawLine(frame.bottomLeft(), frame.bottomRight());
      break;
    case TitleBorder::Raised:
    case TitleBorder::Sunken: {
      const bool raised = settings.titleBorder() == TitleBorder::Raised;
      p.setPen(QPen(raised ? light : dark, 0));
      p.drawLine(frame.topLeft(), frame.topRight());
      p.drawLine(frame.topLeft(), frame.bottomLeft());
      p.setPen(QPen(raised ? dark : light, 0));
      p.drawLine(frame.bottomLeft(), frame.bottomRight());
      p.drawLine(frame.topRight(), frame.bottomRight());
      break;
    }
    default:
      p.setPen(QPen(dark, 0));
      p.drawRect(frame);
      break;
  }
  const QFont font = titleFont(settings);
  p.setFont(font);
  const QFontMetrics fm(font);
  const int padding = 10;
  const QString shown =
      elidedText(fm, text, Qt::ElideRight, std::max(0, area.width() - 2 * padding));
  const int width = fm.horizontalAdvance(shown);
  int x = area.left() + padding;
  if (settings.titleAlign() == TitleAlignment::Right)
    x = area.right() - padding - width;
  else if (settings.titleAlign() == TitleAlignment::Centre)
    x = area.left() + (area.width() - width) / 2;
  p.setPen(barFill(settings.titleColour()));
  p.drawText(QPoint(x, baselineIn(area.top(), area.height(), fm)), shown);
}

}  // namespace varnex::grid::detail
