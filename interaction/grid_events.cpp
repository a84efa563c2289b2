#include "interaction/grid_events.h"

#include "orders/order_columns.h"
#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "schedule/schedule_ids.h"

#include <array>

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
  const std::int16_t zoom = platform::ToI2(grid.Get(ids::kZoom));
  grid.Put(ids::kZoom, Variant::I2(platform::AddI2(zoom, step)));
}

}  // namespace varnex::interaction
