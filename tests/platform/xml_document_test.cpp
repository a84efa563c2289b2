#include "platform/xml_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation through operator new in this test program can be made to fail once, to
// prove that the reader survives it: see TurnsAnAllocationThatFailsWhileReadingIntoAParseError.
namespace {
std::atomic<long> gAllocationsBeforeFailure{-1};  // -1: none fails
}  // namespace

void* operator new(std::size_t size) {
  if (const long left = gAllocationsBeforeFailure.load(); left >= 0) {
    gAllocationsBeforeFailure.store(left - 1);
    if (left == 0) throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

namespace varnex::platform {
namespace {

// Everything a document holds, as one text to compare whole.
std::string Dump(const XmlDocument& doc) {
  QString out = doc.ParseErrorReason();
  for (int row = 0; row < doc.RowCount(); ++row) {
    out += QStringLiteral("\n%1:").arg(static_cast<int>(doc.RowKind(row)));
    for (int a = 0; a < doc.AttributeCount(row); ++a) {
      out += QLatin1Char(' ');
      out += doc.AttributeName(row, a);
      out += QLatin1Char('=');
      out += doc.AttributeValue(row, a);
    }
  }
  return out.toStdString();
}

// True when the view lies inside the text's own characters.
bool Inside(QStringView view, const QString& text) {
  return view.data() >= text.constData() &&
         view.data() + view.size() <= text.constData() + text.size();
}

// Parses through both entry points, from a shared source with blanks around the document and
// from the bare text, and checks that both read the same.
std::shared_ptr<const XmlDocument> Parse(QStringView text) {
  QString source = QStringLiteral("  ");
  source += text;
  source += QLatin1Char(' ');
  auto shared = XmlDocument::Parse(source, QStringView(source).sliced(2, text.size()));
  EXPECT_EQ(Dump(*shared), Dump(*XmlDocument::Parse(text)));
  return shared;
}

TEST(XmlDocument, ReadsRootChildrenAsRowsWithAttributesInOrder) {
  auto doc = Parse(
      u"<orders>\n  <o:row xmlns:o=\"urn:x\" b=\"2\" o:a=\"1\">ignored<x/></o:row>\n"
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

// A row's attribute names are first tried as the names the row before had at the same places;
// a near miss must still read as the name it is.
TEST(XmlDocument, ReadsEachRowsNamesWhateverTheRowBeforeHad) {
  struct Case {
    std::u16string_view text;
    std::string rows;  // "name=value" per attribute, a row per line
  };
  const Case cases[] = {
      {u"<r><o a='1' bc='2'/><o ab='3' b='4'/></r>", "\n0: a=1 bc=2\n0: ab=3 b=4"},
      {u"<r><o a='1'/><o a:b='2'/><o a.='3'/><o a='4'/></r>", "\n0: a=1\n0: b=2\n0: a.=3\n0: a=4"},
      {u"<r><o a='1'/><o a = '2'/><o\ta\n='3'/></r>", "\n0: a=1\n0: a=2\n0: a=3"},
      {u"<r><o a='1' b='2'/><o a='3' b='4' c='5'/><o a='6'/></r>",
       "\n0: a=1 b=2\n0: a=3 b=4 c=5\n0: a=6"},
  };
  for (const Case& c : cases) {
    const QStringView text(c.text.data(), qsizetype(c.text.size()));
    EXPECT_EQ(Dump(*Parse(text)), c.rows) << text.toString().toStdString();
  }
  // A duplicate in the second row only, and a name cut off by the document's end.
  EXPECT_TRUE(Parse(u"<r><o a='1' b='2'/><o a='1' a='2'/></r>")->HasParseError());
  EXPECT_TRUE(Parse(u"<r><o ab='1'/><o ab")->HasParseError());
  EXPECT_TRUE(Parse(u"<r><o ab='1'/><o a")->HasParseError());
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

  EXPECT_TRUE(Parse(u"")->ParseErrorReason().startsWith(
      QStringLiteral("The document has no root element")));
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
          Parse(QStringLiteral("<r><o a=\"") + value + QStringLiteral("\" b=\"x\"/></r>"));
      ASSERT_FALSE(doc->HasParseError()) << doc->ParseErrorReason().toStdString();
      ASSERT_EQ(doc->RowCount(), 1);
      EXPECT_TRUE(doc->AttributeValue(0, 0) == value) << count;
      EXPECT_EQ(doc->AttributeValue(0, 1), u"x");
    }
  }
}

TEST(XmlDocument, SharesValuesThatStandInTheSourceAsTheyRead) {
  // Rows enough for many pieces, some of them all ASCII and some not, with values that stand
  // as they read and values that a reference, a tab or a line break makes differ from their text.
  const auto other = [](int row) {
    const QString start =
        row % 2000 < 1000 ? QStringLiteral("plain") : QStringLiteral("\u00e9\u65e5\U0001F600");
    return start + QString(row % 7, QLatin1Char('x'));
  };
  QString text = QStringLiteral("<orders>\n");
  for (int row = 0; row < 6000; ++row) {
    text +=
        QStringLiteral(
            "  <o:wo xmlns:o=\"urn:o\" n = '%1' d=\"%2 &amp;\" t=\"a\tb\nc\" e=\"\" w=\"%2\"/>\n")
            .arg(row)
            .arg(other(row));
  }
  text += QStringLiteral("</orders>");
  const auto doc = Parse(text);
  ASSERT_FALSE(doc->HasParseError()) << doc->ParseErrorReason().toStdString();
  ASSERT_EQ(doc->RowCount(), 6000);
  for (int row = 0; row < 6000; ++row) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(doc->AttributeValue(row, 1) == QString::number(row));
    EXPECT_TRUE(doc->AttributeValue(row, 2) == other(row) + QStringLiteral(" &"));
    EXPECT_TRUE(doc->AttributeValue(row, 3) == u"a b c");
    EXPECT_TRUE(doc->AttributeValue(row, 5) == other(row));
    for (const int shared : {0, 1, 4, 5}) {
      EXPECT_TRUE(Inside(doc->AttributeValue(row, shared), doc->SourceText()));
    }
    for (const int copied : {2, 3}) {
      EXPECT_TRUE(Inside(doc->AttributeValue(row, copied), doc->ValueText()));
    }
  }
}

TEST(XmlDocument, TurnsAnAllocationThatFailsWhileReadingIntoAParseError) {
  // Given rows whose names and values need new storage while they are read
  QString text = QStringLiteral("<r>");
  for (int i = 0; i < 100; ++i) text += QStringLiteral("<row a%1=\"%1\" b=\"x&amp;\"/>").arg(i);
  text += QStringLiteral("</r>");
  const std::string whole = Dump(*XmlDocument::Parse(text));

  // When each allocation in turn fails, through either entry point
  for (const bool shared : {false, true}) {
    int parseErrors = 0;
    for (long failing = 0;; ++failing) {
      std::shared_ptr<const XmlDocument> doc;
      gAllocationsBeforeFailure.store(failing);
      try {
        doc = shared ? XmlDocument::Parse(text, text) : XmlDocument::Parse(text);
      } catch (const std::bad_alloc&) {
        // Before the parser runs an allocation fails as anywhere else.
      }
      if (gAllocationsBeforeFailure.exchange(-1) >= 0) {
        ASSERT_EQ(Dump(*doc), whole);
        break;
      }
      // Then one that fails while reading stops the parse with the reason for memory that
      // cannot be had.
      if (doc && doc->HasParseError()) {
        EXPECT_TRUE(doc->ParseErrorReason().startsWith(
            QStringLiteral("The document is too large to be read, at line 1, column ")))
            << doc->ParseErrorReason().toStdString();
        EXPECT_EQ(doc->RowCount(), 0);
        ++parseErrors;
      } else if (doc) {
        EXPECT_EQ(Dump(*doc), whole);
      }
    }
    EXPECT_GT(parseErrors, 0) << shared;
  }
}

TEST(XmlDocument, RefusesHostileInput) {
  // Any document type declaration, with or without entities.
  for (const char16_t* text :
       {u"<!DOCTYPE r><r/>",
        u"<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><r a=\"&e;\"/>",
        u"<!DOCTYPE r [<!ENTITY % p SYSTEM \"http://example.invalid/p\"> %p;]><r/>",
        u"<!DOCTYPE r SYSTEM \"r.dtd\"><r/>",
        u"<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]><r "
        u"x=\"&b;\"/>"}) {
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
  EXPECT_FALSE(
      Parse(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\u00e9\"/>")->HasParseError());
}

}  // namespace
}  // namespace varnex::platform
