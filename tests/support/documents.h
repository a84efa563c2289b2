#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace varnex::testing {

/// One attribute of an order row.
struct Attribute {
  QString name;
  QString value;
};
using OrderRow = QList<Attribute>;

/// An order with the thirteen attributes that the load reads, in the order the host writes
/// them. Its row text is "NUMBER;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;orders to
/// reschedule out" and its bar spans day 29219, minutes 0 to 1439.
[[nodiscard]] OrderRow Order(const QString& number = QStringLiteral("WO1"));
/// The row with one attribute's value replaced (the attribute must exist).
[[nodiscard]] OrderRow With(OrderRow row, const char* name, const QString& value);
/// The row without that attribute.
[[nodiscard]] OrderRow Without(OrderRow row, const char* name);

/// `<TAG name="value" .../>`; values are written as they stand, unescaped.
[[nodiscard]] QString Element(const OrderRow& row, const QString& tag = QStringLiteral("wo"));
/// A work-order document with one element per row.
[[nodiscard]] QString WorkOrders(const QList<OrderRow>& rows);

/// A header document with one row of the twelve header columns, the period from `from` to `to`.
[[nodiscard]] QString Header(const QString& from, const QString& to);

}  // namespace varnex::testing
