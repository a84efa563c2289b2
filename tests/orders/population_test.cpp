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
    colours = {Variant::I4(Rgb(234, 179, 255)), Variant::I4(Rgb(255, 255, 174)),
               Variant::I4(Rgb(94, 174, 255)), Variant::I4(Rgb(0, 213, 106)),
               Variant::I4(Rgb(170, 170, 170))};
  }

  std::int32_t Load(const QList<OrderRow>& rows) { return Load(WorkOrders(rows)); }
  std::int32_t Load(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    const orders::OrderMembers members{doc, start, end, colours,
                                       [this] { grid.lines << QStringLiteral("legend"); }};
    return ErrorOf([&] { orders::PopulateWorkOrder(wohxml, grid, site, members); });
  }

  // What the load did after the view set-up, one operation a line.
  QString AfterSetUp() const {
    const qsizetype last = grid.lines.lastIndexOf(QStringLiteral("put 147 = BOOL true"));
    return last < 0 ? QString() : grid.lines.mid(last + 1).join(QLatin1Char('\n'));
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
  ASSERT_EQ(Load({Order()}), 0);

  // The set-up assigns the stored horizon again, then the list is emptied.
  ASSERT_GE(grid.lines.size(), 31);
  EXPECT_EQ(grid.lines[0].toStdString(), "put 13 = I4 2");
  EXPECT_EQ(grid.lines.indexOf(QStringLiteral("put 31 = I4 45290")), 18);
  EXPECT_EQ(grid.lines.indexOf(QStringLiteral("put 32 = I4 45655")), 19);
  EXPECT_EQ(grid.lines[28].toStdString(), "put 147 = BOOL true");

  EXPECT_EQ(AfterSetUp().toStdString(),
            "call 900\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;orders to "
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

TEST_F(Population, ShowsCategoryAndActionInTheLineAndMarksTheBar) {
  const auto order = [](const char* category, const char* action) {
    return With(With(Order(), "chk_sc_wo", QString::fromUtf8(category)), "alt_resource",
                QString::fromUtf8(action));
  };
  ASSERT_EQ(Load({order("6", "C"),   // material shortage: "?"
                  order("X9", "H"),  // unknown category shown as it stands; H has no mark
                  order("", ""),     // empty code and action: both columns empty
                  order("7", "d"),   // lower case is no action
                  order("U", "Z"),   // nor is a letter past H
                  order("R", "A"),   // A and B put an empty mark
                  order("Q", "B"),
                  With(order("I", "G"), "itemdesc",
                       QStringLiteral("2;3 mm"))}),  // ";" passes unchanged
            0);
  EXPECT_EQ(Only({"call 163", "put 229"}).toStdString(),
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;Stock Transfer Request Created in "
            "DP;Baxter;12;2024-02-01;work orders with matl shortage\")\n"
            "put 229(&I2 1, I2 1) = BSTR \"?\"\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;X9;Baxter;12;2024-02-01;sales orders with "
            "matl shortage\")\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;;Baxter;12;2024-02-01;\")\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;Stock Transfer Request Suggested by "
            "MRP;Baxter;12;2024-02-01;\")\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;Subcontract Request Created by "
            "DP;Baxter;12;2024-02-01;\")\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;DP Purchase "
            "Request;Baxter;12;2024-02-01;accept suggested orders\")\n"
            "put 229(&I2 6, I2 1) = BSTR \"\"\n"
            "call 163(BSTR \"WO1;IT-1;STD;Bearing;10;Estimate Order;Baxter;12;2024-02-01;orders "
            "due for release\")\n"
            "put 229(&I2 7, I2 1) = BSTR \"\"\n"
            "call 163(BSTR \"WO1;IT-1;STD;2;3 mm;10;Rework Order;Baxter;12;2024-02-01;orders to "
            "amend qty\")\n"
            "put 229(&I2 8, I2 1) = BSTR \"\u00e2\"");
}

TEST_F(Population, ColoursEachBarByItsStatus) {
  QList<OrderRow> rows;
  for (const char* status : {"D", "E", "F", "G", "d", "", "DE"}) {
    rows << With(Order(), "Status", QString::fromLatin1(status));
  }
  ASSERT_EQ(Load(rows), 0);
  EXPECT_EQ(Only({"put 217"}).toStdString(),
            "put 217(&I2 1, I2 1) = I4 16757738\n"
            "put 217(&I2 2, I2 1) = I4 11468799\n"
            "put 217(&I2 3, I2 1) = I4 16756318\n"
            "put 217(&I2 4, I2 1) = I4 7001344\n"
            "put 217(&I2 5, I2 1) = I4 11184810\n"
            "put 217(&I2 6, I2 1) = I4 11184810\n"
            "put 217(&I2 7, I2 1) = I4 11184810");
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

TEST_F(Population, StopsOnABarTimeThatIsNoNumberAfterItsLineWasAdded) {
  EXPECT_EQ(Load({Order(QStringLiteral("WO1")),
                  With(Order(QStringLiteral("WO2")), "daysfrom", QStringLiteral("abc"))}),
            errors::kTypeMismatch);
  EXPECT_TRUE(grid.lines.last().startsWith(QLatin1String("call 163(BSTR \"WO2;")));
  EXPECT_EQ(grid.lines.count(QStringLiteral("legend")), 0);

  grid.lines.clear();
  EXPECT_EQ(Load({With(Order(), "daysto", QStringLiteral("3000000000"))}), errors::kOverflow);
  EXPECT_TRUE(grid.lines.last().startsWith(QLatin1String("call 163(")));
  grid.lines.clear();
  EXPECT_EQ(Load({With(Order(), "daysfrom", QStringLiteral("1e3"))}), errors::kTypeMismatch);
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

  // A row without attributes has no start time.
  grid.lines.clear();
  EXPECT_EQ(Load({full, {}}), errors::kTypeMismatch);
  EXPECT_EQ(grid.lines.last().toStdString(), "call 163(BSTR \";;;;;;;;;\")");
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
