#include "schedule/time_set.h"

#include "platform/automation_error.h"
#include "platform/variant.h"
#include "platform/xml_document.h"
#include "tests/support/error_of.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_dispatch.h"
#include "tests/support/recording_site.h"

#include <gtest/gtest.h>

namespace varnex::testing {
namespace {

using platform::Date;
using platform::Variant;
namespace errors = platform::errors;

const QStringList kNames = {QStringLiteral("doc_num"),        QStringLiteral("doctype"),
                            QStringLiteral("fromtimeperiod"), QStringLiteral("guid"),
                            QStringLiteral("hdncompanycode"), QStringLiteral("item_codefrom"),
                            QStringLiteral("item_codeto1"),   QStringLiteral("mplanner1"),
                            QStringLiteral("save_template"),  QStringLiteral("supplier_code"),
                            QStringLiteral("totimeperiod"),   QStringLiteral("fprowno")};

// The twelve header texts in their binding order.
QStringList Values(const QString& from, const QString& to) {
  return {QStringLiteral("MRP-1"),
          QStringLiteral("MRP"),
          from,
          QStringLiteral("g-1"),
          QStringLiteral("Kestrel"),
          QStringLiteral("A000"),
          QStringLiteral("Z999"),
          QStringLiteral("Planner"),
          QStringLiteral("N"),
          QString(),
          to,
          QStringLiteral("1")};
}

QString Element(const QString& tag, const QStringList& names, const QStringList& values) {
  QString text = QLatin1Char('<') + tag;
  for (qsizetype i = 0; i < values.size(); ++i) {
    text += QStringLiteral(" %1=\"%2\"").arg(names[i], values[i]);
  }
  return text + QStringLiteral("/>");
}

QString Row(const QStringList& values) {
  return Element(QStringLiteral("row"), kNames, values);
}
QString Row(const char* from, const char* to) {
  return Row(Values(QString::fromLatin1(from), QString::fromLatin1(to)));
}
QString Header(const QStringList& rows) {
  return QStringLiteral("<header>\n  ") + rows.join(QStringLiteral("\n  ")) +
         QStringLiteral("\n</header>");
}

const Date kJan1 = Date::FromParts(2024, 1, 1);
const Date kDec31 = Date::FromParts(2024, 12, 31);

class TimeSet : public ::testing::Test {
 protected:
  std::int32_t Run(Variant& hdrxml) {
    return ErrorOf([&] { schedule::TimeSet(hdrxml, grid, site, {doc, start, end}); });
  }
  std::int32_t Run(const QString& text) {
    Variant hdrxml = Variant::Bstr(text).ByRef();
    return Run(hdrxml);
  }
  // A horizon over 2024, with the traces of setting it cleared.
  void SetYear2024() {
    ASSERT_EQ(Run(Header({Row("2024-01-01", "2024-12-31")})), 0);
    grid.lines.clear();
    site.lines.clear();
  }
  void ExpectYear2024Kept(const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(start, kJan1);
    EXPECT_EQ(end, kDec31);
    EXPECT_TRUE(grid.lines.isEmpty()) << grid.lines.join(QLatin1Char('\n')).toStdString();
  }

