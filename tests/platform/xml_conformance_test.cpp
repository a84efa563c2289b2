// The document reader against expat, its referee: the same verdict and the same rows on the
// conformance documents, on every character of the Basic Multilingual Plane in a name, and on
// the corners of the grammar that readers get wrong.
#include "platform/escaping.h"
#include "platform/xml_document.h"
#include "tests/support/expat_reference.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace varnex::platform {
namespace {

// Both readers on the text as it is and as the members escape it.
void ExpectSameReading(const QString& text, const std::string& what) {
  for (const QString& source : {text, EscapeDocument(text)}) {
    const QStringView stripped = StripBlanks(source);
    const auto ours = test::Outline(*XmlDocument::Parse(source, stripped));
    const auto expat = test::ReadWithExpat(stripped);
    EXPECT_EQ(ours, expat) << what << "\nours:  " << test::Describe(ours)
                           << "\nexpat: " << test::Describe(expat);
  }
}

TEST(XmlConformance, GivesExpatsVerdictOnTheSuitesDocuments) {
  const QDir dir(QStringLiteral(VARNEX_XMLCONF_DIR));
  const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files);
  ASSERT_GT(files.size(), 1000);
  int wellFormed = 0;
  for (const QString& name : files) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    ExpectSameReading(text, name.toStdString());
    wellFormed += test::ReadWithExpat(StripBlanks(text)).wellFormed ? 1 : 0;
  }
  // Both verdicts are well represented.
  EXPECT_GT(wellFormed, 200);
  EXPECT_GT(files.size() - wellFormed, 200);
}

TEST(XmlConformance, TakesTheNameCharactersThatExpatTakes) {
  // Every unit that is a character alone, as the first and as a later character of the names
  // of elements, attributes, instruction targets and entity references.
  for (char32_t c = 1; c < 0xFFFE; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const QString x(QChar(static_cast<char16_t>(c)));
    for (const QString& text : {QStringLiteral("<") + x + QStringLiteral("a/>"),
                                QStringLiteral("<a") + x + QStringLiteral("a/>"),
                                QStringLiteral("<r><o ") + x + QStringLiteral("=\"1\"/></r>"),
                                QStringLiteral("<r><?a") + x + QStringLiteral("?></r>"),
                                QStringLiteral("<r>&") + x + QStringLiteral(";</r>")}) {
      const auto ours = test::Outline(*XmlDocument::Parse(text));
      const auto expat = test::ReadWithExpat(text);
      if (!(ours == expat)) {
        ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c) << " in "
                      << text.toStdString() << "\nours:  " << test::Describe(ours)
                      << "\nexpat: " << test::Describe(expat);
        return;
      }
    }
  }
}

