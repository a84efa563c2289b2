#include "interaction/grid_events.h"

#include "orders/order_columns.h"
#include "platform/automation_error.h"
#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "schedule/schedule_ids.h"

#include <array>
#include <cstdlib>

namespace varnex::interaction {

using platform::Variant;
namespace ids = schedule::grid_ids;

namespace {

using orders::OrderColumn;

// The columns of the tooltip's summary, in the order it shows them.
constexpr std::array kSummaryColumns = {OrderColumn::ItemDesc, OrderColumn::ActionMessage,
                                        OrderColumn::OrderCategory, OrderColumn::NewQty,
                                        OrderColumn::NewDate};

// The operations get references to the handler's own copy of the row; writes are discarded.
QString CellText(platform::Dispatch& grid, std::int16_t row, OrderColumn column) {
  std::array<Variant, 2> args = {Variant::I2(row).ByRef(),
                                 Variant::I2(orders::ColumnNumber(column))};
  return platform::ToBstr(grid.Call(ids::kCellText, args));
}

}  // namespace

void OnLinePicked(platform::Dispatch& grid, std::int16_t row, QString& mSelectedOrder) {
  mSelectedOrder = CellText(grid, row, OrderColumn::Order);
}

void OnHover(platform::Dispatch& grid, platform::ControlSite& site, std::int16_t row,
             std::int16_t value) {
  if (value <= 0) {
    site.SetGridToolTip(QString());
    return;
  }
  const QString separator = QStringLiteral(" / ");
  QString summary;
  bool firstColumn = true;
  for (const OrderColumn column : kSummaryColumns) {
    if (!firstColumn) summary += separator;
    summary += CellText(grid, row, column);
    firstColumn = false;
  }
  site.SetGridToolTip(summary);
}

void OnBarActivated(platform::Dispatch& grid, std::int16_t a, std::int16_t b, std::int16_t flag) {
  if (flag != -1) return;
  std::array<Variant, 2> args = {Variant::I2(a).ByRef(), Variant::I2(b).ByRef()};
  grid.Call(ids::kFocusBar, args);
}

void OnToolbarButton(platform::Dispatch& grid, std::int16_t button) {
  std::int16_t step = 0;
  if (button == buttons::kZoomOut) step = -kZoomStep;
  if (button == buttons::kZoomIn) step = kZoomStep;
  if (step == 0) return;
  const Variant value = grid.Get(ids::kZoom);
  const std::int16_t zoom = platform::WithContext(
      [&] {
        return QStringLiteral("the grid's zoom value %1 is no 16-bit value (-32768 to 32767)")
            .arg(platform::DescribeValue(value));
      },
      [&] { return platform::ToI2(value); });
  const std::int16_t zoomed = platform::WithContext(
      [&] {
        return QStringLiteral("the zoom value %1 %2 %3 passes %4, the limit of the zoom value")
            .arg(zoom)
            .arg(QChar(step > 0 ? u'+' : u'-'))
            .arg(std::abs(step))
            .arg(step > 0 ? 32767 : -32768);
      },
      [&] { return platform::AddI2(zoom, step); });
  grid.Put(ids::kZoom, Variant::I2(zoomed));
}

}  // namespace varnex::interaction
