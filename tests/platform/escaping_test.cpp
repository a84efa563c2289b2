#include "platform/escaping.h"

#include <gtest/gtest.h>

namespace varnex::platform {
namespace {

TEST(EscapeDocument, EscapesAmpersandsThenApostrophes) {
  EXPECT_EQ(EscapeDocument(u"Nuts & Bolts"), QStringLiteral("Nuts &amp; Bolts"));
  EXPECT_EQ(EscapeDocument(u"O'Neil"), QStringLiteral("O&apos;Neil"));
  // An existing reference is escaped once more and so arrives as literal text.
  EXPECT_EQ(EscapeDocument(u"&amp;"), QStringLiteral("&amp;amp;"));
  // The ampersands of "&apos;" are not escaped again.
  EXPECT_EQ(EscapeDocument(u"'&'"), QStringLiteral("&apos;&amp;&apos;"));
  // Markup is escaped too: single-quoted attributes no longer parse.
  EXPECT_EQ(EscapeDocument(u"<r a='1'/>"), QStringLiteral("<r a=&apos;1&apos;/>"));
  EXPECT_EQ(EscapeDocument(u""), QString());
  EXPECT_EQ(EscapeDocument(u"plain"), QStringLiteral("plain"));
}

TEST(StripBlanks, StripsOnlySpaceCharacters) {
  EXPECT_EQ(StripBlanks(u"  <a/>  "), u"<a/>");
  EXPECT_EQ(StripBlanks(u"\n <a/>\t"), u"\n <a/>\t");
  EXPECT_EQ(StripBlanks(u"    "), u"");
}

}  // namespace
}  // namespace varnex::platform
