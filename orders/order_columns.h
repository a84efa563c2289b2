#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varnex::orders {

/// The ten columns of an order's grid line, numbered as the grid numbers its columns (from 1).
enum class OrderColumn : std::int16_t {
  Order = 1,
  ItemCode,
  Variant,
  ItemDesc,
  OrderQty,
  OrderCategory,
  Supplier,
  NewQty,
  NewDate,
  ActionMessage,
};

/// How a column's text comes from the order table's field.
enum class ColumnSource {
  Field,          ///< the field's text as it stands
  CategoryName,   ///< the order category that the field's code names (OrderCategoryName)
  ActionMessage,  ///< the message of the action that the field's code selects (ActionFor)
};

/// One column of an order's grid line: its caption, stored width and style code as the grid
/// shows them, and the field of the order table that fills it.
struct ColumnDefinition {
  OrderColumn column;
  std::u16string_view caption;
  std::u16string_view field;
  ColumnSource source;
  int width;      ///< in logical pixels (96 dpi)
  int styleCode;  ///< 1 right-aligned, 2 left-aligned, 3 left-aligned and elided in the middle
};

/// The columns in their order on the grid line: the one definition that the board's grid, the
/// population of its lines and the handlers that read cells back all use.
inline constexpr std::array<ColumnDefinition, 10> kOrderColumns = {{
    {OrderColumn::Order, u"Order", u"docuemntno", ColumnSource::Field, 155, 2},
    {OrderColumn::ItemCode, u"ItemCode", u"item_code", ColumnSource::Field, 80, 2},
    {OrderColumn::Variant, u"Variant", u"item_variant", ColumnSource::Field, 100, 2},
    {OrderColumn::ItemDesc, u"Item Desc", u"itemdesc", ColumnSource::Field, 200, 2},
    {OrderColumn::OrderQty, u"Order Qty", u"order_quantity", ColumnSource::Field, 100, 2},
    {OrderColumn::OrderCategory, u"Order Category", u"chk_sc_wo", ColumnSource::CategoryName, 200,
     3},
    {OrderColumn::Supplier, u"Supplier", u"custnameml", ColumnSource::Field, 200, 3},
    {OrderColumn::NewQty, u"new_qty", u"allflag", ColumnSource::Field, 100, 1},
    {OrderColumn::NewDate, u"new_date", u"allmethod", ColumnSource::Field, 100, 2},
    {OrderColumn::ActionMessage, u"Action Message", u"alt_resource", ColumnSource::ActionMessage,
     200, 2},
}};

/// The column's number, as the grid's cell operations take it.
[[nodiscard]] constexpr std::int16_t ColumnNumber(OrderColumn column) {
  return static_cast<std::int16_t>(column);
}

/// The definition of a column.
[[nodiscard]] constexpr const ColumnDefinition& DefinitionOf(OrderColumn column) {
  return kOrderColumns[static_cast<std::size_t>(ColumnNumber(column) - 1)];
}

static_assert(
    [] {
      for (std::size_t i = 0; i < kOrderColumns.size(); ++i) {
        if (ColumnNumber(kOrderColumns[i].column) != static_cast<std::int16_t>(i + 1)) return false;
      }
      return true;
    }(),
    "the columns stand in the order of their numbers");

}  // namespace varnex::orders
