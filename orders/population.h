#pragma once

#include "platform/date_time.h"
#include "platform/variant.h"

#include <functional>
#include <memory>

namespace varnex::platform {
class ControlSite;
class Dispatch;
class Table;
class XmlDocument;
}  // namespace varnex::platform

namespace varnex::orders {

/// The five state colours of the control, each a 32-bit 0x00BBGGRR value held in a variant.
struct StateColours {
  platform::Variant mColorSuggested;
  platform::Variant mColorAccepted;
  platform::Variant mColorFirm;
  platform::Variant mColorReleased;
  platform::Variant mColorOther;
};

/// What loading the work orders reads and writes of the control.
struct OrderMembers {
  std::shared_ptr<const platform::XmlDocument>& mOrderDoc;
  const platform::Date& mHorizonStart;
  const platform::Date& mHorizonEnd;
  const StateColours& colours;
  /// Paints the legend swatches; called once a load has run to its end.
  std::function<void()> SetLegendColors;
};

/// Loads the work-order document into the grid. Once the document has parsed and its order
/// table is built, the view set-up is applied again; when the table holds every column the load
/// reads and every order's bar times can be read, the grid's list is emptied and every order
/// becomes one line with its bar, coloured by state and marked by action. A document that does
/// not parse, whose table cannot be built or lacks a column, or one of whose orders has bar
/// times that cannot be read, leaves the grid's lines as they were. Other failures (of the
/// grid, or past the largest line number) are thrown and stop the load where they happen; what
/// was added before stays. Each failure's detail names the document, row, order and column.
void PopulateWorkOrder(platform::Variant& wohxml, platform::Dispatch& grid,
                       platform::ControlSite& site, const OrderMembers& members);

/// Fills the grid from an order table standing on its first row (the second half of the load):
/// the view set-up, then, when every column is there and every order's bar times read, the
/// lines in place of the grid's. With a `noteSite`, values that show otherwise than their
/// author may have meant (references, a ";" in the line's text) are noted there once.
void PopulateSchedule(platform::Table& orders, platform::Dispatch& grid,
                      const OrderMembers& members, platform::ControlSite* noteSite = nullptr);

}  // namespace varnex::orders
