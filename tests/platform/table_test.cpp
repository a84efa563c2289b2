#include "platform/table.h"

#include "platform/automation_error.h"
#include "tests/support/error_of.h"

#include <gtest/gtest.h>

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

TEST(Table, KeepsTextOfSharedStoresInPlace) {
  const QString first = QStringLiteral("alpha beta");
  const QString second = QStringLiteral("gamma");
  const QString elsewhere = QStringLiteral("delta");
  Table t = HeaderLike();
  t.ShareText(first);
  t.ShareText(second);
  t.AddNew();
  t.SetField(0, QStringView(first).sliced(6));
  t.Update();
  t.AddNew();
  t.SetField(0, second);
  t.Update();
  t.AddNew();
  t.SetField(0, elsewhere);
  t.Update();

  t.MoveFirst();
  EXPECT_EQ(t.TextField(0).data(), first.constData() + 6);
  EXPECT_TRUE(t.TextField(0) == u"beta");
  t.MoveNext();
  EXPECT_EQ(t.TextField(0).data(), second.constData());
  t.MoveNext();
  // Text from outside the stores is copied.
  EXPECT_NE(t.TextField(0).data(), elsewhere.constData());
  EXPECT_TRUE(t.TextField(0) == u"delta");
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
