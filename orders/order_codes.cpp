#include "orders/order_codes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace varnex::orders {
namespace {

// Exact comparison with a code of the tables below; run many times per order, so it compares
// the few units in line instead of calling out to compare memory.
bool Is(QStringView text, std::u16string_view code) {
  if (static_cast<std::size_t>(text.size()) != code.size()) return false;
  const char16_t* units = text.utf16();
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (units[i] != code[i]) return false;
  }
  return true;
}

}  // namespace

QString OrderCategoryName(QStringView code) {
  struct Entry {
    std::u16string_view code;
    std::u16string_view name;
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
    if (Is(code, e.code)) {
      return QString::fromRawData(reinterpret_cast<const QChar*>(e.name.data()),
                                  static_cast<qsizetype>(e.name.size()));
    }
  }
  return code.toString();
}

namespace {

struct ActionEntry {
  std::u16string_view code;
  Action action;
};
constexpr ActionEntry kActions[] = {
    {u"A", {u"accept suggested orders", u""}},
    {u"B", {u"orders due for release", u""}},
    {u"C", {u"work orders with matl shortage", u"?"}},
    {u"D", {u"orders to reschedule out", u">>"}},
    {u"E", {u"orders to reschedule in", u"<<"}},
    {u"F", {u"orders to cancel", u"X"}},
    {u"G", {u"orders to amend qty", u"\u00e2"}},
    {u"H", {u"sales orders with matl shortage", std::nullopt}},
};

}  // namespace

Action ActionFor(QStringView code) {
  for (const ActionEntry& e : kActions) {
    if (Is(code, e.code)) return e.action;
  }
  return {};
}

std::span<const Action> AllActions() {
  static const auto actions = [] {
    std::array<Action, std::size(kActions)> all{};
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = kActions[i].action;
    return all;
  }();
  return actions;
}

StateColour StateColourFor(QStringView status) {
  if (Is(status, u"D")) return StateColour::Suggested;
  if (Is(status, u"E")) return StateColour::Accepted;
  if (Is(status, u"F")) return StateColour::Firm;
  if (Is(status, u"G")) return StateColour::Released;
  return StateColour::Other;
}

}  // namespace varnex::orders
