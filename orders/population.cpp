#include "orders/population.h"

#include "orders/order_codes.h"
#include "orders/order_columns.h"
#include "orders/order_intake.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/dispatch.h"
#include "platform/load_log.h"
#include "platform/table.h"
#include "platform/xml_document.h"
#include "schedule/day_number.h"
#include "schedule/schedule_ids.h"
#include "schedule/view_setup.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

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
  explicit OrderFields(const platform::Table& table) : mTable(table) { mColumns.fill(-1); }

  // Finds every column the load reads; 3265 "Item not found" names the first one missing.
  void FindColumns() {
    for (std::size_t c = 0; c < kOrderColumns.size(); ++c)
      mColumns[c] = Find(kOrderColumns[c].field);
    for (std::size_t f = 0; f < kBarFieldNames.size(); ++f)
      mColumns[kOrderColumns.size() + f] = Find(kBarFieldNames[f]);
  }

  // Reads every field of the current order that Text() gives; a field that the order row left
  // unset reads as empty text.
  void Read() { mTable.TextFields(mColumns, mValues); }
  QStringView Text(OrderColumn column) const {
    return mValues[static_cast<std::size_t>(ColumnNumber(column) - 1)];
  }
  QStringView Text(BarField field) const { return mValues[Index(field)]; }
  int Column(BarField field) const { return mColumns[Index(field)]; }
  int Column(OrderColumn column) const {
    return mColumns[static_cast<std::size_t>(ColumnNumber(column) - 1)];
  }
  // The current order's number, read from the table, for a failure's place.
  QStringView OrderNumber() const { return mTable.TextField(Column(OrderColumn::Order)); }

  // Seconds since 1 January 1980, read from the current order; an unset field is no number. A
  // failure names the column and the value found.
  std::int32_t Seconds(BarField field) const {
    bool isSet = false;
    const int column = mColumns[Index(field)];
    const QStringView text = mTable.TextField(column, &isSet);
    return platform::WithContext(
        [&] {
          return QStringLiteral("column %1 (%2): %3")
              .arg(column + 1)
              .arg(mTable.ColumnName(column))
              .arg(isSet ? platform::QuoteText(text)
                         : QStringLiteral("no value (the row ends before it)"));
        },
        [&] {
          if (!isSet) platform::ThrowTypeMismatch();
          return platform::ParseInteger(text);
        });
  }

 private:
  static std::size_t Index(BarField field) {
    return kOrderColumns.size() + static_cast<std::size_t>(field);
  }

  int Find(std::u16string_view name) const {
    const QStringView column(name.data(), qsizetype(name.size()));
    const int index = mTable.ColumnIndex(column);
    if (index < 0) {
      platform::AutomationError failure(platform::errors::kItemNotFound,
                                        platform::StandardDescription(
                                            platform::errors::kItemNotFound));
      failure.AddContext(QStringLiteral("%1, row 1: no attribute %2 (names are compared exactly; "
                                        "the first row has %3 attributes)")
                             .arg(kDocumentName, column)
                             .arg(mTable.ColumnCount()));
      throw failure;
    }
    return index;
  }

  static constexpr std::size_t kFields = kOrderColumns.size() + kBarFieldNames.size();
  const platform::Table& mTable;
  std::array<int, kFields> mColumns{};
  std::array<QStringView, kFields> mValues{};
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

// The most lines a load shows: the row number is a 16-bit integer.
constexpr std::size_t kLineLimit = 32767;

// Whether a value holds an entity or character reference ("&amp;", "&#10;", "&#x41;"), which
// the board shows as written.
bool HoldsReference(QStringView value) {
  for (qsizetype at = value.indexOf(u'&'); at >= 0; at = value.indexOf(u'&', at + 1)) {
    qsizetype i = at + 1;
    if (i < value.size() && value[i] == u'#') {
      ++i;
      const bool hex = i < value.size() && (value[i] == u'x' || value[i] == u'X');
      if (hex) ++i;
      const qsizetype digits = i;
      while (i < value.size() &&
             (hex ? value[i].unicode() < 0x80 && isxdigit(value[i].unicode()) != 0
                  : value[i] >= u'0' && value[i] <= u'9')) {
        ++i;
      }
      if (i > digits && i < value.size() && value[i] == u';') return true;
      continue;
    }
    const qsizetype name = i;
    while (i < value.size() && (value[i].isLetterOrNumber() || value[i] == u'_' ||
                                value[i] == u'-' || value[i] == u'.' || value[i] == u':')) {
      ++i;
    }
    if (i > name && !value[name].isDigit() && i < value.size() && value[i] == u';') return true;
  }
  return false;
}

