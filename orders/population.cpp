#include "orders/population.h"

#include "orders/order_codes.h"
#include "orders/order_intake.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "platform/table.h"
#include "schedule/day_number.h"
#include "schedule/schedule_ids.h"
#include "schedule/view_setup.h"

#include <array>

namespace varnex::orders {

using platform::Variant;
namespace ids = schedule::grid_ids;

namespace {

// The order table's columns that the load reads, by name.
enum class Field {
  Action,
  Order,
  ItemCode,
  Variant,
  ItemDesc,
  Quantity,
  Category,
  Supplier,
  NewQty,
  NewDate,
  From,
  To,
  Status,
  Count
};

constexpr std::array<const char16_t*, static_cast<int>(Field::Count)> kFieldNames = {
    u"alt_resource",   u"docuemntno", u"item_code",  u"item_variant", u"itemdesc",
    u"order_quantity", u"chk_sc_wo",  u"custnameml", u"allflag",      u"allmethod",
    u"daysfrom",       u"daysto",     u"Status"};

// Reads fields of the current order by name. The names are looked up once, before any line is
// touched, so that a table without one of them fails while the grid still shows its lines.
class OrderFields {
 public:
  explicit OrderFields(const platform::Table& table) : mTable(table) { mColumns.fill(-1); }

  // Finds every column the load reads; 3265 "Item not found" names the first one missing.
  void FindColumns() {
    for (int f = 0; f < static_cast<int>(Field::Count); ++f) {
      mColumns[f] = mTable.ColumnIndex(QStringView(kFieldNames[f]));
      if (mColumns[f] < 0) platform::ThrowError(platform::errors::kItemNotFound);
    }
  }

  // A text field; a field that the order row left unset reads as empty text.
  QStringView Text(Field field) {
    bool isSet = false;
    return mTable.TextField(Column(field), &isSet);
  }

  // Seconds since 1 January 1980; an unset field is no number.
  std::int32_t Seconds(Field field) {
    bool isSet = false;
    const QStringView text = mTable.TextField(Column(field), &isSet);
    if (!isSet) platform::ThrowTypeMismatch();
    return platform::ParseInteger(text);
  }

 private:
  int Column(Field field) const { return mColumns[static_cast<int>(field)]; }

  const platform::Table& mTable;
  std::array<int, static_cast<int>(Field::Count)> mColumns{};
};

const platform::Date kBarEpoch = platform::Date::FromParts(1980, 1, 1);

struct BarTime {
  std::int32_t day;
  std::int32_t minute;
};

BarTime BarTimeOf(std::int32_t seconds) {
  const platform::Date at = kBarEpoch.AddSeconds(seconds);
  return {schedule::DayNumber(at), at.SecondOfDay() / 60};
}

const Variant& ColourMember(const StateColours& colours, StateColour which) {
  switch (which) {
    case StateColour::Suggested: return colours.mColorSuggested;
    case StateColour::Accepted: return colours.mColorAccepted;
    case StateColour::Firm: return colours.mColorFirm;
    case StateColour::Released: return colours.mColorReleased;
    case StateColour::Other: break;
  }
  return colours.mColorOther;
}

}  // namespace

void PopulateWorkOrder(Variant& wohxml, platform::Dispatch& grid, platform::ControlSite& site,
                       const OrderMembers& members) {
  std::optional<platform::Table> orders = LoadOrderTable(wohxml, site, members.mOrderDoc);
  if (!orders) return;
  PopulateSchedule(*orders, grid, members);
}

void PopulateSchedule(platform::Table& orders, platform::Dispatch& grid,
                      const OrderMembers& members) {
  schedule::SchedTitleSet(grid);
  schedule::SchedGridSet(grid, members.mHorizonStart, members.mHorizonEnd);

  OrderFields fields(orders);
  fields.FindColumns();
  // Every load shows exactly its own orders, each bar on its own line; a load that stops above
  // leaves the lines it found.
  grid.Call(ids::kClearList);
  std::int16_t row = 1;
  QString rowText;
  while (!orders.IsEof()) {
    const Action action = ActionFor(fields.Text(Field::Action));

    rowText.resize(0);  // keeps the buffer for the next order
    for (Field f :
         {Field::Order, Field::ItemCode, Field::Variant, Field::ItemDesc, Field::Quantity}) {
      rowText += fields.Text(f);
      rowText += QLatin1Char(';');
    }
    rowText += OrderCategoryName(fields.Text(Field::Category));
    for (Field f : {Field::Supplier, Field::NewQty, Field::NewDate}) {
      rowText += QLatin1Char(';');
      rowText += fields.Text(f);
    }
    rowText += QLatin1Char(';');
    rowText += action.message;
    std::array<Variant, 1> text = {Variant::Bstr(rowText)};
    grid.Call(ids::kAddRow, text);

    const BarTime start = BarTimeOf(fields.Seconds(Field::From));
    const BarTime end = BarTimeOf(fields.Seconds(Field::To));

    // The row number travels by reference; whatever the grid writes through it is kept.
    const auto rowRef = [&row] { return Variant::I2(row).ByRef(); };
    const auto adopt = [&row](const Variant& ref) {
      if (ref.Type() == platform::VarType::I2) row = ref.AsI2();
    };

    std::array<Variant, 5> addBar = {rowRef(), Variant::I4(start.minute), Variant::I4(end.minute),
                                     Variant::I4(start.day), Variant::I4(end.day)};
    const std::int16_t bar = platform::ToI2(grid.Call(ids::kAddBar, addBar));
    adopt(addBar[0]);

    const auto putBar = [&](platform::DispId id, const Variant& value) {
      std::array<Variant, 2> index = {rowRef(), Variant::I2(bar)};
      grid.Put(id, index, value);
      adopt(index[0]);
    };
    putBar(ids::kBarSetting216, Variant::I2(0).ByRef());
    grid.Put(ids::kRedrawAfterBar, Variant::Bool(true));
    putBar(ids::kBarSetting230, Variant::I2(2));
    const StateColour state = StateColourFor(fields.Text(Field::Status));
    putBar(ids::kBarColour, Variant::I4(platform::ToI4(ColourMember(members.colours, state))));
    if (action.mark) putBar(ids::kBarText, Variant::Bstr(action.mark->toString()));
    putBar(ids::kBarSetting276, Variant::Bool(true));

    orders.MoveNext();
    row = platform::AddI2(row, 1);
  }
  orders.Close();
  members.SetLegendColors();
}

}  // namespace varnex::orders
