#include "orders/population.h"

#include "platform/automation_error.h"
#include "platform/variant.h"
#include "platform/xml_document.h"
#include "schedule/schedule_ids.h"
#include "tests/support/documents.h"
#include "tests/support/error_of.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_dispatch.h"
#include "tests/support/recording_site.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace varnex::testing {
namespace {

using platform::Variant;
namespace errors = platform::errors;
namespace ids = schedule::grid_ids;

constexpr std::int32_t Rgb(int r, int g, int b) {
  return r + 256 * g + 65536 * b;
}

class Population : public ::testing::Test {
 protected:
  Population() {
    grid.AnswerFont(ids::kTitleFont);
    grid.Answer(ids::kAddBar, [](std::span<Variant>) { return Variant::I4(1); });
    // The control's state colours; each member differs, so a bar shows which one it took.
    colours = {Variant::I4(Rgb(234, 179, 255)), Variant::I4(Rgb(255, 255, 174)),
               Variant::I4(Rgb(94, 174, 255)), Variant::I4(Rgb(0, 213, 106)),
               Variant::I4(Rgb(170, 170, 170))};
  }

  std::int32_t Load(const QList<OrderRow>& rows) { return Load(WorkOrders(rows)); }
  std::int32_t Load(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    const orders::OrderMembers members{doc, start, end, colours,
                                       [this] { grid.lines << QStringLiteral("legend"); }};
    lastDetail.clear();
    try {
      orders::PopulateWorkOrder(wohxml, grid, site, members);
    } catch (const platform::AutomationError& e) {
      lastDetail = e.Detail();
      return e.Number();
    }
    return 0;
  }
  // The detail of the failure the last load threw.
  [[nodiscard]] QString ErrorDetail() const { return lastDetail; }
  QString lastDetail;

  // What the load did after the view set-up, one operation a line.
  QString AfterSetUp() const {
    const qsizetype last = grid.lines.lastIndexOf(QStringLiteral("put 147 = BOOL true"));
    return last < 0 ? QString() : grid.lines.mid(last + 1).join(QLatin1Char('\n'));
  }
  // The columns of each line the load added, in order.
  QList<QStringList> LineColumns() const {
    const QLatin1String prefix("call 163(BSTR \"");
    QList<QStringList> columns;
    for (const QString& line : grid.lines) {
      if (line.startsWith(prefix)) columns << line.mid(prefix.size()).chopped(2).split(u';');
    }
    return columns;
  }
  // The values put to `id` on the first bar of line `line` ("I4 11184810"), in order.
  QStringList BarPuts(platform::DispId id, qsizetype line) const {
    const QString prefix = QStringLiteral("put %1(&I2 %2, I2 1) = ").arg(id).arg(line);
    QStringList values;
    for (const QString& l : grid.lines) {
      if (l.startsWith(prefix)) values << l.mid(prefix.size());
    }
    return values;
  }
  // Only the operations with these prefixes, in order.
  QString Only(std::initializer_list<const char*> prefixes) const {
    QStringList kept;
    for (const QString& line : grid.lines) {
      for (const char* prefix : prefixes) {
        if (line.startsWith(QLatin1String(prefix))) kept << line;
      }
    }
    return kept.join(QLatin1Char('\n'));
  }

