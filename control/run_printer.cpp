#include "control/run_printer.h"

#include "control/screen_style.h"
#include "grid/schedule_geometry.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "platform/version_info.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace varnex::control {

namespace {

// Pages narrower than this many logical pixels are printed scaled down, so the ten columns and
// a readable time scale share one page width.
constexpr double kMinimumPageWidth = 1500.0;
// Share of the width that the columns get; the horizon fills the rest.
constexpr double kListShare = 0.58;
constexpr int kFooterHeight = 18;
constexpr int kLegendGap = 12;

// The page heading: the grid's title strip, as on the screen, naming what is printed.
QString HeadingText(const grid::ScheduleView& view) {
  return QStringLiteral("%1 planning run  \u00B7  %2")
      .arg(QString::fromUtf16(platform::kProductName), view.shownTitle());
}

QRect LegendBounds(const std::vector<QPointer<const QWidget>>& legends) {
  QRect bounds;
  for (const QWidget* band : legends) {
    if (band) bounds |= band->geometry();
  }
  return bounds;
}

}  // namespace

bool PrintPlanningRun(QPagedPaintDevice& device, const grid::ScheduleView& view,
                      const std::vector<QPointer<const QWidget>>& legends,
                      const std::function<void(int done, int total)>& progress) {
  QPainter painter;
  if (!painter.begin(&device)) return false;

  // Work in logical pixels at 96 dpi, scaled to the page.
  const double devicePerPixel = device.logicalDpiX() / 96.0;
  const double pageWidth = device.width() / devicePerPixel;
  const double logicalWidth = std::max(pageWidth, kMinimumPageWidth);
  const double scale = device.width() / logicalWidth;
  painter.scale(scale, scale);
  const int width = int(std::floor(logicalWidth));
  const int height = int(std::floor(device.height() / scale));

  const int titleHeight = view.titleHeight();
  const int headerHeight = view.headerHeight();
  const int rowHeight = std::max(1, view.rowHeight());
  const int bodyTop = titleHeight + headerHeight;
  const int bodyHeight = height - bodyTop - kFooterHeight;
  const int perPage = std::max(1, bodyHeight / rowHeight);

  const int lineCount = view.model()->lineCount();
  const int linePages = std::max(1, (lineCount + perPage - 1) / perPage);
  const QRect legendBounds = LegendBounds(legends);
  const int linesOnLast = lineCount - (linePages - 1) * perPage;
  const bool legendsFit = bodyTop + linesOnLast * rowHeight + kLegendGap + legendBounds.height() <=
                          height - kFooterHeight;
  const int pageCount = linePages + (legendsFit ? 0 : 1);

  // Every column gets its longest text or a fair share of the list's part of the page.
  grid::ScheduleView::PaintOptions options;
  options.columnWidths = view.fittedColumnWidths(int(width * kListShare));
  // The picked line stands out on paper as on the screen.
  options.highlights = true;

  const QFont footerFont = ArialFont(8.25);
  const QString heading = HeadingText(view);
  for (int page = 1; page <= pageCount; ++page) {
    if (page > 1) device.newPage();
    view.paintTitle(&painter, QRect(0, 0, width, titleHeight), heading);
    int y = titleHeight;
    if (page <= linePages) {
      view.paintHeader(&painter, QRect(0, y, width, headerHeight), options);
      y += headerHeight;
      const int first = (page - 1) * perPage + 1;
      const int last = std::min(lineCount, first + perPage - 1);
      if (last >= first) {
        const int linesHeight = (last - first + 1) * rowHeight;
        view.paintLines(&painter, QRect(0, y, width, linesHeight), first, last, options);
        y += linesHeight;
      }
    }
    if (page == pageCount) {
      y += kLegendGap;
      for (const QWidget* band : legends) {
        if (!band) continue;  // its board went during the progress callback
        const QPoint at = band->geometry().topLeft() - legendBounds.topLeft() +
                          QPoint((width - legendBounds.width()) / 2, y);
        const_cast<QWidget*>(band)->render(&painter, at, QRegion(),
                                           QWidget::DrawWindowBackground | QWidget::DrawChildren);
      }
    }
    painter.setFont(footerFont);
    painter.setPen(QColor(80, 80, 80));
    painter.drawText(QRect(0, height - kFooterHeight, width, kFooterHeight),
                     Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pageCount));
    if (progress) progress(page, pageCount);
  }
  return painter.end();
}

}  // namespace varnex::control
