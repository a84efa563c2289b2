#include "orders/order_intake.h"

#include "orders/population.h"
#include "platform/automation_error.h"
#include "platform/variant.h"
#include "platform/xml_document.h"
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

class OrderIntake : public ::testing::Test {
 protected:
  std::optional<platform::Table> Load(Variant& wohxml) {
    return orders::LoadOrderTable(wohxml, site, doc);
  }
  std::optional<platform::Table> Load(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    return Load(wohxml);
  }
  // The whole load on a recording grid; returns the error's report text, "" when none.
  QString Populate(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    const orders::OrderMembers members{doc, start, end, colours,
                                       [this] { grid.lines << QStringLiteral("legend"); }};
    return ErrorTextOf([&] { orders::PopulateWorkOrder(wohxml, grid, site, members); });
  }

  RecordingSite site;
  RecordingDispatch grid;
  std::shared_ptr<const platform::XmlDocument> doc;
  platform::Date start;
  platform::Date end;
  orders::StateColours colours;
};

QString Text(const platform::Table& table, const char16_t* column) {
  return table.Field(QStringView(column)).AsBstr();
}

TEST_F(OrderIntake, KeepsLiteralAmpersandsAndApostrophesInFields) {
  const OrderRow row = With(With(With(Order(), "itemdesc", QStringLiteral("Nuts & Bolts")),
                                 "custnameml", QStringLiteral("O'Brien")),
                            "allflag", QStringLiteral("&amp;"));
  Variant wohxml = Variant::Bstr(WorkOrders({row})).ByRef();
  auto table = Load(wohxml);
  ASSERT_TRUE(table);
  EXPECT_EQ(Text(*table, u"itemdesc").toStdString(), "Nuts & Bolts");
  EXPECT_EQ(Text(*table, u"custnameml").toStdString(), "O'Brien");
  // A reference written by the host arrives as its own characters.
  EXPECT_EQ(Text(*table, u"allflag").toStdString(), "&amp;");

  // The caller's variant and Box2 hold the escaped text.
  const QString escaped = wohxml.AsBstr();
  EXPECT_TRUE(escaped.contains(QLatin1String("itemdesc=\"Nuts &amp; Bolts\"")));
  EXPECT_TRUE(escaped.contains(QLatin1String("custnameml=\"O&apos;Brien\"")));
  EXPECT_TRUE(escaped.contains(QLatin1String("allflag=\"&amp;amp;\"")));
  EXPECT_EQ(site.lines, QStringList({QStringLiteral("box Box2 = ") + escaped}));
}

TEST_F(OrderIntake, StripsBlanksBeforeParsingWhileBox2AndTheCallerKeepThem) {
  const QString padded =
      QStringLiteral("  <?xml version=\"1.0\"?>") + WorkOrders({Order()}) + QStringLiteral("   ");
  Variant wohxml = Variant::Bstr(padded).ByRef();
  ASSERT_TRUE(Load(wohxml));
  EXPECT_EQ(wohxml, Variant::Bstr(padded));
  EXPECT_EQ(site.lines, QStringList({QStringLiteral("box Box2 = ") + padded}));
  EXPECT_TRUE(site.messages.isEmpty());
}

TEST_F(OrderIntake, NamesColumnsAfterTheFirstRowAndFillsThemByPosition) {
  // Free element names, a namespace prefix on a column name, and a second row whose
  // attributes stand in another order.
  OrderRow first = Order(QStringLiteral("WO1"));
  first[0].name = QStringLiteral("p:docuemntno");
  OrderRow second = Order(QStringLiteral("WO2"));
  std::reverse(second.begin(), second.end());
  const QString text =
      QStringLiteral("<plan xmlns:p=\"urn:p\">\n<!-- run 7 -->\n<?planner night?>\n") +
      Element(first, QStringLiteral("a")) + QStringLiteral("\n<!-- next -->\n") +
      Element(second, QStringLiteral("b")) + QStringLiteral("\n</plan>");
  auto table = Load(text);
  ASSERT_TRUE(table);
  ASSERT_EQ(table->ColumnCount(), 13);
  EXPECT_EQ(table->ColumnName(0).toStdString(), "docuemntno");
  EXPECT_EQ(table->RecordCount(), 2u);
  EXPECT_EQ(Text(*table, u"docuemntno").toStdString(), "WO1");
  table->MoveNext();
  EXPECT_EQ(Text(*table, u"docuemntno").toStdString(), "D");  // the second row's Status
  EXPECT_EQ(Text(*table, u"Status").toStdString(), "WO2");
}

TEST_F(OrderIntake, ShowsTheParsersReasonAloneForADocumentThatDoesNotParse) {
  QString apostrophes = WorkOrders({Order()});
  apostrophes.replace(QLatin1Char('"'), QLatin1Char('\''));
  EXPECT_FALSE(Load(apostrophes));
  EXPECT_FALSE(Load(QString()));
  EXPECT_FALSE(
      Load(QStringLiteral("<!DOCTYPE workorders [<!ENTITY e \"x\">]>") + WorkOrders({Order()})));
  ASSERT_EQ(site.messages.size(), 3);
  for (const QString& message : site.messages)
    EXPECT_FALSE(message.front().isDigit()) << message.toStdString();
  EXPECT_TRUE(site.messages[2].contains(QLatin1String("DOCTYPE")))
      << site.messages[2].toStdString();
  EXPECT_TRUE(doc->HasParseError());
}

TEST_F(OrderIntake, LeavesTheGridAloneWhenTheOrderTableCannotBeBuilt) {
  // A document that does not parse.
  QString apostrophes = WorkOrders({Order()});
  apostrophes.replace(QLatin1Char('"'), QLatin1Char('\''));
  EXPECT_EQ(Populate(apostrophes), QString());
  EXPECT_EQ(site.messages.size(), 1);
  // A later row with one attribute more than the first.
  OrderRow longer = Order(QStringLiteral("WO2"));
  longer.append({QStringLiteral("extra"), QStringLiteral("x")});
  EXPECT_TRUE(Populate(WorkOrders({Order(), longer})).startsWith(QLatin1String("3265 ")));
  // Text among the rows, named clearly.
  const QString stray =
      Populate(QStringLiteral("<workorders>") + Element(Order()) + QStringLiteral("stray") +
               Element(Order()) + QStringLiteral("</workorders>"));
  EXPECT_TRUE(stray.contains(QLatin1String("text among its order rows"))) << stray.toStdString();
  // A root without order rows, also one that holds only a comment.
  for (const char* empty : {"<workorders/>", "<workorders><!-- none --></workorders>"}) {
    const QString reason = Populate(QString::fromLatin1(empty));
    EXPECT_TRUE(reason.contains(QLatin1String("no order rows"))) << reason.toStdString();
  }
  EXPECT_TRUE(grid.lines.isEmpty()) << grid.lines.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace varnex::testing
