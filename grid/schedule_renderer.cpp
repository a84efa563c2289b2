#include "grid/schedule_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace varnex::grid::detail {

namespace {

constexpr int kCellPadding = 6;

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

bool isWeekend(std::int32_t day) {
  return dateOfDay(day).dayOfWeek() >= Qt::Saturday;
}

// Visits the day boundaries between first and last that get a line at the density: every day,
// Mondays and month starts, or month starts only.
template <typename F>
void forEachDayLine(std::int32_t first, std::int32_t last, TimeScale::Unit density, F&& visit) {
  if (density == TimeScale::Unit::Month) {
    QDate month = dateOfDay(first);
    month = QDate(month.year(), month.month(), 1);
    for (std::int32_t day = dayOfDate(month); day <= last;
         month = month.addMonths(1), day = dayOfDate(month)) {
      if (day >= first)
        visit(day, true);
    }
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
  c.pickInactive = mix(c.base, c.text, 0.11);
  c.pickBorder = highlight;
  c.focusRing = mix(highlight, c.text, 0.25);
  c.today = QColor(0xD9, 0x30, 0x25);
  return c;
}

QColor barFill(std::uint32_t colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QColor markColourOn(const QColor& fill) {
  const double luminance = 0.2126 * linear(fill.redF()) + 0.7152 * linear(fill.greenF()) +
                           0.0722 * linear(fill.blueF());
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
  std::vector<Qt::Alignment> alignment(ctx.columns.size());
  std::vector<Qt::TextElideMode> elide(ctx.columns.size());
  for (int column = 0; column < columnCount; ++column) {
    alignment[column] = ctx.model->columnAlignment(column + 1);
    elide[column] = ctx.model->columnElideMode(column + 1);
  }

  p.setPen(c.text);
  for (int line = firstLine; line <= lastLine; ++line) {
    const int y = ctx.rows.lineTop(line);
    const QRect row(area.left(), y, area.width(), rh);
    p.fillRect(row, line == ctx.currentLine ? (ctx.focused ? c.pick : c.pickInactive)
                                            : (line % 2 == 0 ? c.alternate : c.base));
    const int baseline = baselineIn(y, rh, fm);
    for (int column = 0; column < columnCount; ++column) {
      const ColumnSpan span = ctx.columns[column];
      const int inner = span.width - 2 * kCellPadding;
      if (inner <= 0 || span.x + span.width < area.left() || span.x > area.right())
        continue;
      const QStringView cell = ctx.model->cellView(line, column + 1);
      if (cell.isEmpty())
        continue;
      QString text = cell.toString();
      int width = fm.horizontalAdvance(text);
      if (width > inner) {
        text = fm.elidedText(text, elide[column], inner);
        width = fm.horizontalAdvance(text);
      }
      const int x = (alignment[column] & Qt::AlignRight) ? span.x + span.width - kCellPadding - width
                                                         : span.x + kCellPadding;
      p.drawText(QPoint(x, baseline), text);
    }
  }

  // Hairlines under each row and between columns, then the focus frame of the current row.
  const int top = ctx.rows.lineTop(firstLine);
  const int bottom = ctx.rows.lineTop(lastLine + 1) - 1;
  p.setPen(QPen(c.gridLine, 0));
  for (int line = firstLine; line <= lastLine; ++line) {
    const int y = ctx.rows.lineTop(line + 1) - 1;
    p.drawLine(area.left(), y, area.right(), y);
  }
  for (const ColumnSpan& span : ctx.columns) {
    const int x = span.x + span.width - 1;
    if (x >= area.left() && x <= area.right())
      p.drawLine(x, top, x, bottom);
  }
  if (ctx.focused && ctx.currentLine >= firstLine && ctx.currentLine <= lastLine) {
    p.setPen(QPen(c.pickBorder, 0));
    p.drawRect(QRect(area.left(), ctx.rows.lineTop(ctx.currentLine), area.width() - 1, rh - 1));
  }
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
        weekends.push_back({x1, clampedX(ctx.axis.x(day + 1.0), area),
                            x1 < horizonLeft || x1 >= horizonRight});
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
  for (int line = firstLine; line <= lastLine; ++line) {
    fillBand(ctx.rows.lineTop(line), rh,
             line == ctx.currentLine ? (ctx.focused ? c.pick : c.pickInactive)
                                     : (line % 2 == 0 ? c.alternate : c.base));
  }
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
  if (ctx.focused && ctx.currentLine >= firstLine && ctx.currentLine <= lastLine) {
    p.setPen(QPen(c.pickBorder, 0));
    p.drawRect(QRect(area.left(), ctx.rows.lineTop(ctx.currentLine), area.width() - 1, rh - 1));
  }

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
      const int markWidth = hasMark ? fm.horizontalAdvance(bar->text) : 0;
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
                   bar->text);
      } else {
        p.setPen(c.text);
        p.drawText(QPoint(r.right() + 4, baseline), bar->text);
      }
    }
  }

  // The today line runs through the middle of the current day, over everything else.
  if (ctx.todayWidth > 0) {
    const int x = clampedX(ctx.axis.x(ctx.today + 0.5), area);
    if (x + ctx.todayWidth > area.left() && x <= area.right())
      p.fillRect(QRect(x - ctx.todayWidth / 2, area.top(), ctx.todayWidth, area.height()),
                 c.today);
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

  // Month tier: the label sticks to the left edge while its month is in view.
  const QString pattern = ctx.model->rulerPattern();
  QDate month = dateOfDay(firstDay);
  month = QDate(month.year(), month.month(), 1);
  for (; dayOfDate(month) <= lastDay; month = month.addMonths(1)) {
    const double left = ctx.axis.x(double(dayOfDate(month)));
    const double right = ctx.axis.x(double(dayOfDate(month.addMonths(1))));
    if (right - left < 3)
      continue;
    const int x1 = clampedX(left, area);
    const int x2 = clampedX(right, area);
    p.setPen(linePen);
    if (x1 >= area.left())
      p.drawLine(x1, area.top(), x1, area.bottom());
    const int visibleLeft = std::max(x1, area.left());
    const int room = x2 - visibleLeft - 2 * kCellPadding;
    QString label = monthLabel(pattern, month, ctx.locale, QLocale::LongFormat);
    if (fm.horizontalAdvance(label) > room)
      label = monthLabel(pattern, month, ctx.locale, QLocale::ShortFormat);
    if (fm.horizontalAdvance(label) > room) {
      // Months too narrow for any name: the year, once per year (or for the first in view).
      if (month.month() != 1 && x1 >= area.left())
        continue;
      const int yearEnd = clampedX(ctx.axis.x(double(dayOfDate(QDate(month.year() + 1, 1, 1)))), area);
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
  forEachDayLine(firstDay, lastDay, ctx.scale.dayLines(), [&](std::int32_t day, bool) {
    const int x = clampedX(ctx.axis.x(double(day)), area);
    p.setPen(linePen);
    p.drawLine(x, lower.top(), x, lower.bottom());
  });
  const TimeScale::Unit lowerTier =
      ctx.scale.rulerTiers(fm.horizontalAdvance(QStringLiteral("30"))).lower;
  const bool daily = lowerTier == TimeScale::Unit::Day;
  const bool weekly = lowerTier == TimeScale::Unit::Week;
  if (daily || weekly) {
    const QStringList names = weekdayList(ctx.model->weekdayNames());
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
  const QString text = fm.elidedText(ctx.model->columnCaption(column), Qt::ElideRight, inner);
  const int width = fm.horizontalAdvance(text);
  const int x = (ctx.model->columnAlignment(column) & Qt::AlignRight)
                    ? cell.right() - kCellPadding - width
                    : cell.left() + kCellPadding;
  p.setPen(c.headerText);
  p.drawText(QPoint(x, baselineIn(cell.top(), cell.height(), fm)), text);
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

QFont titleFont(const ScheduleModel& model) {
  const FontSpec stored = model.titleFont();
  QFont font;
  font.setFamilies({stored.family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  // Sized in pixels at 96 dpi, like every other part of the grid, so that painting onto a
  // printer or PDF scales the title with the rest instead of by the device's resolution.
  const double points = stored.pointSize > 0 ? stored.pointSize : 12.0;
  font.setPixelSize(std::max(1, qRound(points * 96.0 / 72.0)));
  font.setBold(stored.bold);
  return font;
}

void paintTitle(QPainter& p, const ScheduleModel& model, const QRect& area, const QString& text,
                const GridColours& colours) {
  p.fillRect(area, colours.headerBackground);
  const QColor light = mix(colours.headerBackground, Qt::white, 0.8);
  const QColor dark = mix(colours.headerBackground, colours.text, 0.45);
  const QRect frame = area.adjusted(0, 0, -1, -1);
  switch (model.titleBorder()) {
    case TitleBorder::BottomLine:
      p.setPen(QPen(colours.headerLine, 0));
      p.drawLine(frame.bottomLeft(), frame.bottomRight());
      break;
    case TitleBorder::Raised:
    case TitleBorder::Sunken: {
      const bool raised = model.titleBorder() == TitleBorder::Raised;
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
  const QFont font = titleFont(model);
  p.setFont(font);
  const QFontMetrics fm(font);
  const int padding = 10;
  const QString shown =
      fm.elidedText(text, Qt::ElideRight, std::max(0, area.width() - 2 * padding));
  const int width = fm.horizontalAdvance(shown);
  int x = area.left() + padding;
  if (model.titleAlign() == TitleAlignment::Right)
    x = area.right() - padding - width;
  else if (model.titleAlign() == TitleAlignment::Centre)
    x = area.left() + (area.width() - width) / 2;
  p.setPen(barFill(model.titleColour()));
  p.drawText(QPoint(x, baselineIn(area.top(), area.height(), fm)), shown);
}

}  // namespace varnex::grid::detail
