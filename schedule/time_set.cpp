#include "schedule/time_set.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "platform/document_intake.h"
#include "platform/table.h"
#include "schedule/day_number.h"
#include "schedule/schedule_ids.h"

namespace varnex::schedule {

using platform::ColumnType;
using platform::Variant;

namespace {

constexpr int kFromColumn = 2;
constexpr int kToColumn = 10;

platform::Table HeaderTable() {
  struct Column {
    const char16_t* name;
    ColumnType type;
  };
  static constexpr Column kColumns[] = {
      {u"doc_num", ColumnType::Text},        {u"doctype", ColumnType::Text},
      {u"fromtimeperiod", ColumnType::Date}, {u"guid", ColumnType::Text},
      {u"hdncompanycode", ColumnType::Text}, {u"item_codefrom", ColumnType::Text},
      {u"item_codeto1", ColumnType::Text},   {u"mplanner1", ColumnType::Text},
      {u"save_template", ColumnType::Text},  {u"supplier_code", ColumnType::Text},
      {u"totimeperiod", ColumnType::Date},   {u"fprowno", ColumnType::Int32},
  };
  platform::Table table;
  for (const Column& c : kColumns) table.AppendColumn(QString::fromUtf16(c.name), c.type);
  return table;
}

}  // namespace

void TimeSet(Variant& hdrxml, platform::Dispatch& grid, platform::ControlSite& site,
             HorizonMembers members) {
  if (!platform::ReceiveDocument(hdrxml, site, QStringLiteral("Box1"), members.mHeaderDoc)) return;
  const platform::XmlDocument& doc = *members.mHeaderDoc;

  platform::Table table = HeaderTable();
  for (int row = 0; row < doc.RowCount(); ++row) {
    // A comment or text among the rows has no attributes to load.
    if (doc.RowKind(row) != platform::NodeKind::Element) {
      platform::ThrowError(platform::errors::kObjectNotSet);
    }
    table.AddNew();
    for (int attribute = 0; attribute < doc.AttributeCount(row); ++attribute) {
      table.SetField(attribute, doc.AttributeValue(row, attribute));
    }
    table.Update();
  }

  // Both ends are converted before either member changes.
  table.MoveFirst();
  const platform::Date start = platform::ToDate(table.Field(kFromColumn));
  const platform::Date end = platform::ToDate(table.Field(kToColumn));
  const std::int32_t startDay = DayNumber(start);
  const std::int32_t endDay = DayNumber(end);
  members.mHorizonStart = start;
  members.mHorizonEnd = end;

  grid.Put(grid_ids::kHorizonStart, Variant::I4(startDay));
  grid.Put(grid_ids::kHorizonEnd, Variant::I4(endDay));
}

}  // namespace varnex::schedule
