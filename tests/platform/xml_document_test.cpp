#include "platform/xml_document.h"

#include <gtest/gtest.h>

namespace varnex::platform {
namespace {

std::shared_ptr<const XmlDocument> Parse(const char16_t* text) {
  return XmlDocument::Parse(QStringView(text));
}

TEST(XmlDocument, ReadsRootChildrenAsRowsWithAttributesInOrder) {
  auto doc = Parse(u"<orders>\n  <o:row xmlns:o=\"urn:x\" b=\"2\" o:a=\"1\">ignored<x/></o:row>\n"
                   u"  <other c=\"&amp;&lt;&#233;\"/>\n</orders>");
  ASSERT_FALSE(doc->HasParseError()) << doc->ParseErrorReason().toStdString();
  ASSERT_EQ(doc->RowCount(), 2);
  EXPECT_EQ(doc->RowKind(0), NodeKind::Element);
  ASSERT_EQ(doc->AttributeCount(0), 3);
  EXPECT_TRUE(doc->AttributeName(0, 0) == u"o");  // the namespace declaration's local name
  EXPECT_TRUE(doc->AttributeName(0, 1) == u"b");
  EXPECT_TRUE(doc->AttributeName(0, 2) == u"a");
  EXPECT_TRUE(doc->AttributeValue(0, 2) == u"1");
  EXPECT_TRUE(doc->AttributeValue(1, 0) == u"&<\u00e9");
}

TEST(XmlDocument, KeepsNonElementNodesButNotBlankText) {
  auto doc = Parse(u"<r> <a/> <!-- note --> <?pi x?> text <![CDATA[ ]]> </r>");
  ASSERT_FALSE(doc->HasParseError());
  ASSERT_EQ(doc->RowCount(), 5);
  EXPECT_EQ(doc->RowKind(0), NodeKind::Element);
  EXPECT_EQ(doc->RowKind(1), NodeKind::Comment);
  EXPECT_EQ(doc->RowKind(2), NodeKind::ProcessingInstruction);
  EXPECT_EQ(doc->RowKind(3), NodeKind::Text);
  EXPECT_EQ(doc->RowKind(4), NodeKind::CData);
  EXPECT_EQ(Parse(u"<r/>")->RowCount(), 0);
}

TEST(XmlDocument, ReportsWhereADocumentStopsParsing) {
  auto doc = Parse(u"<r>\n  <a b=&apos;1&apos;/>\n</r>");
  ASSERT_TRUE(doc->HasParseError());
  EXPECT_TRUE(doc->ParseErrorReason().endsWith(QStringLiteral("at line 2, column 8.")))
      << doc->ParseErrorReason().toStdString();
  EXPECT_EQ(doc->RowCount(), 0);

  // Columns count characters, not bytes.
  doc = Parse(u"<r a=\"\u00e9\u00e9\" <");
  ASSERT_TRUE(doc->HasParseError());
  EXPECT_TRUE(doc->ParseErrorReason().contains(QStringLiteral("line 1, column 11")))
      << doc->ParseErrorReason().toStdString();

  EXPECT_TRUE(Parse(u"")->ParseErrorReason().startsWith(QStringLiteral("The document has no root element")));
  EXPECT_TRUE(Parse(u"<a></b>")->HasParseError());
  EXPECT_TRUE(Parse(u"<a x=\"1\" x=\"2\"/>")->HasParseError());
  EXPECT_TRUE(Parse(u"<a/><b/>")->HasParseError());
  EXPECT_TRUE(Parse(u"<a>&undefined;</a>")->HasParseError());
}

TEST(XmlDocument, ReadsValuesOfAnyCharactersAtAnyLength) {
  // Values that make up nearly the whole document, in characters of two, three and four UTF-8
  // bytes, short and long enough to span the pieces that the text is parsed in.
  for (const char16_t* character : {u"\u00e9", u"\u65e5", u"\U0001F600"}) {
    for (const int count : {1, 40, 300000}) {
      QString value;
      for (int i = 0; i < count; ++i) value += QString::fromUtf16(character);
      const auto doc =
          XmlDocument::Parse(QStringLiteral("<r><o a=\"") + value + QStringLiteral("\" b=\"x\"/></r>"));
      ASSERT_FALSE(doc->HasParseError()) << doc->ParseErrorReason().toStdString();
      ASSERT_EQ(doc->RowCount(), 1);
      EXPECT_TRUE(doc->AttributeValue(0, 0) == value) << count;
      EXPECT_EQ(doc->AttributeValue(0, 1), u"x");
    }
  }
}

TEST(XmlDocument, RefusesHostileInput) {
  // Any document type declaration, with or without entities.
  for (const char16_t* text :
       {u"<!DOCTYPE r><r/>",
        u"<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><r a=\"&e;\"/>",
        u"<!DOCTYPE r [<!ENTITY % p SYSTEM \"http://example.invalid/p\"> %p;]><r/>",
        u"<!DOCTYPE r SYSTEM \"r.dtd\"><r/>",
        u"<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]><r x=\"&b;\"/>"}) {
    auto doc = Parse(text);
    ASSERT_TRUE(doc->HasParseError());
    EXPECT_TRUE(doc->ParseErrorReason().contains(QStringLiteral("DOCTYPE")));
  }
  // A NUL character and an unpaired surrogate.
  EXPECT_TRUE(XmlDocument::Parse(QStringView(u"<r a=\"\0\"/>", 10))->HasParseError());
  const QChar lone(0xD800);
  auto doc = XmlDocument::Parse(QStringLiteral("<r a=\"") + lone + QStringLiteral("\"/>"));
  ASSERT_TRUE(doc->HasParseError());
  EXPECT_TRUE(doc->ParseErrorReason().contains(QStringLiteral("column 7")));
  // An encoding declaration cannot change how the text is read.
  EXPECT_FALSE(Parse(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\u00e9\"/>")->HasParseError());
}

}  // namespace
}  // namespace varnex::platform