  RecordingDispatch grid;
  RecordingSite site;
  std::shared_ptr<const platform::XmlDocument> doc;
  Date start;
  Date end;
};

TEST_F(TimeSet, TakesTheFirstRowsPeriodAndAssignsItAsDayNumbers) {
  const QString text = Header({Row("2024-01-01", "2024-12-31"), Row("2030-05-05", "2031-01-01")});
  ASSERT_EQ(Run(text), 0);
  EXPECT_EQ(start, kJan1);
  EXPECT_EQ(end, kDec31);
  EXPECT_EQ(grid.lines, QStringList({QStringLiteral("put 31 = I4 45290"),
                                     QStringLiteral("put 32 = I4 45655")}));
  EXPECT_EQ(site.lines, QStringList({QStringLiteral("box Box1 = ") + text}));

  // A period that ends on a leap day.
  grid.lines.clear();
  ASSERT_EQ(Run(Header({Row("2024-01-01", "2024-02-29")})), 0);
  EXPECT_EQ(grid.lines.last().toStdString(), "put 32 = I4 45349");

  // A time of day stays in the member but not on the grid.
  grid.lines.clear();
  ASSERT_EQ(Run(Header({Row("2024-01-01T18:00:00", "2024-12-31 06:30")})), 0);
  EXPECT_EQ(start, Date::FromParts(2024, 1, 1, 18));
  EXPECT_EQ(end, Date::FromParts(2024, 12, 31, 6, 30));
  EXPECT_EQ(grid.lines, QStringList({QStringLiteral("put 31 = I4 45290"),
                                     QStringLiteral("put 32 = I4 45655")}));
}

TEST_F(TimeSet, EscapesTheDocumentInPlaceAndParsesTheEscapedText) {
  QStringList values = Values(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
  values[4] = QStringLiteral("A&B &lt; &#233;");
  values[7] = QStringLiteral("D'Souza");
  Variant hdrxml = Variant::Bstr(Header({Row(values)})).ByRef();
  ASSERT_EQ(Run(hdrxml), 0);

  // The caller's variant and Box1 hold the escaped text; the parsed row the literal text.
  const QString escaped = Header({Row(values)})
                              .replace(QLatin1Char('&'), QLatin1String("&amp;"))
                              .replace(QLatin1Char('\''), QLatin1String("&apos;"));
  EXPECT_TRUE(escaped.contains(QLatin1String("A&amp;B &amp;lt; &amp;#233;")));
  EXPECT_EQ(hdrxml, Variant::Bstr(escaped));
  EXPECT_TRUE(hdrxml.IsByRef());
  EXPECT_EQ(site.lines, QStringList({QStringLiteral("box Box1 = ") + escaped}));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->AttributeValue(0, 4).toString().toStdString(), "A&B &lt; &#233;");
  EXPECT_EQ(doc->AttributeValue(0, 7).toString().toStdString(), "D'Souza");

  // A character reference is not resolved, so it does not convert to a number.
  values[11] = QStringLiteral("&#49;");
  EXPECT_EQ(Run(Header({Row(values)})), errors::kTypeMismatch);
}

TEST_F(TimeSet, StripsBlanksButNotLineBreaksBeforeParsing) {
  SetYear2024();
  const QString declared =
      QStringLiteral("<?xml version=\"1.0\"?>") + Header({Row("2025-01-01", "2025-12-31")});
  const QString padded = QStringLiteral("   ") + declared + QStringLiteral("  ");
  ASSERT_EQ(Run(padded), 0);
  EXPECT_EQ(site.lines, QStringList({QStringLiteral("box Box1 = ") + padded}));
  EXPECT_EQ(start, Date::FromParts(2025, 1, 1));

  // A line break before the declaration stays, and the declaration is then misplaced.
  SetYear2024();
  ASSERT_EQ(Run(QLatin1Char('\n') + declared), 0);
  EXPECT_EQ(site.messages.size(), 1);
  ExpectYear2024Kept("line break");
}

TEST_F(TimeSet, ShowsTheParsersReasonAloneForADocumentThatDoesNotParse) {
  SetYear2024();
  const auto* before = doc.get();

  // An empty argument comes back as an empty string.
  Variant empty = Variant().ByRef();
  ASSERT_EQ(Run(empty), 0);
  EXPECT_EQ(empty, Variant::Bstr(QString()));
  ASSERT_EQ(site.lines.size(), 2);
  EXPECT_EQ(site.lines[0].toStdString(), "box Box1 = ");
  EXPECT_TRUE(site.lines[1].startsWith(
      QLatin1String("msgbox Kestrova: The header document has no root element")))
      << site.lines[1].toStdString();
  ExpectYear2024Kept("empty");
  // The document that failed to parse replaces the last one.
  EXPECT_NE(doc.get(), before);
  EXPECT_TRUE(doc->HasParseError());

  // Single quotes are escaped and no longer delimit anything.
  site.messages.clear();
  ASSERT_EQ(Run(QStringLiteral("<header><row a='1'/></header>")), 0);
  ASSERT_EQ(Run(QStringLiteral("<?xml version='1.0'?>") +
                Header({Row("2025-01-01", "2025-12-31")})),
            0);
  EXPECT_EQ(site.messages.size(), 2);
  ExpectYear2024Kept("single quotes");
}

TEST_F(TimeSet, FailsOnANullArgumentBeforeAnythingChanges) {
  SetYear2024();
  const auto* before = doc.get();
  Variant null = Variant::Null().ByRef();
  EXPECT_EQ(Run(null), errors::kInvalidUseOfNull);
  EXPECT_TRUE(null.IsNull());
  EXPECT_TRUE(site.lines.isEmpty());
  EXPECT_EQ(doc.get(), before);
  ExpectYear2024Kept("null");
}

TEST_F(TimeSet, KeepsTheWholeHorizonWhenAnyRowFails) {
  SetYear2024();
  // A second row whose date does not convert.
  EXPECT_EQ(Run(Header({Row("2025-01-01", "2025-12-31"), Row("2025-01-01", "soon")})),
            errors::kTypeMismatch);
  ExpectYear2024Kept("second row");
  // An empty end date in the first row.
  EXPECT_EQ(Run(Header({Row("2025-01-01", "")})), errors::kTypeMismatch);
  ExpectYear2024Kept("empty end");
  // A first row that stops before its end date: the start is not taken alone.
  EXPECT_EQ(Run(Header({Row(Values(QStringLiteral("2025-01-01"), QString()).mid(0, 10))})),
            errors::kInvalidUseOfNull);
  ExpectYear2024Kept("no end");
  // A row with a thirteenth attribute.
  EXPECT_EQ(Run(Header(
                {Element(QStringLiteral("row"), kNames + QStringList{QStringLiteral("extra")},
                         Values(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31")) +
                             QStringList{QStringLiteral("x")})})),
            errors::kItemNotFound);
  ExpectYear2024Kept("thirteen attributes");
  // A comment among the rows has no attributes.
  EXPECT_EQ(Run(Header({Row("2025-01-01", "2025-12-31"), QStringLiteral("<!-- note -->")})),
            errors::kObjectNotSet);
  ExpectYear2024Kept("comment");
  // A root without rows has no first record.
  EXPECT_EQ(Run(QStringLiteral("<header/>")), errors::kNoCurrentRecord);
  ExpectYear2024Kept("no rows");
  EXPECT_TRUE(site.messages.isEmpty());
}

TEST_F(TimeSet, ReadsRowsByPositionWhateverTheirNames) {
  SetYear2024();
  // Other names for the root, the rows and every attribute.
  QStringList names;
  for (int i = 0; i < 12; ++i) names << QStringLiteral("a%1").arg(i);
  ASSERT_EQ(Run(QStringLiteral("<h:x xmlns:h=\"urn:h\">") +
                Element(QStringLiteral("h:y"), names,
                        Values(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"))) +
                QStringLiteral("</h:x>")),
            0);
  EXPECT_EQ(grid.lines, QStringList({QStringLiteral("put 31 = I4 45656"),
                                     QStringLiteral("put 32 = I4 46020")}));

  // Two text columns swapped change nothing that is checked; a date swapped with a text fails.
  QStringList swapped = Values(QStringLiteral("2026-01-01"), QStringLiteral("2026-12-31"));
  swapped.swapItemsAt(0, 1);
  EXPECT_EQ(Run(Header({Row(swapped)})), 0);
  EXPECT_EQ(start, Date::FromParts(2026, 1, 1));
  swapped.swapItemsAt(2, 3);
  EXPECT_EQ(Run(Header({Row(swapped)})), errors::kTypeMismatch);
  EXPECT_EQ(start, Date::FromParts(2026, 1, 1));

  // The row number column converts its text to a 32-bit integer.
  QStringList values = Values(QStringLiteral("2027-01-01"), QStringLiteral("2027-12-31"));
  for (const char* accepted : {" 12 ", "1.5", "-7"}) {
    values[11] = QString::fromLatin1(accepted);
    EXPECT_EQ(Run(Header({Row(values)})), 0) << accepted;
  }
  values[11] = QStringLiteral("x");
  EXPECT_EQ(Run(Header({Row(values)})), errors::kTypeMismatch);
  values[11] = QStringLiteral("3000000000");
  EXPECT_EQ(Run(Header({Row(values)})), errors::kOverflow);
}

TEST_F(TimeSet, KeepsTheNewMembersWhenTheGridRefusesTheHorizon) {
  SetYear2024();
  grid.FailNext(31, errors::kInvalidPropertyValue);
  EXPECT_EQ(Run(Header({Row("2025-01-01", "2025-12-31")})), errors::kInvalidPropertyValue);
  EXPECT_EQ(start, Date::FromParts(2025, 1, 1));
  EXPECT_EQ(end, Date::FromParts(2025, 12, 31));
  EXPECT_EQ(grid.lines, QStringList({QStringLiteral("put 31 = I4 45656 !! 380")}));
}

}  // namespace
}  // namespace varnex::testing