  RecordingDispatch grid;
  RecordingSite site;
  std::shared_ptr<const platform::XmlDocument> doc;
  platform::Date start = platform::Date::FromParts(2024, 1, 1);
  platform::Date end = platform::Date::FromParts(2024, 12, 31);
  orders::StateColours colours;
};

TEST_F(Population, AppliesTheViewSetUpEmptiesTheListThenAddsEachOrderAndPaintsTheLegend) {
  // A ";" inside a field passes into the line's text unchanged.
  ASSERT_EQ(Load({With(Order(), "itemdesc", QStringLiteral("2;3 mm"))}), 0);

  // The set-up assigns the stored horizon again, then the list is emptied.
  ASSERT_GE(grid.lines.size(), 31);
  EXPECT_EQ(grid.lines[0].toStdString(), "put 13 = I4 2");
  EXPECT_EQ(grid.lines.indexOf(QStringLiteral("put 31 = I4 45290")), 18);
  EXPECT_EQ(grid.lines.indexOf(QStringLiteral("put 32 = I4 45655")), 19);
  EXPECT_EQ(grid.lines[28].toStdString(), "put 147 = BOOL true");

  EXPECT_EQ(AfterSetUp().toStdString(),
            "call 900\n"
            "call 163(BSTR \"WO1;IT-1;STD;2;3 mm;10;MRP Order;Baxter;12;2024-02-01;orders to "
            "reschedule out\")\n"
            "call 164(&I2 1, I4 0, I4 1439, I4 29219, I4 29219) -> I4 1\n"
            "put 216(&I2 1, I2 1) = &I2 0\n"
            "put 83 = BOOL true\n"
            "put 230(&I2 1, I2 1) = I2 2\n"
            "put 217(&I2 1, I2 1) = I4 16757738\n"
            "put 229(&I2 1, I2 1) = BSTR \">>\"\n"
            "put 276(&I2 1, I2 1) = BOOL true\n"
            "legend");
}

TEST_F(Population, NumbersLinesFromOneAndAddressesEachBarByTheIndexTheGridReturned) {
  int next = 7;
  grid.Answer(ids::kAddBar, [&next](std::span<Variant>) { return Variant::I4(next--); });
  ASSERT_EQ(Load({Order(QStringLiteral("WO1")), Order(QStringLiteral("WO2")),
                  Order(QStringLiteral("WO3"))}),
            0);
  EXPECT_EQ(Only({"call 164", "put 276"}).toStdString(),
            "call 164(&I2 1, I4 0, I4 1439, I4 29219, I4 29219) -> I4 7\n"
            "put 276(&I2 1, I2 7) = BOOL true\n"
            "call 164(&I2 2, I4 0, I4 1439, I4 29219, I4 29219) -> I4 6\n"
            "put 276(&I2 2, I2 6) = BOOL true\n"
            "call 164(&I2 3, I4 0, I4 1439, I4 29219, I4 29219) -> I4 5\n"
            "put 276(&I2 3, I2 5) = BOOL true");
  EXPECT_EQ(grid.lines.count(QStringLiteral("legend")), 1);
}

// Each code table is loaded as one document, one order a row, and read back line by line.
TEST_F(Population, ShowsEachCategoryCodeByItsNameAndAnyOtherCodeAsItStands) {
  const struct {
    const char* code;
    const char* category;
  } rows[] = {
      {"F", "MRP Order"},
      {"H", "Unplanned Order"},
      {"I", "Rework Order"},
      {"Q", "Estimate Order"},
      {"R", "DP Purchase Request"},
      {"U", "Subcontract Request Created by DP"},
      {"6", "Stock Transfer Request Created in DP"},
      {"7", "Stock Transfer Request Suggested by MRP"},
      // Codes are compared exactly.
      {"X9", "X9"},
      {"f", "f"},
      {"FF", "FF"},
      {"", ""},
  };
  QList<OrderRow> orders;
  for (const auto& row : rows) orders << With(Order(), "chk_sc_wo", QString::fromUtf8(row.code));
  ASSERT_EQ(Load(orders), 0);

  const QList<QStringList> lines = LineColumns();
  ASSERT_EQ(lines.size(), std::ssize(rows));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].value(5).toStdString(), rows[i].category)
        << "chk_sc_wo=\"" << rows[i].code << '"';
  }
}

