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

constexpr QStringView kDocumentName = u"header document";
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
  if (!platform::ReceiveDocument(hdrxml, site, QStringLiteral("Box1"), kDocumentName,
                                 members.mHeaderDoc)) {
    return;
  }
  const platform::XmlDocument& doc = *members.mHeaderDoc;

  platform::Table table = HeaderTable();
  for (int row = 0; row < doc.RowCount(); ++row) {
    // A comment or text among the rows has no attributes to load.
    if (doc.RowKind(row) != platform::NodeKind::Element) {
      platform::AutomationError failure(platform::errors::kObjectNotSet,
                                        platform::StandardDescription(
                                            platform::errors::kObjectNotSet));
      failure.AddContext(QStringLiteral("%1, node %2 under the root: not a row but %3")
                             .arg(kDocumentName)
                             .arg(row + 1)
                             .arg(doc.RowKind(row) == platform::NodeKind::Comment
                                      ? QStringLiteral("a comment")
                                  : doc.RowKind(row) == platform::NodeKind::ProcessingInstruction
                                      ? QStringLiteral("a processing instruction")
                                      : QStringLiteral("text")));
      throw failure;
    }
    table.AddNew();
    for (int attribute = 0; attribute < doc.AttributeCount(row); ++attribute) {
      platform::WithContext(
          [&] {
            const QString column = attribute < table.ColumnCount()
                                       ? QStringLiteral("column %1 (%2)")
                                             .arg(attribute + 1)
                                             .arg(table.ColumnName(attribute))
                                       : QStringLiteral(
                                             "attribute %1 (%2), beyond the %3 "
                                             "columns of a header row")
                                             .arg(attribute + 1)
                                             .arg(doc.AttributeName(row, attribute))
                                             .arg(table.ColumnCount());
            return QStringLiteral("%1, row %2, %3: %4")
                .arg(kDocumentName)
                .arg(row + 1)
                .arg(column, platform::QuoteText(doc.AttributeValue(row, attribute)));
          },
          [&] { table.SetField(attribute, doc.AttributeValue(row, attribute)); });
    }
    table.Update();
  }

  // Both ends are converted before either member changes.
  platform::WithContext(
      [&] { return QStringLiteral("%1: its root element holds no row").arg(kDocumentName); },
      [&] { table.MoveFirst(); });
  const auto end = [&](int column) {
    return platform::WithContext(
        [&] {
          const int count = doc.AttributeCount(0);
          return QStringLiteral("%1, row 1, column %2 (%3): %4")
              .arg(kDocumentName)
              .arg(column + 1)
              .arg(table.ColumnName(column))
              .arg(column < count
                       ? platform::QuoteText(doc.AttributeValue(0, column))
                       : QStringLiteral("no value (the row has %1 attributes)").arg(count));
        },
        [&] { return platform::ToDate(table.Field(column)); });
  };
  const platform::Date start = end(kFromColumn);
  const platform::Date finish = end(kToColumn);
  const std::int32_t startDay = DayNumber(start);
  const std::int32_t endDay = DayNumber(finish);
  members.mHorizonStart = start;
  members.mHorizonEnd = finish;

  grid.Put(grid_ids::kHorizonStart, Variant::I4(startDay));
  grid.Put(grid_ids::kHorizonEnd, Variant::I4(endDay));
}

}  // namespace varnex::schedule
