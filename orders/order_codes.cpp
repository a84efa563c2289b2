#include "orders/order_codes.h"

namespace varnex::orders {

QString OrderCategoryName(QStringView code) {
  struct Entry {
    const char16_t* code;
    const char16_t* name;
  };
  static constexpr Entry kCategories[] = {
      {u"F", u"MRP Order"},
      {u"H", u"Unplanned Order"},
      {u"I", u"Rework Order"},
      {u"Q", u"Estimate Order"},
      {u"R", u"DP Purchase Request"},
      {u"U", u"Subcontract Request Created by DP"},
      {u"6", u"Stock Transfer Request Created in DP"},
      {u"7", u"Stock Transfer Request Suggested by MRP"},
  };
  for (const Entry& e : kCategories) {
    // The names are static text, so the result shares it instead of copying it per order.
    if (code == QStringView(e.code)) {
      const QStringView name(e.name);
      return QString::fromRawData(name.data(), name.size());
    }
  }
  return code.toString();
}

Action ActionFor(QStringView code) {
  struct Entry {
    const char16_t* code;
    Action action;
  };
  static constexpr Entry kActions[] = {
      {u"A", {u"accept suggested orders", u""}},
      {u"B", {u"orders due for release", u""}},
      {u"C", {u"work orders with matl shortage", u"?"}},
      {u"D", {u"orders to reschedule out", u">>"}},
      {u"E", {u"orders to reschedule in", u"<<"}},
      {u"F", {u"orders to cancel", u"X"}},
      {u"G", {u"orders to amend qty", u"\u00e2"}},
      {u"H", {u"sales orders with matl shortage", std::nullopt}},
  };
  for (const Entry& e : kActions) {
    if (code == QStringView(e.code)) return e.action;
  }
  return {};
}

StateColour StateColourFor(QStringView status) {
  if (status == u"D") return StateColour::Suggested;
  if (status == u"E") return StateColour::Accepted;
  if (status == u"F") return StateColour::Firm;
  if (status == u"G") return StateColour::Released;
  return StateColour::Other;
}

}  // namespace varnex::orders