TEST_F(Population, ShowsEachActionCodesMessageInTheLastColumnAndPutsItsMarkOnTheBar) {
  const struct {
    const char* code;
    const char* message;
    const char* mark;  // nullptr: no mark is put at all
  } rows[] = {
      {"A", "accept suggested orders", ""},
      {"B", "orders due for release", ""},
      {"C", "work orders with matl shortage", "?"},
      // Each code that is no action follows one with a mark, which must not carry over.
      {"", "", nullptr},
      {"D", "orders to reschedule out", ">>"},
      {"d", "", nullptr},
      {"E", "orders to reschedule in", "<<"},
      {"EE", "", nullptr},
      {"F", "orders to cancel", "X"},
      {"G", "orders to amend qty", "\u00e2"},
      {"Z", "", nullptr},
      {"H", "sales orders with matl shortage", nullptr},
  };
  QList<OrderRow> orders;
  for (const auto& row : rows) orders << With(Order(), "alt_resource", QString::fromUtf8(row.code));
  ASSERT_EQ(Load(orders), 0);

  const QList<QStringList> lines = LineColumns();
  ASSERT_EQ(lines.size(), std::ssize(rows));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const auto& row = rows[i];
    SCOPED_TRACE(std::string("alt_resource=\"") + row.code + '"');
    EXPECT_EQ(lines[i].value(9).toStdString(), row.message);
    const QStringList markPut =
        row.mark ? QStringList{QStringLiteral("BSTR \"%1\"").arg(QString::fromUtf8(row.mark))}
                 : QStringList{};
    EXPECT_EQ(BarPuts(ids::kBarText, i + 1), markPut);
  }
}

TEST_F(Population, ColoursEachBarByTheStateColourItsStatusSelects) {
  const struct {
    const char* status;
    std::int32_t colour;
  } rows[] = {
      {"D", Rgb(234, 179, 255)},
      {"E", Rgb(255, 255, 174)},
      {"F", Rgb(94, 174, 255)},
      {"G", Rgb(0, 213, 106)},
      // Any other status, compared exactly, takes the colour for other states.
      {"", Rgb(170, 170, 170)},
      {"d", Rgb(170, 170, 170)},
      {"DE", Rgb(170, 170, 170)},
      {"H", Rgb(170, 170, 170)},
  };
  QList<OrderRow> orders;
  for (const auto& row : rows) orders << With(Order(), "Status", QString::fromUtf8(row.status));
  ASSERT_EQ(Load(orders), 0);

  for (qsizetype i = 0; i < std::ssize(rows); ++i) {
    const QStringList colourPut{QStringLiteral("I4 %1").arg(rows[i].colour)};
    EXPECT_EQ(BarPuts(ids::kBarColour, i + 1), colourPut) << "Status=\"" << rows[i].status << '"';
  }
}

TEST_F(Population, TurnsSecondsSince1980IntoDayNumbersAndMinutesOfDay) {
  const auto span = [](const char* from, const char* to) {
    return With(With(Order(), "daysfrom", QString::fromLatin1(from)), "daysto",
                QString::fromLatin1(to));
  };
  ASSERT_EQ(Load({span("0", "86399"),                  // midnight and 23:59:59 of 1 January 1980
                  span("-60", "60"),                   // 31 December 1979, 23:59, to 00:01
                  span("1396310400", " 1396310459 "),  // 31 March 2024, blanks around a number
                  span("100000", "0")}),               // an end before the start is passed on
            0);
  EXPECT_EQ(Only({"call 164"}).toStdString(),
            "call 164(&I2 1, I4 0, I4 1439, I4 29219, I4 29219) -> I4 1\n"
            "call 164(&I2 2, I4 1439, I4 1, I4 29218, I4 29219) -> I4 1\n"
            "call 164(&I2 3, I4 0, I4 0, I4 45380, I4 45380) -> I4 1\n"
            "call 164(&I2 4, I4 226, I4 0, I4 29220, I4 29219) -> I4 1");
}