// Whether `text` holds a ";" that does not end a reference such as "&amp;" or "&#59;".
bool HoldsBareSemicolon(QStringView text) {
  for (qsizetype at = text.indexOf(u';'); at >= 0; at = text.indexOf(u';', at + 1)) {
    qsizetype i = at;
    while (i > 0 && text[i - 1].unicode() < 0x80 &&
           (isalnum(text[i - 1].unicode()) != 0 || text[i - 1] == u'#')) {
      --i;
    }
    if (i == at || i == 0 || text[i - 1] != u'&') return true;
  }
  return false;
}

// Values that load as written but may not show what the document's author meant: references,
// which the board does not resolve, and a ";" in a value of the line's text, which moves the
// cells after it. Gathered while the orders are checked, told once per load.
class ValueNotes {
 public:
  void Look(const platform::Table& orders, std::size_t row) {
    for (int c = 0; c < orders.ColumnCount(); ++c) {
      const QStringView value = orders.TextField(c);
      if (!value.contains(u';')) continue;
      if (HoldsReference(value)) Add(mReferences, row, orders.ColumnName(c));
      if (InLineText(orders.ColumnName(c))) Add(mSemicolons, row, orders.ColumnName(c));
    }
  }
  [[nodiscard]] bool IsEmpty() const { return mReferences.count == 0 && mSemicolons.count == 0; }
  [[nodiscard]] QString Text() const {
    QStringList sentences;
    if (mReferences.count > 0) {
      sentences.append(
          QStringLiteral("%1 %2 entity or character references, shown as "
                         "written: %3")
              .arg(Count(mReferences.count), Verb(mReferences.count), mReferences.Places()));
    }
    if (mSemicolons.count > 0) {
      sentences.append(
          QStringLiteral("%1 %2 a \";\", which moves the cells after it one column "
                         "to the right: %3")
              .arg(Count(mSemicolons.count), Verb(mSemicolons.count), mSemicolons.Places()));
    }
    return QStringLiteral("Work-order document: ") + sentences.join(QStringLiteral(". ")) +
           QLatin1Char('.');
  }

 private:
  struct Found {
    std::size_t count = 0;
    QStringList places;  // the first few
    [[nodiscard]] QString Places() const {
      QString text = places.join(QStringLiteral("; "));
      if (count > std::size_t(places.size())) text += QStringLiteral(" …");
      return text;
    }
  };
  static constexpr qsizetype kPlacesShown = 3;

  static bool InLineText(const QString& column) {
    for (const ColumnDefinition& d : kOrderColumns) {
      if (d.source != ColumnSource::ActionMessage &&
          column == QStringView(d.field.data(), qsizetype(d.field.size()))) {
        return true;
      }
    }
    return false;
  }
  static QString Count(std::size_t n) {
    return n == 1 ? QStringLiteral("1 value") : QStringLiteral("%1 values").arg(n);
  }
  static QString Verb(std::size_t n) {
    return n == 1 ? QStringLiteral("holds") : QStringLiteral("hold");
  }
  static void Add(Found& found, std::size_t row, const QString& column) {
    ++found.count;
    if (found.places.size() < kPlacesShown)
      found.places.append(QStringLiteral("row %1, %2").arg(row).arg(column));
  }

  Found mReferences;
  Found mSemicolons;
};

}  // namespace

void PopulateWorkOrder(Variant& wohxml, platform::Dispatch& grid, platform::ControlSite& site,
                       const OrderMembers& members) {
  std::optional<platform::Table> orders = LoadOrderTable(wohxml, site, members.mOrderDoc);
  if (!orders) return;
  const std::shared_ptr<const platform::XmlDocument> doc = members.mOrderDoc;
  // Every ";" in a value stands in the document's text: in the values that had to be decoded,
  // or in the source where it ends no reference (a value read in place holds no "&"). Without
  // one there is nothing to note and the values are not looked at.
  const bool mayNeedNote =
      doc && (doc->ValueText().contains(u';') || HoldsBareSemicolon(doc->SourceText()));
  PopulateSchedule(*orders, grid, members, mayNeedNote ? &site : nullptr);
}

