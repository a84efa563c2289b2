#include "platform/table.h"

#include "platform/automation_error.h"
#include "platform/xml_document.h"
#include "tests/support/error_of.h"

#include <gtest/gtest.h>

#include <array>

namespace varnex::platform {
namespace {

using varnex::testing::ErrorOf;

Table HeaderLike() {
  Table t;
  t.AppendColumn(QStringLiteral("name"), ColumnType::Text);
  t.AppendColumn(QStringLiteral("when"), ColumnType::Date);
  t.AppendColumn(QStringLiteral("count"), ColumnType::Int32);
  return t;
}

TEST(Table, StoresTypedFieldsAndReadsThemByPositionOrName) {
  Table t = HeaderLike();
  t.AddNew();
  t.SetField(0, u"A&B");
  t.SetField(1, u"2024-01-01 18:00");
  t.SetField(2, u" 12 ");
  t.Update();
  t.AddNew();
  t.SetField(0, u"second");
  t.Update();

  // A column appended to a table that holds records is unset in each of them.
  t.AppendColumn(QStringLiteral("late"), ColumnType::Int32);

  t.MoveFirst();
  EXPECT_TRUE(t.Field(u"late").IsNull());
  EXPECT_EQ(t.Field(0), Variant::Bstr(QStringLiteral("A&B")));
  EXPECT_EQ(t.Field(u"when"), Variant::FromDate(Date::FromParts(2024, 1, 1, 18)));
  EXPECT_EQ(t.Field(2), Variant::I4(12));
  t.MoveNext();
  EXPECT_FALSE(t.IsEof());
  // Fields that were never set read as null.
  EXPECT_TRUE(t.Field(1).IsNull());
  EXPECT_TRUE(t.Field(u"count").IsNull());
  bool isSet = true;
  EXPECT_TRUE(t.TextField(0, &isSet) == u"second");
  EXPECT_TRUE(isSet);
  t.MoveNext();
  EXPECT_TRUE(t.IsEof());
}

TEST(Table, AdoptedRowsReadTheirValuesWhereTheyStand) {
  const QString text =
      QStringLiteral("<r><o a='x' b='y'/><!-- skipped --><o a='&lt;z'/><o a='' b='w'/></r>");
  const std::shared_ptr<const XmlDocument> doc = XmlDocument::Parse(text, text);
  ASSERT_FALSE(doc->HasParseError());
  Table t;
  t.AppendColumn(QStringLiteral("a"), ColumnType::Text);
  t.AppendColumn(QStringLiteral("b"), ColumnType::Text);
  t.AdoptRows(doc, {0, 2, 3});
  // A column appended later is unset in every adopted row.
  t.AppendColumn(QStringLiteral("c"), ColumnType::Text);
  ASSERT_EQ(t.RecordCount(), 3u);

  t.MoveFirst();
  EXPECT_EQ(t.TextField(0).data(), text.constData() + text.indexOf(u'x'));
  const std::array<int, 3> columns = {1, 0, 2};
  std::array<QStringView, 3> fields;
  t.TextFields(columns, fields);
  EXPECT_TRUE(fields[0] == u"y" && fields[1] == u"x" && fields[2].isEmpty());
  EXPECT_TRUE(t.Field(u"c").IsNull());
  t.MoveNext();
  // A decoded value, and a field past the row's last attribute.
  EXPECT_EQ(t.Field(0), Variant::Bstr(QStringLiteral("<z")));
  bool isSet = true;
  EXPECT_TRUE(t.TextField(1, &isSet).isEmpty());
  EXPECT_FALSE(isSet);
  EXPECT_TRUE(t.Field(1).IsNull());
  t.MoveNext();
  // An attribute past the columns the rows were adopted with is not read.
  EXPECT_EQ(t.Field(0), Variant::Bstr(QString()));
  EXPECT_TRUE(t.Field(u"c").IsNull());
  t.MoveNext();
  EXPECT_TRUE(t.IsEof());
  // Records are not added to adopted rows, and typed columns cannot adopt.
  EXPECT_EQ(ErrorOf([&] { t.AddNew(); }), errors::kNotAllowed);
  Table typed = HeaderLike();
  EXPECT_EQ(ErrorOf([&] { typed.AdoptRows(doc, {0}); }), errors::kNotAllowed);
  t.Close();
  EXPECT_EQ(ErrorOf([&] { (void)t.TextField(0); }), errors::kNotAllowed);
}

TEST(Table, FailsAsTheRecordSetDoes) {
  Table t = HeaderLike();
  // Moving to the first record of an empty table.
  EXPECT_EQ(ErrorOf([&] { t.MoveFirst(); }), errors::kNoCurrentRecord);
  t.AddNew();
  // A column past the last, and texts that do not convert.
  EXPECT_EQ(ErrorOf([&] { t.SetField(3, u"x"); }), errors::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { t.SetField(1, u"not a date"); }), errors::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { t.SetField(2, u"3000000000"); }), errors::kOverflow);
  t.Update();
  t.MoveFirst();
  EXPECT_EQ(ErrorOf([&] { (void)t.Field(u"missing"); }), errors::kItemNotFound);
  t.MoveNext();
  EXPECT_EQ(ErrorOf([&] { (void)t.Field(0); }), errors::kNoCurrentRecord);
  t.Close();
  EXPECT_NE(ErrorOf([&] { (void)t.Field(0); }), 0);
}

}  // namespace
}  // namespace varnex::platform
