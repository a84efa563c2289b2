#include "platform/conversions.h"

#include "platform/automation_error.h"
#include "tests/support/error_of.h"

#include <gtest/gtest.h>

namespace varnex::platform {
namespace {

using varnex::testing::ErrorOf;

TEST(ParseInteger, AcceptsBlanksSignAndDigits) {
  EXPECT_EQ(ParseInteger(u"0"), 0);
  EXPECT_EQ(ParseInteger(u"  42 "), 42);
  EXPECT_EQ(ParseInteger(u"\t-60"), -60);
  EXPECT_EQ(ParseInteger(u"+7"), 7);
  EXPECT_EQ(ParseInteger(u"2147483647"), 2147483647);
  EXPECT_EQ(ParseInteger(u"-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseInteger(u"000123"), 123);
}

TEST(ParseInteger, RoundsFractionsHalfToEven) {
  EXPECT_EQ(ParseInteger(u"12.5"), 12);
  EXPECT_EQ(ParseInteger(u"13.5"), 14);
  EXPECT_EQ(ParseInteger(u"12.51"), 13);
  EXPECT_EQ(ParseInteger(u"12.49"), 12);
  EXPECT_EQ(ParseInteger(u"-2.5"), -2);
  EXPECT_EQ(ParseInteger(u"-3.5"), -4);
  EXPECT_EQ(ParseInteger(u".5"), 0);
  EXPECT_EQ(ParseInteger(u"7."), 7);
  EXPECT_EQ(ParseInteger(u"2147483646.5"), 2147483646);
}

TEST(ParseInteger, RefusesWhatIsNotADecimalNumber) {
  for (const char16_t* text : {u"", u"   ", u"-", u"+", u".", u"1,000", u"12a", u"0x10", u"1e3",
                               u"1 2", u"--1", u"٣", u"1.2.3"}) {
    EXPECT_EQ(ErrorOf([&] { (void)ParseInteger(text); }), errors::kTypeMismatch)
        << QString::fromUtf16(text).toStdString();
  }
}

TEST(ParseInteger, OverflowsPastThirtyTwoBits) {
  EXPECT_EQ(ErrorOf([] { (void)ParseInteger(u"2147483648"); }), errors::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)ParseInteger(u"-2147483649"); }), errors::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)ParseInteger(u"2147483647.5"); }), errors::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)ParseInteger(u"99999999999999999999999999"); }), errors::kOverflow);
}

TEST(VariantConversions, FailAsTheRuntimeDoes) {
  EXPECT_EQ(ToI2(Variant()), 0);
  EXPECT_EQ(ToI2(Variant::I4(-32768)), -32768);
  EXPECT_EQ(ErrorOf([] { (void)ToI2(Variant::I4(32768)); }), errors::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)ToI2(Variant::Null()); }), errors::kInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { (void)ToI4(Variant::Bstr(QStringLiteral("abc"))); }),
            errors::kTypeMismatch);
  EXPECT_EQ(ToI4(Variant::Bool(true)), -1);
  EXPECT_EQ(ToI4(Variant::Bstr(QStringLiteral(" 17 "))), 17);

  EXPECT_EQ(ToBstr(Variant()), QString());
  EXPECT_EQ(ToBstr(Variant::I2(-5)), QStringLiteral("-5"));
  EXPECT_EQ(ToBstr(Variant::Bool(false)), QStringLiteral("False"));
  EXPECT_EQ(ErrorOf([] { (void)ToBstr(Variant::Null()); }), errors::kInvalidUseOfNull);

  EXPECT_EQ(ToDate(Variant()), Date{});
  EXPECT_EQ(ErrorOf([] { (void)ToDate(Variant::Null()); }), errors::kInvalidUseOfNull);
  EXPECT_EQ(ToDate(Variant::Bstr(QStringLiteral("2024-12-31"))), Date::FromParts(2024, 12, 31));
}

TEST(AddI2, ChecksBothEnds) {
  EXPECT_EQ(AddI2(230, 50), 280);
  EXPECT_EQ(AddI2(32717, 50), 32767);
  EXPECT_EQ(ErrorOf([] { (void)AddI2(32720, 50); }), errors::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)AddI2(-32720, -50); }), errors::kOverflow);
}

TEST(DateTime, CountsDaysAndSecondsAroundTheZeroDate) {
  EXPECT_EQ(Date::FromParts(1900, 1, 1).DaySerial(), 2);
  EXPECT_EQ(Date::FromParts(1899, 12, 29, 6).DaySerial(), -1);
  EXPECT_EQ(Date::FromParts(1899, 12, 29, 6).SecondOfDay(), 6 * 3600);
  EXPECT_EQ(Date::FromParts(1980, 1, 1).AddSeconds(-60).ToIsoText(),
            QStringLiteral("1979-12-31T23:59:00"));
}

}  // namespace
}  // namespace varnex::platform
