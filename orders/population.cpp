#include "orders/population.h"

#include "orders/order_codes.h"
#include "orders/order_columns.h"
#include "orders/order_intake.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "platform/table.h"
#include "schedule/day_number.h"
#include "schedule/schedule_ids.h"
#include "schedule/view_setup.h"

#include <array>
#include <string_view>

namespace varnex::orders {

using platform::Variant;
namespace ids = schedule::grid_ids;

namespace {

// The fields that a load reads besides those of the line's text: the bar's times and state.
enum class BarField { From, To, Status, Count };
constexpr std::array<std::u16string_view, static_cast<std::size_t>(BarField::Count)>
    kBarFieldNames = {u"daysfrom", u"daysto", u"Status"};

// Reads fields of the current order by name. The names are looked up once, before any line is
// touched, so that a table without one of them fails while the grid still shows its lines.
class OrderFields {
 public:
  explicit OrderFields(const platform::Table& table) : mTable(table) {
    mLineColumns.fill(-1);
    mBarColumns.fill(-1);
  }

  // Finds every column the load reads; 3265 "Item not found" names the first one missing.
  void FindColumns() {
    for (std::size_t c = 0; c < kOrderColumns.size(); ++c)
      mLineColumns[c] = Find(kOrderColumns[c].field);
    for (std::size_t f = 0; f < kBarFieldNames.size(); ++f)
      mBarColumns[f] = Find(kBarFieldNames[f]);
  }

  // The field behind a column of the line; a field that the order row left unset reads as empty
  // text.
  QStringView Text(OrderColumn column) const {
    return Text(mLineColumns[static_cast<std::size_t>(ColumnNumber(column) - 1)]);
  }
  QStringView Text(BarField field) const { return Text(mBarColumns[Index(field)]); }

  // Seconds since 1 January 1980; an unset field is no number.
  std::int32_t Seconds(BarField field) const {
    bool isSet = false;
    const QStringView text = mTable.TextField(mBarColumns[Index(field)], &isSet);
    if (!isSet) platform::ThrowTypeMismatch();
    return platform::ParseInteger(text);
  }

 private:
  static std::size_t Index(BarField field) { return static_cast<std::size_t>(field); }

  int Find(std::u16string_view name) const {
    const int index = mTable.ColumnIndex(QStringView(name.data(), qsizetype(name.size())));
    if (index < 0) platform::ThrowError(platform::errors::kItemNotFound);
    return index;
  }

  QStringView Text(int tableColumn) const {
    bool isSet = false;
    return mTable.TextField(tableColumn, &isSet);
  }

  const platform::Table& mTable;
  std::array<int, kOrderColumns.size()> mLineColumns{};
  std::array<int, kBarFieldNames.size()> mBarColumns{};
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
    const Action action = ActionFor(fields.Text(OrderColumn::ActionMessage));

    rowText.resize(0);  // keeps the buffer for the next order
    for (const ColumnDefinition& column : kOrderColumns) {
      if (column.column != kOrderColumns.front().column) rowText += QLatin1Char(';');
      switch (column.source) {
        case ColumnSource::Field: rowText += fields.Text(column.column); break;
        case ColumnSource::CategoryName:
          rowText += OrderCategoryName(fields.Text(column.column));
          break;
        case ColumnSource::ActionMessage: rowText += action.message; break;
      }
    }
    std::array<Variant, 1> text = {Variant::Bstr(rowText)};
    grid.Call(ids::kAddRow, text);

    const BarTime start = BarTimeOf(fields.Seconds(BarField::From));
    const BarTime end = BarTimeOf(fields.Seconds(BarField::To));

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
    const StateColour state = StateColourFor(fields.Text(BarField::Status));
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