TEST_F(Population, ABarTimeThatCannotBeReadStopsTheLoadBeforeAnyLineIsTouched) {
  // Each order's times are read before the list is emptied, whichever order fails; the box's
  // detail says which row, order, column and value.
  const struct {
    QList<OrderRow> rows;
    std::int32_t error;
    const char* detail;
  } cases[] = {
      {{Order(QStringLiteral("WO1")),
        With(Order(QStringLiteral("WO2")), "daysfrom", QStringLiteral("abc"))},
       errors::kTypeMismatch,
       "work-order document, row 2, order \"WO2\", column 11 (daysfrom): \"abc\""},
      {{Order(), Order(),
        With(Order(QStringLiteral("WO3")), "daysto", QStringLiteral("3000000000"))},
       errors::kOverflow,
       "work-order document, row 3, order \"WO3\", column 12 (daysto): \"3000000000\""},
      {{With(Order(), "daysfrom", QStringLiteral("1e3"))},
       errors::kTypeMismatch,
       "work-order document, row 1, order \"WO1\", column 11 (daysfrom): \"1e3\""},
      {{Order(), Order().mid(0, 10)},
       errors::kTypeMismatch,
       "work-order document, row 2, order \"WO1\", column 12 (daysto): no value (the row ends "
       "before it)"},
  };
  for (const auto& c : cases) {
    grid.lines.clear();
    EXPECT_EQ(Load(c.rows), c.error) << c.detail;
    EXPECT_TRUE(grid.lines.contains(QStringLiteral("put 147 = BOOL true"))) << c.detail;
    EXPECT_EQ(AfterSetUp(), QString()) << c.detail;
    EXPECT_EQ(grid.lines.count(QStringLiteral("legend")), 0);
    EXPECT_EQ(ErrorDetail().toStdString(), c.detail);
  }
}

TEST_F(Population, AMissingColumnStopsAfterTheViewSetUpBeforeAnyLineIsTouched) {
  for (const char* missing :
       {"alt_resource", "docuemntno", "item_code", "item_variant", "itemdesc", "order_quantity",
        "chk_sc_wo", "custnameml", "allflag", "allmethod", "daysfrom", "daysto", "Status"}) {
    grid.lines.clear();
    EXPECT_EQ(Load({Without(Order(), missing)}), errors::kItemNotFound) << missing;
    EXPECT_TRUE(grid.lines.contains(QStringLiteral("put 147 = BOOL true"))) << missing;
    EXPECT_EQ(AfterSetUp(), QString()) << missing;
  }
}

TEST_F(Population, ReadsFieldsThatARowLeftUnsetAsEmptyTextButNotAsATime) {
  // Rows that stop early leave the trailing columns unset; here the times come first.
  OrderRow full = Order();
  std::rotate(full.begin(), full.begin() + 10, full.end());
  const OrderRow timesOnly = full.mid(0, 2);
  ASSERT_EQ(Load({full, timesOnly}), 0);
  EXPECT_EQ(Only({"call 163", "put 217", "put 229"}).toStdString(),
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;orders to "
            "reschedule out\")\n"
            "put 217(&I2 1, I2 1) = I4 16757738\n"
            "put 229(&I2 1, I2 1) = BSTR \">>\"\n"
            "call 163(BSTR \";;;;;;;;;\")\n"
            "put 217(&I2 2, I2 1) = I4 11184810");

  // A row without attributes has no start time, and the load stops before any line changes.
  grid.lines.clear();
  EXPECT_EQ(Load({full, {}}), errors::kTypeMismatch);
  EXPECT_EQ(AfterSetUp(), QString());
}

TEST_F(Population, StopsWhenTheGridReturnsABarIndexPastSixteenBits) {
  grid.Answer(ids::kAddBar, [](std::span<Variant>) { return Variant::I4(32768); });
  EXPECT_EQ(Load({Order()}), errors::kOverflow);
  EXPECT_TRUE(grid.lines.last().startsWith(QLatin1String("call 164(")));
}

TEST_F(Population, AddsNoLineWhenTheTitleSetUpFails) {
  grid.FailNext(ids::kTitleBorder, errors::kInvalidPropertyValue);
  EXPECT_EQ(Load({Order()}), errors::kInvalidPropertyValue);
  EXPECT_EQ(grid.lines.join(QLatin1Char('\n')).toStdString(),
            "put 13 = I4 2\nput 11 = I4 2 !! 380");
}

}  // namespace
}  // namespace varnex::testing