TEST(XmlConformance, AgreesWithExpatOnTheCornersOfTheGrammar) {
  const char16_t* const kDocuments[] = {
      // The XML declaration: its place, its pseudo-attributes in their order, their values.
      u"<?xml version=\"1.0\"?><r/>", u"\uFEFF<?xml version=\"1.0\"?><r/>", u"\uFEFF\uFEFF<r/>",
      u"\n<?xml version=\"1.0\"?><r/>", u"<?xml?><r/>", u"<?xml ?><r/>",
      u"<?xml version='1.0' ?><r/>", u"<?xml version = \"\" ?><r/>",
      u"<?xml version=\"1.0\"encoding=\"UTF-8\"?><r/>",
      u"<?xml version=\"1.0\" encoding=\"utf-16\" standalone=\"no\"  ?><r/>",
      u"<?xml version=\"1.0\" standalone=\"yes\"?><r/>",
      u"<?xml version=\"1.0\" standalone=\"Yes\"?><r/>",
      u"<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?><r/>",
      u"<?xml encoding=\"UTF-8\"?><r/>", u"<?xml version=\"1.0\" encoding=\"8bit\"?><r/>",
      u"<?xml version=\"1.0\" encoding=\"\"?><r/>", u"<?xml version=\"1.0\u00e9\"?><r/>",
      u"<?xml version=\"1.0\" foo=\"x\"?><r/>", u"<?xmlx?><r/>", u"<?XML version=\"1.0\"?><r/>",
      u"<r><?xml version=\"1.0\"?></r>", u"<!-- c --><?xml version=\"1.0\"?><r/>",
      u"<r/><?xml version=\"1.0\"?>", u"<?xml version=\"1.0\"?>",
      u"<?xml\tversion=\"1.0\"\r\n?><r/>", u"<?xml version=\"1.0\"?>\uFEFF<r/>", u"\uFEFF <r/>",
      u"<r/>\uFEFF", u"<?xml version=\"1.0\" encoding=\"UTF-8\" ?><r/>",
      // Other markup around and among the rows.
      u"<!-- a --><?pi x?><r/><!-- b --> <?pi?>\n", u"<r/>x", u"<r/>&#32;", u"x<r/>", u"<r/><r/>",
      u"<r><!-- a -- b --></r>", u"<r><!-- a ---></r>", u"<r><!----></r>", u"<r><!---></r>",
      u"<r><?pi?x?></r>", u"<r><?pi x?y?></r>", u"<r><![CDATA[ ]] ]]></r>", u"<r><![CDATA[</r>",
      u"<r><![cdata[x]]></r>", u"<r>]]></r>", u"<r>]]]></r>", u"<r>]] ></r>",
      u"<r><!DOCTYPE r></r>", u"<![CDATA[x]]><r/>", u"<r> a <b/>b<!--c-->&#x20;<d/>&#65;</r>",
      u"<r>\r\n &#13;&#10;&#9;</r>", u"<r>&amp;</r>", u"<r>\u0085\u2028</r>", u"<r>&#x85;</r>",
      u"<r>&#x10FFFF;&#00000000065;</r>", u"<r>&#1114112;</r>", u"<:r/>", u"<r:/>",
      u"<r xmlns=\"x\" xmlns=\"y\"/>", u"<r><?pi\u00e9?></r>", u"<r><?pi x\U0001F600?></r>",
      u"<r><!--\U0001F600--><![CDATA[\U0001F600]]></r>", u"<r><o a=\"x\r\"/></r>", u"<r/ >",
      u"<r></r >", u"<r></ r>", u"<r><a></b></r>", u"<r><a/></r></r>", u"<r", u"<r>", u"<", u"",
      u"  \t", u"</r>",
      // Attributes: their spacing, their quotes, normalisation, references, duplicates.
      u"<r><o a=\"1\"b=\"2\"/></r>", u"<r><o a = '1' b\t=\n\"2\"/></r>",
      u"<r><o a=\"x\ty\r\nz\rw\n\"/></r>", u"<r><o a=\"&#9;&#10;&#13;&#x20;\"/></r>",
      u"<r><o a=\"&lt;&gt;&amp;&quot;&apos;&#x1F600;&#233;\"/></r>", u"<r><o a=\"<\"/></r>",
      u"<r><o a=\">\"/></r>", u"<r><o a=\"&#0;\"/></r>", u"<r><o a=\"&#xD800;\"/></r>",
      u"<r><o a=\"&#xFFFE;\"/></r>", u"<r><o a=\"&#x110000;\"/></r>", u"<r><o a=\"&#X41;\"/></r>",
      u"<r><o a=\"&#x;\"/></r>", u"<r><o a=\"&#;\"/></r>", u"<r><o a=\"&#65\"/></r>",
      u"<r><o a=\"&e;\"/></r>", u"<r><o a=\"&;\"/></r>", u"<r><o a=\"&amp\"/></r>",
      u"<r><o a=\"1\" a=\"2\"/></r>", u"<r><o p:a=\"1\" q:a=\"2\" xmlns:p=\"u\"/></r>",
      u"<r><o a=1/></r>", u"<r><o a=\"1\"/><o a=\"2\" a=\"3\"/></r>",
      u"<r><o a=\"1\" b=\"2\"/><o b=\"1\" a=\"2\"/></r>", u"<r><o :=\"1\" a:=\"2\"/></r>",
      u"<r a=\"1\" a=\"1\"/>", u"<r><o\u00e9=\"1\"/></r>", u"<r><\u00e9 \u00b7=\"1\"/></r>",
      u"<r><o a=\"\U0001F600\"/></r>", u"<r><o \U0001F600=\"1\"/></r>",
      // Rows with content, nested rows, a row that is not closed.
      u"<r><o a=\"1\"><p b=\"2\">t&amp;</p><!--x--><![CDATA[<]]></o></r>", u"<r><o><p></o></p></r>",
      u"<r><o a=\"1\">"};
  for (const char16_t* document : kDocuments) {
    ExpectSameReading(QString::fromUtf16(document), QString::fromUtf16(document).toStdString());
  }
}

}  // namespace
}  // namespace varnex::platform