void PopulateSchedule(platform::Table& orders, platform::Dispatch& grid,
                      const OrderMembers& members, platform::ControlSite* noteSite) {
  schedule::SchedTitleSet(grid);
  schedule::SchedGridSet(grid, members.mHorizonStart, members.mHorizonEnd);

  OrderFields fields(orders);
  fields.FindColumns();

  // Where a failure is, in the planner's words: the row from 1 and its order number.
  std::size_t rowNumber = 0;
  const auto rowPlace = [&] {
    return QStringLiteral("%1, row %2, order %3")
        .arg(kDocumentName)
        .arg(rowNumber)
        .arg(platform::QuoteText(fields.OrderNumber()));
  };

  // The bar times of every order the load will show are read before a line changes, so that a
  // load that fails on any order leaves the lines as they were. The lines stop at the largest
  // row number; the orders past it are never read.
  std::vector<std::pair<std::int32_t, std::int32_t>> times;
  times.reserve(std::min<std::size_t>(orders.RecordCount(), kLineLimit));
  ValueNotes notes;
  // The times lie far apart in memory, so the pass asks for those of later orders ahead.
  constexpr std::size_t kReadAhead = 8;
  while (!orders.IsEof() && times.size() < kLineLimit) {
    ++rowNumber;
    orders.Prefetch(kReadAhead, fields.Column(BarField::From));
    platform::WithContext(rowPlace, [&] {
      times.emplace_back(fields.Seconds(BarField::From), fields.Seconds(BarField::To));
    });
    if (noteSite) notes.Look(orders, rowNumber);
    orders.MoveNext();
  }
  if (noteSite && !notes.IsEmpty()) platform::NoteOnLoad(*noteSite, notes.Text());
  orders.MoveFirst();

  // Every load shows exactly its own orders, each bar on its own line; a load that stops above
  // leaves the lines it found.
  grid.Call(ids::kClearList);
  std::int16_t row = 1;
  rowNumber = 0;
  QString rowText;
  while (!orders.IsEof()) {
    ++rowNumber;
    platform::WithContext(rowPlace, [&] {
      fields.Read();
      const Action action = ActionFor(fields.Text(OrderColumn::ActionMessage));

      // The cells joined by ";", written into the one buffer that every order reuses. The one
      // category name's text lives in `category` until the line is joined.
      static_assert(
          std::count_if(kOrderColumns.begin(), kOrderColumns.end(), [](const ColumnDefinition& d) {
            return d.source == ColumnSource::CategoryName;
          }) == 1);
      std::array<QStringView, kOrderColumns.size()> cells;
      QString category;
      qsizetype length = qsizetype(cells.size()) - 1;
      for (std::size_t c = 0; c < cells.size(); ++c) {
        const ColumnDefinition& column = kOrderColumns[c];
        switch (column.source) {
          case ColumnSource::Field: cells[c] = fields.Text(column.column); break;
          case ColumnSource::CategoryName:
            category = OrderCategoryName(fields.Text(column.column));
            cells[c] = category;
            break;
          case ColumnSource::ActionMessage: cells[c] = action.message; break;
        }
        length += cells[c].size();
      }
      rowText.resize(length);
      QChar* at = rowText.data();
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) *at++ = u';';
        std::copy_n(cells[c].data(), cells[c].size(), at);
        at += cells[c].size();
      }
      std::array<Variant, 1> text = {Variant::Bstr(rowText)};
      grid.Call(ids::kAddRow, text);

      const auto [from, to] = times[rowNumber - 1];
      const BarTime start = BarTimeOf(from);
      const BarTime end = BarTimeOf(to);

      // The row number travels by reference; whatever the grid writes through it is kept.
      const auto rowRef = [&row] { return Variant::I2(row).ByRef(); };
      const auto adopt = [&row](const Variant& ref) {
        if (ref.Type() == platform::VarType::I2) row = ref.AsI2();
      };

      std::array<Variant, 5> addBar = {rowRef(), Variant::I4(start.minute), Variant::I4(end.minute),
                                       Variant::I4(start.day), Variant::I4(end.day)};
      const Variant added = grid.Call(ids::kAddBar, addBar);
      const std::int16_t bar = platform::WithContext(
          [&] {
            return QStringLiteral("the bar index %1 that the grid returned is no 16-bit value")
                .arg(platform::DescribeValue(added));
          },
          [&] { return platform::ToI2(added); });
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
      // The marks are static text, so the bar shares it instead of a copy per order.
      if (action.mark) {
        putBar(ids::kBarText,
               Variant::Bstr(QString::fromRawData(action.mark->data(), action.mark->size())));
      }
      putBar(ids::kBarSetting276, Variant::Bool(true));
    });

    orders.MoveNext();
    platform::WithContext(
        [&] {
          return QStringLiteral(
                     "%1: more than %2 orders (%3 in all); the first %4 lines are "
                     "shown, the largest line number is %4")
              .arg(kDocumentName)
              .arg(kLineLimit - 1)
              .arg(orders.RecordCount())
              .arg(kLineLimit);
        },
        [&] { row = platform::AddI2(row, 1); });
  }
  orders.Close();
  members.SetLegendColors();
}

}  // namespace varnex::orders
